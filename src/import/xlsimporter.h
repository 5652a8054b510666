#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace store {
class Database;
}

namespace import {

// What became of one Excel sheet import.
struct XlsImportOutcome {
    enum class Status {
        Imported,     // the rows that can be stored are in mto; others were skipped
        NoFile,       // no file name was given
        DayPresent,   // mto holds the day already; nothing was read
        Unreadable,   // the workbook or its sheet could not be read
        RowsRefused,  // no row with a quantity can be stored; nothing was written
        StoreFailed,  // the store could not be written; nothing was written
    };

    Status status = Status::NoFile;
    int rowsImported = 0;
    // One line per skipped row ("Row 7: ..."), sheet rows counted from 1.
    QStringList refusedRows;
    // What to tell the user.
    QString message;

    bool imported() const { return status == Status::Imported; }
};

// Loads one trading day of NSE figures from the sheet named "sheet1" of an
// .xls workbook into mto. The sheet's first row holds column names; on every
// further row column B holds the NSE symbol followed by four characters that
// are cut off, column L the close price and column M the traded quantity in
// thousands. Rows without a positive quantity are passed over; every other
// row becomes one mto row of the day with the scrip's number, the symbol,
// "0" as BSE code, the quantity times 1000, the close, and zeros elsewhere.
// A row whose symbol is missing, unknown to the scrip master or repeated, or
// whose quantity or price is no figure a quantity or price can be (negative,
// or beyond any real figure), is skipped and named in the end message with
// its reason; the other rows are written together in one transaction. A day
// that mto holds already is refused before the workbook is read, and a store
// that cannot be written leaves the day without any row.
class XlsImporter {
public:
    explicit XlsImporter(store::Database& db) : m_db(db) {}

    XlsImportOutcome importSheet(const QString& path, const QDate& day);

private:
    store::Database& m_db;
};

namespace xlsmessages {
inline const QString kSelectFile = QStringLiteral("Please Select The Excel File To Import From ");
inline const QString kDayPresent = QStringLiteral("The Data For The Selected Date Already Exists");
inline const QString kDone = QStringLiteral("Updation Over");
// The sheet read from every workbook.
inline const QString kSheetName = QStringLiteral("sheet1");
}  // namespace xlsmessages

}  // namespace import
