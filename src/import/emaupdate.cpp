#include "import/emaupdate.h"

#include "computations/ema.h"
#include "store/database.h"
#include "store/storeerror.h"
#include "store/transaction.h"

#include <QSet>
#include <QStringList>

namespace import {

namespace {

// The NSE symbols of the derivative group, without blanks around them, each
// once whatever its letter case.
QStringList derivativeSymbols(store::Database& db)
{
    const store::Rows rows = db.query(
        QStringLiteral("SELECT ScripMaster.nsescrip FROM (GroupMaster INNER JOIN LinkDetails ON "
                       "GroupMaster.GroupCode = LinkDetails.GrpCode) INNER JOIN ScripMaster ON "
                       "LinkDetails.ScrCode = ScripMaster.srno WHERE GroupMaster.GroupCode = ?"),
        {QString::fromLatin1(kDerivativeGroup)});
    QStringList symbols;
    QSet<QString> seen;
    for (const QVariantList& row : rows.rows) {
        const QString symbol = row[0].toString().trimmed();
        if (symbol.isEmpty() || seen.contains(symbol.toUpper()))
            continue;
        seen.insert(symbol.toUpper());
        symbols.append(symbol);
    }
    return symbols;
}

EmaUpdateOutcome updateEma(store::Database& db)
{
    EmaUpdateOutcome outcome;
    const store::Rows days =
        db.query(QStringLiteral("SELECT DISTINCT TransDate FROM allbhavcopy WHERE TransDate IS NOT NULL "
                                "ORDER BY TransDate DESC LIMIT 2"));
    if (days.size() < 2)
        return outcome;
    const QDate latest = days.rows[0][0].toDate();
    const QDate previous = days.rows[1][0].toDate();

    store::Transaction transaction(db);
    const QStringList symbols = derivativeSymbols(db);
    const QString twoDays = QStringLiteral(
        "SELECT rowid, TransDate, closeprice, EMA14Days, EMA34days FROM allbhavcopy "
        "WHERE symbol = ? AND series = 'EQ' AND TransDate BETWEEN ? AND ? ORDER BY TransDate");
    for (const QString& symbol : symbols) {
        const store::Rows rows = db.query(twoDays, {symbol, previous, latest});
        int previousRow = -1;
        QList<int> latestRows;
        for (int i = 0; i < rows.size(); ++i) {
            const QDate day = rows.rows[i][1].toDate();
            if (day == previous && previousRow < 0)
                previousRow = i;
            else if (day == latest && !rows.rows[i][2].isNull())
                latestRows.append(i);
        }
        if (previousRow < 0 || latestRows.isEmpty())
            continue;

        bool seeded = false;
        for (const computations::EmaPeriod& period : computations::kEmaPeriods) {
            const QVariant previousValue = rows.rows[previousRow][rows.columnIndex(QLatin1String(period.column))];
            if (previousValue.isNull()) {
                computations::rebuildSymbolEma(db, symbol, period, latest);
                seeded = true;
                continue;
            }
            for (const int i : latestRows) {
                const double value =
                    computations::emaStep(previousValue.toDouble(), rows.rows[i][2].toDouble(), period);
                db.exec(QStringLiteral("UPDATE allbhavcopy SET %1 = ? WHERE rowid = ?").arg(QLatin1String(period.column)),
                        {value, rows.rows[i][0]});
            }
        }
        if (seeded)
            ++outcome.symbolsSeeded;
        else
            ++outcome.symbolsCarried;
    }
    transaction.commit();
    outcome.latestDay = latest;
    outcome.previousDay = previous;
    return outcome;
}

}  // namespace

EmaUpdateOutcome updateLatestDayEma(store::Database& db)
{
    try {
        return updateEma(db);
    } catch (const store::StoreError& error) {
        // The store, not the bhavcopy, is to blame: name its file.
        if (error.storeUnwritable())
            throw store::StoreError(store::storeUnwritableMessage(error), error.code(), error.storePath());
        throw;
    }
}

}  // namespace import
