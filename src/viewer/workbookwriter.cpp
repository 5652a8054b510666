// Writing a whole workbook with libxlsxwriter: Workbook::save().
#include "viewer/workbook.h"

#include "store/showntext.h"
#include "viewer/xlsxparts.h"

#include <QDate>
#include <QFile>
#include <xlsxwriter.h>
#include <memory>

namespace viewer {

namespace {

using xlsx::kMaxText;

struct WorkbookCloser {
    void operator()(lxw_workbook* book) const
    {
        if (book)
            workbook_close(book);
    }
};

QString libraryError(lxw_error error)
{
    return QString::fromUtf8(lxw_strerror(error));
}

struct Formats {
    lxw_format* bold = nullptr;
    lxw_format* date = nullptr;
    lxw_format* boldDate = nullptr;

    explicit Formats(lxw_workbook* book)
    {
        bold = workbook_add_format(book);
        format_set_bold(bold);
        date = workbook_add_format(book);
        format_set_num_format(date, "dd/mmm/yyyy");
        boldDate = workbook_add_format(book);
        format_set_bold(boldDate);
        format_set_num_format(boldDate, "dd/mmm/yyyy");
    }
};

// Writes one cell (rows and columns from 1); raises WorkbookError when the
// library refuses it.
void writeCell(lxw_worksheet* worksheet, const Formats& formats, const QString& sheetName, int sheetRow,
               int sheetColumn, const WorkbookCell& cell)
{
    const lxw_row_t row = static_cast<lxw_row_t>(sheetRow - 1);
    const lxw_col_t column = static_cast<lxw_col_t>(sheetColumn - 1);
    const QVariant& value = cell.value;
    const bool isBold = cell.bold;
    lxw_error error = LXW_NO_ERROR;
    if (!value.isValid()) {
        error = worksheet_write_blank(worksheet, row, column, isBold ? formats.bold : nullptr);
    } else if (value.typeId() == QMetaType::QDate) {
        const QDate day = value.toDate();
        lxw_datetime when{day.year(), day.month(), day.day(), 0, 0, 0};
        error = worksheet_write_datetime(worksheet, row, column, &when, isBold ? formats.boldDate : formats.date);
    } else if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray) {
        const QByteArray text = value.toString().left(kMaxText).toUtf8();
        error = worksheet_write_string(worksheet, row, column, text.constData(), isBold ? formats.bold : nullptr);
    } else {
        bool isNumber = false;
        const double number = value.toDouble(&isNumber);
        if (isNumber) {
            error = worksheet_write_number(worksheet, row, column, number, isBold ? formats.bold : nullptr);
        } else {
            const QByteArray text = value.toString().left(kMaxText).toUtf8();
            error = worksheet_write_string(worksheet, row, column, text.constData(), isBold ? formats.bold : nullptr);
        }
    }
    if (error != LXW_NO_ERROR)
        throw WorkbookError(
            QStringLiteral("Cell %1%2 of \"%3\" could not be written: %4")
                .arg(columnLetters(sheetColumn), QString::number(sheetRow), sheetName, libraryError(error)));
}

lxw_workbook* newBook(const QString& partial, const QString& path, bool constantMemory)
{
    QFile::remove(partial);
    lxw_workbook_options options{};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* book = workbook_new_opt(QFile::encodeName(partial).constData(), &options);
    if (!book)
        throw WorkbookError(QStringLiteral("The workbook %1 could not be made.").arg(store::shownPath(path)));
    return book;
}

lxw_worksheet* newSheet(lxw_workbook* book, const QString& sheetName)
{
    const QByteArray name = sheetName.toUtf8();
    lxw_worksheet* worksheet = workbook_add_worksheet(book, name.isEmpty() ? nullptr : name.constData());
    if (!worksheet)
        throw WorkbookError(QStringLiteral("The sheet name \"%1\" cannot be used.").arg(sheetName));
    return worksheet;
}

void closeBook(lxw_workbook* book, const QString& partial, const QString& path)
{
    const lxw_error closed = workbook_close(book);
    if (closed != LXW_NO_ERROR) {
        QFile::remove(partial);
        throw WorkbookError(QStringLiteral("The workbook %1 could not be saved: %2")
                                .arg(store::shownPath(path), libraryError(closed)));
    }
}

// The written file takes the place of the old one.
void putInPlace(const QString& partial, const QString& path)
{
    if (QFile::exists(path) && !QFile::remove(path)) {
        QFile::remove(partial);
        throw WorkbookError(
            QStringLiteral("The workbook %1 is in use and could not be replaced.").arg(store::shownPath(path)));
    }
    if (!QFile::rename(partial, path))
        throw WorkbookError(QStringLiteral("The workbook %1 could not be saved.").arg(store::shownPath(path)));
}

}  // namespace

void Workbook::save(const QString& path) const
{
    const QString partial = path + QStringLiteral(".part");
    try {
        std::unique_ptr<lxw_workbook, WorkbookCloser> book(newBook(partial, path, false));
        const Formats formats(book.get());
        const QList<WorkbookSheet> sheets = m_sheets.isEmpty() ? QList<WorkbookSheet>{WorkbookSheet(QStringLiteral("Sheet1"))}
                                                               : m_sheets;
        for (const WorkbookSheet& sheet : sheets) {
            lxw_worksheet* worksheet = newSheet(book.get(), sheet.name());
            for (auto it = sheet.cells().cbegin(); it != sheet.cells().cend(); ++it)
                writeCell(worksheet, formats, sheet.name(), it.key().first, it.key().second, *it);
        }
        closeBook(book.release(), partial, path);
    } catch (const WorkbookError&) {
        // The half-written file was closed when the scope ended.
        QFile::remove(partial);
        throw;
    }
    putInPlace(partial, path);
}

struct SheetStream::Parts {
    std::unique_ptr<lxw_workbook, WorkbookCloser> book;
    std::unique_ptr<Formats> formats;
    lxw_worksheet* worksheet = nullptr;
};

SheetStream::SheetStream(const QString& path, const QString& sheetName)
    : m_parts(std::make_unique<Parts>()), m_path(path), m_partial(path + QStringLiteral(".part")), m_sheetName(sheetName)
{
    m_parts->book.reset(newBook(m_partial, path, true));
    m_parts->formats = std::make_unique<Formats>(m_parts->book.get());
    try {
        m_parts->worksheet = newSheet(m_parts->book.get(), sheetName);
    } catch (const WorkbookError&) {
        m_parts->book.reset();
        QFile::remove(m_partial);
        throw;
    }
}

SheetStream::~SheetStream()
{
    if (m_parts->book) {
        m_parts->book.reset();
        QFile::remove(m_partial);
    }
}

void SheetStream::moveTo(int row)
{
    if (row == m_row)
        return;
    if (row < m_row)
        throw WorkbookError(QStringLiteral("Row %1 of \"%2\" comes after row %3.")
                                .arg(QString::number(row), m_sheetName, QString::number(m_row)));
    flushRow();
    m_row = row;
}

void SheetStream::setValue(int row, int column, const QVariant& value)
{
    moveTo(row);
    m_cells[column].value = value;
}

void SheetStream::setBold(int row, int firstColumn, int lastColumn)
{
    moveTo(row);
    for (int column = firstColumn; column <= lastColumn; ++column)
        m_cells[column].bold = true;
}

void SheetStream::flushRow()
{
    for (auto it = m_cells.cbegin(); it != m_cells.cend(); ++it) {
        if (!it->value.isValid() && !it->bold)
            continue;
        try {
            writeCell(m_parts->worksheet, *m_parts->formats, m_sheetName, m_row, it.key(), *it);
        } catch (const WorkbookError&) {
            m_cells.clear();
            throw;
        }
    }
    m_cells.clear();
}

void SheetStream::finish()
{
    try {
        flushRow();
        closeBook(m_parts->book.release(), m_partial, m_path);
    } catch (const WorkbookError&) {
        m_parts->book.reset();
        QFile::remove(m_partial);
        throw;
    }
    putInPlace(m_partial, m_path);
}

}  // namespace viewer
