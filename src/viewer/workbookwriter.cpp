// Writing a whole workbook with libxlsxwriter: Workbook::save().
#include "viewer/workbook.h"
#include "viewer/xlsxparts.h"

#include <QDate>
#include <QDir>
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

}  // namespace

void Workbook::save(const QString& path) const
{
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    try {
        std::unique_ptr<lxw_workbook, WorkbookCloser> book(workbook_new(QFile::encodeName(partial).constData()));
        if (!book)
            throw WorkbookError(QStringLiteral("The workbook %1 could not be made.").arg(QDir::toNativeSeparators(path)));
        lxw_format* bold = workbook_add_format(book.get());
        format_set_bold(bold);
        lxw_format* date = workbook_add_format(book.get());
        format_set_num_format(date, "dd/mmm/yyyy");
        lxw_format* boldDate = workbook_add_format(book.get());
        format_set_bold(boldDate);
        format_set_num_format(boldDate, "dd/mmm/yyyy");

        const QList<WorkbookSheet> sheets = m_sheets.isEmpty() ? QList<WorkbookSheet>{WorkbookSheet(QStringLiteral("Sheet1"))}
                                                               : m_sheets;
        for (const WorkbookSheet& sheet : sheets) {
            const QByteArray name = sheet.name().toUtf8();
            lxw_worksheet* worksheet = workbook_add_worksheet(book.get(), name.isEmpty() ? nullptr : name.constData());
            if (!worksheet)
                throw WorkbookError(QStringLiteral("The sheet name \"%1\" cannot be used.").arg(sheet.name()));
            for (auto it = sheet.cells().cbegin(); it != sheet.cells().cend(); ++it) {
                const lxw_row_t row = static_cast<lxw_row_t>(it.key().first - 1);
                const lxw_col_t column = static_cast<lxw_col_t>(it.key().second - 1);
                const QVariant& value = it->value;
                const bool isBold = it->bold;
                lxw_error error = LXW_NO_ERROR;
                if (!value.isValid()) {
                    error = worksheet_write_blank(worksheet, row, column, isBold ? bold : nullptr);
                } else if (value.typeId() == QMetaType::QDate) {
                    const QDate day = value.toDate();
                    lxw_datetime when{day.year(), day.month(), day.day(), 0, 0, 0};
                    error = worksheet_write_datetime(worksheet, row, column, &when, isBold ? boldDate : date);
                } else if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray) {
                    const QByteArray text = value.toString().left(kMaxText).toUtf8();
                    error = worksheet_write_string(worksheet, row, column, text.constData(), isBold ? bold : nullptr);
                } else {
                    bool isNumber = false;
                    const double number = value.toDouble(&isNumber);
                    if (isNumber) {
                        error = worksheet_write_number(worksheet, row, column, number, isBold ? bold : nullptr);
                    } else {
                        const QByteArray text = value.toString().left(kMaxText).toUtf8();
                        error = worksheet_write_string(worksheet, row, column, text.constData(), isBold ? bold : nullptr);
                    }
                }
                if (error != LXW_NO_ERROR)
                    throw WorkbookError(QStringLiteral("Cell %1%2 of \"%3\" could not be written: %4")
                                            .arg(columnLetters(it.key().second))
                                            .arg(it.key().first)
                                            .arg(sheet.name(), libraryError(error)));
            }
        }
        const lxw_error closed = workbook_close(book.release());
        if (closed != LXW_NO_ERROR) {
            QFile::remove(partial);
            throw WorkbookError(QStringLiteral("The workbook %1 could not be saved: %2")
                                    .arg(QDir::toNativeSeparators(path), libraryError(closed)));
        }
    } catch (const WorkbookError&) {
        // The half-written file was closed when the scope ended.
        QFile::remove(partial);
        throw;
    }
    if (QFile::exists(path) && !QFile::remove(path)) {
        QFile::remove(partial);
        throw WorkbookError(QStringLiteral("The workbook %1 is in use and could not be replaced.").arg(QDir::toNativeSeparators(path)));
    }
    if (!QFile::rename(partial, path))
        throw WorkbookError(QStringLiteral("The workbook %1 could not be saved.").arg(QDir::toNativeSeparators(path)));
}

}  // namespace viewer
