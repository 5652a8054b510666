#pragma once

#include "store/database.h"

#include <QList>
#include <QString>
#include <optional>

// The entries of the portfolio transactions: rows of PortfolioManager that
// share one entry number (`code`) and are numbered 1..n (`srno`).
namespace portfolio {

// One line of the transactions grid, as the texts it shows.
struct TransactionLine {
    QString portfolio;      // the portfolio's name (shown only)
    QString portfolioCode;  // PortfolioMaster.Code
    QString company;        // the scrip's name (shown only)
    QString scripCode;      // ScripMaster.srno
    QString date;           // dd/MMM/yyyy
    QString buySell;        // "Buy" or "Sell"
    QString qty;
    QString rate;
    QString amt;
    QString srno;           // place in the stored entry; empty when never saved

    bool isBlank() const;
};

// The side of a stored BuySell value: "Buy" or "Sell" for the words the grid
// stores and for the letters "B" and "S" (any letter case, blanks around);
// any other value as it is, without the blanks.
QString sideOf(const QString& stored);

// The leading number of a cell's text; 0 for an empty or non-numeric text.
double cellNumber(const QString& text);

// The amount of a line: the quantity (a whole number) times the rate, as the
// rate is held at single precision, rounded to 2 places (halves to even);
// nothing when either is 0, so the cell keeps what it holds.
std::optional<QString> lineAmount(const QString& qty, const QString& rate);

// Why the lines may not be saved, or nothing when they may. Only the lines up
// to the last one holding data count.
std::optional<QString> checkLines(const QList<TransactionLine>& lines);

// Writes the lines as one entry, all or nothing: with `replacing` the rows
// of that entry are deleted and written again under its number, otherwise a
// new entry takes the highest stored number plus 1. Returns the entry's
// number. Raises store::StoreError, or std::invalid_argument for a date
// that is not a day.
qint64 saveEntry(store::Database& db, const QList<TransactionLine>& lines, std::optional<qint64> replacing);

// The stored lines of entry `code`, in their order in the entry.
QList<TransactionLine> loadEntry(store::Database& db, qint64 code);

void deleteEntry(store::Database& db, qint64 code);
// Deletes one stored line of an entry (nothing when it does not exist).
void deleteEntryLine(store::Database& db, qint64 code, qint64 srno);

// The look-up that lists every stored transaction, and its type letters;
// column 10 (index 9) holds the entry number.
QString entryLookupSql();
QStringList entryLookupTypes();

}  // namespace portfolio
