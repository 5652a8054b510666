#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <stdexcept>

// Excel workbooks as plain values: sheets of cells that hold a number, a
// text or a date, some of them bold. A workbook is read from an .xlsx file
// (values and bold only; workbookreader.cpp) and written whole with
// libxlsxwriter (workbookwriter.cpp). One sheet of an existing workbook is
// changed in place, keeping its formatting, by the sheet patcher
// (sheetpatcher.h).
namespace viewer {

class WorkbookError : public std::runtime_error {
public:
    explicit WorkbookError(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

struct WorkbookCell {
    QVariant value;  // double, qint64, QString or QDate
    bool bold = false;
};

// One worksheet. Rows and columns count from 1, as Excel numbers them.
class WorkbookSheet {
public:
    explicit WorkbookSheet(const QString& name = QString()) : m_name(name) {}

    QString name() const { return m_name; }

    // A null or invalid value empties the cell (its boldness stays).
    void setValue(int row, int column, const QVariant& value);
    QVariant value(int row, int column) const;
    void setBold(int row, int firstColumn, int lastColumn, bool bold = true);
    bool isBold(int row, int column) const;
    // Empties the cells of the block, values and bold alike.
    void clear(int firstRow, int firstColumn, int lastRow, int lastColumn);

    // The highest row and column that hold anything, 0 when the sheet is empty.
    int lastRow() const;
    int lastColumn() const;
    // The cells in row order, then column order.
    const QMap<std::pair<int, int>, WorkbookCell>& cells() const { return m_cells; }

private:
    QString m_name;
    QMap<std::pair<int, int>, WorkbookCell> m_cells;
};

class Workbook {
public:
    // Adds a sheet at the end; returns it.
    WorkbookSheet& addSheet(const QString& name);
    // The sheet of that name without regard to case, or null.
    WorkbookSheet* sheet(const QString& name);
    const WorkbookSheet* sheet(const QString& name) const;
    QList<WorkbookSheet>& sheets() { return m_sheets; }
    const QList<WorkbookSheet>& sheets() const { return m_sheets; }

    // Reads the values and bold cells of every sheet of an .xlsx file.
    // Raises WorkbookError when the file is missing or not a workbook.
    static Workbook read(const QString& path);
    // Writes the workbook to `path` as .xlsx. The file is written beside
    // under another name first, so a failed save leaves the old file whole.
    // Raises WorkbookError on failure.
    void save(const QString& path) const;

private:
    QList<WorkbookSheet> m_sheets;
};

// A new workbook of one sheet written row after row without keeping its
// cells, for exports of any size. Rows come in order; the cells of the row
// being written may still change. Like Workbook::save(), it writes beside
// under another name and puts the file in place only when finish()
// succeeds; dropped unfinished, it leaves nothing behind. Raises
// WorkbookError on failure.
class SheetStream {
public:
    SheetStream(const QString& path, const QString& sheetName);
    ~SheetStream();
    SheetStream(const SheetStream&) = delete;
    SheetStream& operator=(const SheetStream&) = delete;

    void setValue(int row, int column, const QVariant& value);
    void setBold(int row, int firstColumn, int lastColumn);
    void finish();

private:
    struct Parts;
    void moveTo(int row);
    void flushRow();

    std::unique_ptr<Parts> m_parts;
    QString m_path;
    QString m_partial;
    QString m_sheetName;
    int m_row = 0;
    QMap<int, WorkbookCell> m_cells;  // the row being written, by column
};

// The sheet names of an .xlsx file in workbook order, without reading the
// sheets. Raises WorkbookError when the file is missing or not a workbook.
QStringList workbookSheetNames(const QString& path);

// "A1" style name of a column number: 1 -> "A", 27 -> "AA".
QString columnLetters(int column);

}  // namespace viewer
