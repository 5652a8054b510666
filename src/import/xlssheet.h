#pragma once

#include <QString>
#include <vector>

namespace import {

// One cell of a worksheet: empty, a number, or text. Dates and times come as
// text (yyyy-MM-dd, HH:mm:ss).
struct SheetCell {
    enum class Kind { Empty, Number, Text };
    Kind kind = Kind::Empty;
    double number = 0;
    QString text;

    bool isEmpty() const { return kind == Kind::Empty; }
    // The cell as text: a number in its shortest form, an empty cell as "".
    QString asText() const;
};

// The cells of one worksheet of an .xls workbook (BIFF5 and BIFF8), read
// whole through freexl.
class XlsSheet {
public:
    // Reads the worksheet named `sheetName` (any letter case) of the workbook
    // at `path`. Returns false and a message for the user when the file is no
    // readable workbook or has no such sheet.
    bool read(const QString& path, const QString& sheetName, QString* error);

    int rowCount() const { return m_rows; }
    int columnCount() const { return m_columns; }
    // The cell at a zero-based row and column; empty outside the sheet.
    const SheetCell& cell(int row, int column) const;

private:
    int m_rows = 0;
    int m_columns = 0;
    std::vector<SheetCell> m_cells;
};

}  // namespace import
