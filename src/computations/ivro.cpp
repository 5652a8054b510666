#include "computations/ivro.h"

#include "store/database.h"

#include <algorithm>

namespace computations {

namespace {

// Per futures symbol and day of the two days: the open interest (sum of
// `probability` over the symbol's futures rows) and its sector (the smallest
// of its `script` rows). Symbols without a `script` row take no part. The
// sectors are gathered to one row per symbol before the join, so a symbol
// with several `script` rows does not count its open interest more than
// once, and each futures row finds its sector through an index instead of
// reading every `script` row.
store::Rows futuresByDay(store::Database& options, const QDate& from, const QDate& to)
{
    return options.query(
        QStringLiteral("SELECT f.SCRIPT AS script, f.filedate AS filedate, sum(f.probability) AS oi,"
                       " max(f.assetprice) AS CMP, s.Sector AS Sector"
                       " FROM allscript AS f"
                       " JOIN (SELECT M_SCRIPT, min(sector) AS Sector FROM script GROUP BY M_SCRIPT) AS s"
                       " ON s.M_SCRIPT = f.SCRIPT"
                       " WHERE f.filedate BETWEEN ? AND ? AND substr(f.optionstkidx,1,3) = 'FUT' COLLATE NOCASE"
                       " GROUP BY f.SCRIPT, f.filedate ORDER BY f.SCRIPT, f.filedate"),
        {std::min(from, to), std::max(from, to)});
}

}  // namespace

query::BranchResult ivroQuery(query::RunContext& context, const OptionsSettings& settings)
{
    query::RunState& state = context.state;
    state.secondDate = state.previousTradingDay();
    const QList<QDate> days{state.firstDate, state.secondDate};

    // Without its options data the query would only look empty: it refuses.
    store::Database options;
    openOptionsDatabase(options, settings.path);
    for (const char* table : {"TDely", "tDelyFinal"})
        context.db.dropIfExists(QString::fromLatin1(table));
    makeDeliveryDays(context, state.firstDate, state.secondDate);
    makeSideBySideTable(context.db, days, {QStringLiteral("VolChg"), QStringLiteral("DelyChg"), QStringLiteral("OIChg")});

    const store::Rows futures = futuresByDay(options, state.firstDate, state.secondDate);
    const int dateColumn = futures.columnIndex(QStringLiteral("filedate"));
    const int oiColumn = futures.columnIndex(QStringLiteral("oi"));
    fillSideBySideTable(context, futures, [&](int row) {
        const QVariantList& values = futures.rows.at(row);
        FieldValues fields;
        const int index = days.indexOf(values.at(dateColumn).toDate());
        if (index >= 0)
            fields.append({openInterestColumn(index), values.at(oiColumn)});
        fields.append({QStringLiteral("Sector"), futures.value(row, QStringLiteral("Sector"))});
        return fields;
    });

    context.db.exec(QStringLiteral("UPDATE tDelyFinal SET VolChg = round((((a_QtyTraded * 100) / b_QtyTraded) - 100),2)"
                                   " WHERE a_QtyTraded > 0 AND b_QtyTraded > 0"));
    context.db.exec(QStringLiteral("UPDATE tDelyFinal SET DelyChg = round((((a_QtyDely * 100) / b_QtyDely) - 100),2)"
                                   " WHERE a_QtyDely > 0 AND b_QtyDely > 0"));
    // 0.01 marks an open interest the options database did not give: it is
    // no figure to compare with, so the change stays unworked.
    context.db.exec(QStringLiteral("UPDATE tDelyFinal SET OIChg = round((((OI * 100) / OI1) - 100),2)"
                                   " WHERE OI > 0 AND OI1 > 0 AND OI <> 0.01 AND OI1 <> 0.01"));

    return query::BranchResult::result(query::Sql(
        "SELECT NSEScriptCode AS NSEScriptCode, Sector AS sector, a_QtyTraded AS TradedVol, VolChg AS VolChg,"
        " (a_QtyTraded - b_QtyTraded) AS AbsVolChg, a_QtyDely AS DelyVol, DelyChg AS DelyChg,"
        " (a_QtyDely - b_QtyDely) AS AbsDelyChg, OI AS OI, OIChg AS OIChg,"
        " (CASE WHEN OI = 0.01 OR OI1 = 0.01 THEN NULL ELSE OI - OI1 END) AS AbsOIChg"
        " FROM tDelyFinal WHERE trim(Sector) <> '' ORDER BY Sector, NSEScriptCode"));
}

}  // namespace computations
