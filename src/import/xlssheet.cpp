#include "import/xlssheet.h"

#include "store/regularfile.h"
#include "store/showntext.h"

#include <QFile>
#include <freexl.h>

namespace import {

namespace {

// Closes a freexl handle when it goes out of scope (also after a failed open).
class Workbook {
public:
    ~Workbook()
    {
        if (m_handle)
            freexl_close(m_handle);
    }
    const void** out() { return &m_handle; }
    const void* handle() const { return m_handle; }

private:
    const void* m_handle = nullptr;
};

QString reasonOf(int code)
{
    switch (code) {
    case FREEXL_FILE_NOT_FOUND:
        return QStringLiteral("the file does not exist or cannot be read");
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("there is not enough memory");
    default:
        return QStringLiteral("it is not an Excel workbook (.xls) or it is damaged (error %1)").arg(code);
    }
}

}  // namespace

QString SheetCell::asText() const
{
    switch (kind) {
    case Kind::Number:
        return QString::number(number, 'g', 15);
    case Kind::Text:
        return text;
    case Kind::Empty:
        break;
    }
    return QString();
}

bool XlsSheet::read(const QString& path, const QString& sheetName, QString* error)
{
    m_rows = m_columns = 0;
    m_cells.clear();
    auto fail = [&](const QString& reason) {
        if (error)
            *error = QStringLiteral("The workbook %1 cannot be read: %2.").arg(store::shownPath(path), reason);
        return false;
    };
    // A pipe or a device is refused as the other importers refuse it,
    // without waiting on it.
    store::FileProblem problem = store::FileProblem::None;
    QFile file;
    if (const QString why = store::openRegularFile(file, path, &problem); !why.isEmpty())
        return fail(problem == store::FileProblem::Missing ? QStringLiteral("there is no such file") : why);
    file.close();

    Workbook workbook;
    int rc = freexl_open(QFile::encodeName(path).constData(), workbook.out());
    if (rc != FREEXL_OK)
        return fail(reasonOf(rc));
    unsigned int password = 0;
    if (freexl_get_info(workbook.handle(), FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK &&
        password == FREEXL_BIFF_OBFUSCATED)
        return fail(QStringLiteral("it is protected by a password"));

    unsigned int sheetCount = 0;
    if ((rc = freexl_get_info(workbook.handle(), FREEXL_BIFF_SHEET_COUNT, &sheetCount)) != FREEXL_OK)
        return fail(reasonOf(rc));
    int found = -1;
    for (unsigned int i = 0; i < sheetCount && found < 0; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(workbook.handle(), static_cast<unsigned short>(i), &name) == FREEXL_OK && name &&
            QString::fromUtf8(name).compare(sheetName, Qt::CaseInsensitive) == 0)
            found = static_cast<int>(i);
    }
    if (found < 0)
        return fail(QStringLiteral("it has no sheet named %1").arg(sheetName));
    if ((rc = freexl_select_active_worksheet(workbook.handle(), static_cast<unsigned short>(found))) != FREEXL_OK)
        return fail(reasonOf(rc));

    unsigned int rows = 0;
    unsigned short columns = 0;
    if ((rc = freexl_worksheet_dimensions(workbook.handle(), &rows, &columns)) != FREEXL_OK)
        return fail(reasonOf(rc));
    m_cells.resize(static_cast<size_t>(rows) * columns);
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            if ((rc = freexl_get_cell_value(workbook.handle(), r, c, &value)) != FREEXL_OK)
                return fail(reasonOf(rc));
            SheetCell& cell = m_cells[static_cast<size_t>(r) * columns + c];
            switch (value.type) {
            case FREEXL_CELL_INT:
                cell.kind = SheetCell::Kind::Number;
                cell.number = value.value.int_value;
                break;
            case FREEXL_CELL_DOUBLE:
                cell.kind = SheetCell::Kind::Number;
                cell.number = value.value.double_value;
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                cell.kind = SheetCell::Kind::Text;
                cell.text = QString::fromUtf8(value.value.text_value);
                break;
            default:
                break;
            }
        }
    }
    m_rows = static_cast<int>(rows);
    m_columns = columns;
    return true;
}

const SheetCell& XlsSheet::cell(int row, int column) const
{
    static const SheetCell empty;
    if (row < 0 || column < 0 || row >= m_rows || column >= m_columns)
        return empty;
    return m_cells[static_cast<size_t>(row) * static_cast<size_t>(m_columns) + static_cast<size_t>(column)];
}

}  // namespace import
