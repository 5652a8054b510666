#include "import/xlsimporter.h"

#include "import/marketfigure.h"
#include "import/mtowriter.h"
#include "import/textlines.h"
#include "import/xlssheet.h"
#include "store/database.h"
#include "store/jetfunctions.h"
#include "store/showntext.h"
#include "store/storeerror.h"
#include "store/transaction.h"

#include <QHash>
#include <vector>

namespace import {

namespace {

using Status = XlsImportOutcome::Status;

// Columns of the sheet, counted from 0.
constexpr int kSymbolColumn = 1;    // B
constexpr int kPriceColumn = 11;    // L
constexpr int kQuantityColumn = 12; // M
// Characters after the symbol in the symbol column.
constexpr int kSymbolSuffixLength = 4;

XlsImportOutcome refused(XlsImportOutcome outcome, Status status, const QString& message)
{
    outcome.status = status;
    outcome.message = message;
    outcome.rowsImported = 0;
    return outcome;
}

// A figure as the sheet gives it: a number cell's value, the leading number
// of a text cell, 0 for an empty cell.
double figureOf(const SheetCell& cell)
{
    switch (cell.kind) {
    case SheetCell::Kind::Number:
        return cell.number;
    case SheetCell::Kind::Text:
        return store::jetVal(cell.text);
    case SheetCell::Kind::Empty:
        break;
    }
    return 0.0;
}

struct SheetRow {
    qint64 scrip = 0;
    QString symbol;
    double quantity = 0;
    double price = 0;
};

// The scrip numbers of the NSE symbols, the lowest number of a symbol
// listed twice; keys in upper case without blanks around them.
QHash<QString, qint64> scripsBySymbol(store::Database& db)
{
    QHash<QString, qint64> scrips;
    const store::Rows rows =
        db.query(QStringLiteral("SELECT srno, nsescrip FROM ScripMaster WHERE nsescrip IS NOT NULL ORDER BY srno"));
    for (const QVariantList& row : rows.rows) {
        const QString symbol = row[1].toString().trimmed().toUpper();
        if (!symbol.isEmpty() && !scrips.contains(symbol))
            scrips.insert(symbol, row[0].toLongLong());
    }
    return scrips;
}

// Checks every sheet row with a quantity before anything is written: the
// rows that can be stored, in sheet order, and a line for each that cannot.
std::vector<SheetRow> storableRows(const XlsSheet& sheet, const QHash<QString, qint64>& scrips, QStringList& skipped)
{
    QHash<qint64, int> sheetRowOfScrip;
    std::vector<SheetRow> rows;
    for (int r = 1; r < sheet.rowCount(); ++r) {
        const int sheetRow = r + 1;
        const SheetCell& quantityCell = sheet.cell(r, kQuantityColumn);
        if (quantityCell.isEmpty() || !(figureOf(quantityCell) > 0))
            continue;
        const QString symbolCell = sheet.cell(r, kSymbolColumn).asText();
        const QString symbol = symbolCell.left(symbolCell.size() - kSymbolSuffixLength).trimmed();
        if (symbolCell.size() <= kSymbolSuffixLength || symbol.isEmpty()) {
            skipped.append(QStringLiteral("Row %1: \"%2\" holds no symbol before its last four characters")
                               .arg(QString::number(sheetRow), shownValue(symbolCell)));
            continue;
        }
        const auto scrip = scrips.constFind(symbol.toUpper());
        if (scrip == scrips.constEnd()) {
            skipped.append(QStringLiteral("Row %1: the symbol %2 is not in the scrip master")
                               .arg(QString::number(sheetRow), shownValue(symbol)));
            continue;
        }
        if (const auto earlier = sheetRowOfScrip.constFind(*scrip); earlier != sheetRowOfScrip.constEnd()) {
            skipped.append(QStringLiteral("Row %1: the symbol %2 is on row %3 already")
                               .arg(QString::number(sheetRow), shownValue(symbol), QString::number(*earlier)));
            continue;
        }
        const double quantity = figureOf(quantityCell) * 1000.0;
        const SheetCell& priceCell = sheet.cell(r, kPriceColumn);
        const double price = figureOf(priceCell);
        if (!isMarketFigure(quantity) || !isMarketFigure(price)) {
            const bool quantityBad = !isMarketFigure(quantity);
            skipped.append(QStringLiteral("Row %1: the %2 %3 is not a figure a %2 can be")
                               .arg(QString::number(sheetRow),
                                    quantityBad ? QStringLiteral("quantity") : QStringLiteral("price"),
                                    shownValue((quantityBad ? quantityCell : priceCell).asText())));
            continue;
        }
        sheetRowOfScrip.insert(*scrip, sheetRow);
        rows.push_back({*scrip, symbol, quantity, price});
    }
    return rows;
}

QString rowCount(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(count);
}

// The rows a message names, one a line: the first kListedRows of them, then
// how many more there are, so that a sheet of thousands of bad rows still
// gives a message box that fits on the screen.
constexpr qsizetype kListedRows = 20;

QString listedRows(const QStringList& rows)
{
    QString listed = rows.mid(0, kListedRows).join(QLatin1Char('\n'));
    if (rows.size() > kListedRows)
        listed += QStringLiteral("\n… and %1 more").arg(rowCount(rows.size() - kListedRows));
    return listed;
}

// "Updation Over", then how many rows were written and which were skipped.
QString endMessage(qsizetype written, const QStringList& skipped)
{
    QString message = xlsmessages::kDone + QLatin1Char('\n') + rowCount(written) + QStringLiteral(" written.");
    if (!skipped.isEmpty())
        message += QLatin1Char('\n') + rowCount(skipped.size()) + QStringLiteral(" skipped:\n") + listedRows(skipped);
    return message;
}

QString nothingWritten(const QString& what)
{
    return what + QStringLiteral("\nNothing was written for the day.");
}

}  // namespace

XlsImportOutcome XlsImporter::importSheet(const QString& path, const QDate& day)
{
    using namespace xlsmessages;
    XlsImportOutcome outcome;
    if (path.trimmed().isEmpty())
        return refused(outcome, Status::NoFile, kSelectFile);

    std::vector<SheetRow> rows;
    try {
        if (dayHasRows(m_db, day))
            return refused(outcome, Status::DayPresent, kDayPresent);

        XlsSheet sheet;
        QString error;
        if (!sheet.read(path.trimmed(), kSheetName, &error))
            return refused(outcome, Status::Unreadable, error);
        rows = storableRows(sheet, scripsBySymbol(m_db), outcome.refusedRows);
    } catch (const store::StoreError& failure) {
        return refused(outcome, Status::StoreFailed,
                       nothingWritten(QStringLiteral("The sheet could not be imported: the store %1 could not be read: %2")
                                          .arg(store::shownPath(m_db.path()), failure.message())));
    }
    if (rows.empty() && !outcome.refusedRows.isEmpty()) {
        return refused(outcome, Status::RowsRefused,
                       nothingWritten(QStringLiteral("The sheet was not imported; these rows cannot be stored:\n") +
                                      listedRows(outcome.refusedRows)));
    }

    try {
        store::Transaction transaction(m_db);
        if (dayHasRows(m_db, day))
            return refused(outcome, Status::DayPresent, kDayPresent);
        store::Statement insert(m_db, QStringLiteral("INSERT INTO mto (TransDate, scriptcode, NSEScriptCode, "
                                                     "BSEScriptCode, NSETrdQty, BSETrdQty, NSEDelyQty, BSEDelyQty, "
                                                     "NSEPerc, BSEPerc, NSEClPrice, BSEClPrice) "
                                                     "VALUES (?, ?, ?, '0', ?, 0, 0, 0, 0, 0, ?, 0)"));
        for (const SheetRow& row : rows)
            insert.run({day, row.scrip, row.symbol, row.quantity, row.price});
        transaction.commit();
    } catch (const store::StoreError& failure) {
        // Not a fault of any row: the store itself refused the writing (read
        // only, disk full). The transaction took every row back.
        const QString why =
            failure.storeUnwritable()
                ? store::storeUnwritableMessage(failure)
                : QStringLiteral("The sheet could not be imported: the store %1 could not be written: %2")
                      .arg(store::shownPath(m_db.path()), failure.message());
        return refused(outcome, Status::StoreFailed, nothingWritten(why));
    }
    outcome.status = Status::Imported;
    outcome.rowsImported = static_cast<int>(rows.size());
    outcome.message = endMessage(outcome.rowsImported, outcome.refusedRows);
    return outcome;
}

}  // namespace import
