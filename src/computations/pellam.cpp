#include "computations/pellam.h"

#include "store/database.h"

#include <QStringList>
#include <algorithm>

namespace computations {

namespace {

// Per symbol and day of the five days: the open interest (sum of
// `probability`) and the underlying price (highest `assetprice`).
store::Rows openInterestByDay(store::Database& options, const QDate& from, const QDate& to)
{
    return options.query(QStringLiteral("SELECT SCRIPT AS script, filedate, sum(probability) AS oi, max(assetprice) AS CMP"
                                        " FROM allscript WHERE filedate BETWEEN ? AND ?"
                                        " GROUP BY SCRIPT, filedate ORDER BY SCRIPT, filedate"),
                         {std::min(from, to), std::max(from, to)});
}

// The daily underlying price of each symbol between two days (either order),
// optionally only from rows with a price above 0.
QString dailyPrices(const QString& extraCondition)
{
    return QStringLiteral("SELECT SCRIPT AS script, max(assetprice) AS cmp FROM allscript"
                          " WHERE filedate BETWEEN ? AND ?%1 GROUP BY SCRIPT, filedate")
        .arg(extraCondition);
}

// Per symbol with a sector: the averages of the daily price over the two
// windows, the 52-week high and low, and the sector. Each part stands 0.01 in
// for the figures it does not compute, and the maximum per symbol is taken.
store::Rows averagesAndSectors(store::Database& options, const QDate& firstDate, const QDate& firstWindowStart,
                               const QDate& secondWindowStart, const QDate& yearStart)
{
    const QString text =
        QStringLiteral(
            "SELECT u.script AS script, min(s.sector) AS Sector1, max(u.dma12) AS Avg12, max(u.dma48) AS Avg48,"
            " round(max(u.high52),2) AS High52W, round(max(u.low52),2) AS Low52W FROM ("
            " SELECT script, round(avg(cmp),2) AS dma12, 0.01 AS dma48, 0.01 AS high52, 0.01 AS low52"
            " FROM (%1) AS p1 GROUP BY script"
            " UNION ALL"
            " SELECT script, 0.01, round(avg(cmp),2), 0.01, 0.01 FROM (%1) AS p2 GROUP BY script"
            " UNION ALL"
            " SELECT script, 0.01, 0.01, round(max(cmp),2), round(min(cmp),2) FROM (%2) AS p3 GROUP BY script"
            ") AS u JOIN script AS s ON u.script = s.M_SCRIPT GROUP BY u.script ORDER BY u.script")
            .arg(dailyPrices({}), dailyPrices(QStringLiteral(" AND assetprice > 0")));
    auto ordered = [](const QDate& a, const QDate& b) { return store::Params{std::min(a, b), std::max(a, b)}; };
    return options.query(text, ordered(firstDate, firstWindowStart) + ordered(firstDate, secondWindowStart) +
                                   ordered(firstDate, yearStart));
}

}  // namespace

query::BranchResult pellamQuery(query::RunContext& context, const OptionsSettings& settings)
{
    query::RunState& state = context.state;
    QList<QDate> days{state.firstDate};
    for (int k = 1; k <= 4; ++k)
        days.append(state.tradingDayBefore(k));
    state.secondDate = days.at(1);
    state.thirdDate = days.at(2);
    state.fourthDate = days.at(3);
    state.fifthDate = days.at(4);
    const QDate firstWindowStart = state.tradingDayBefore(state.count - 1);
    const QDate secondWindowStart = state.tradingDayBefore(state.count2 - 1);
    // One calendar year back (29 February becomes 28 February), then one day more.
    const QDate yearStart = state.firstDate.addYears(-1).addDays(-1);

    // Without its options data the query would only look empty: it refuses.
    store::Database options;
    openOptionsDatabase(options, settings.path);
    for (const char* table : {"TDely", "tDelyFinal", "tdma12", "tdma48", "t52week"})
        context.db.dropIfExists(QString::fromLatin1(table));
    makeDeliveryDays(context, state.firstDate, state.fifthDate);
    makeSideBySideTable(context.db, days,
                        {QStringLiteral("DMA12"), QStringLiteral("DMA48"), QStringLiteral("High52"),
                         QStringLiteral("Low52"), QStringLiteral("ChgInPrice")});


    // The options database's underlying price replaces the NSE close of each
    // day it covers.
    const store::Rows byDay = openInterestByDay(options, state.firstDate, state.fifthDate);
    const int dateColumn = byDay.columnIndex(QStringLiteral("filedate"));
    fillSideBySideTable(context, byDay, [&](int row) {
        const QVariantList& values = byDay.rows.at(row);
        const int index = days.indexOf(values.at(dateColumn).toDate());
        if (index < 0)
            return FieldValues{};
        return FieldValues{{openInterestColumn(index), values.at(byDay.columnIndex(QStringLiteral("oi")))},
                           {dayColumn(index, QStringLiteral("NSEClPrice")),
                            values.at(byDay.columnIndex(QStringLiteral("CMP")))}};
    });

    const store::Rows averages =
        averagesAndSectors(options, state.firstDate, firstWindowStart, secondWindowStart, yearStart);
    fillSideBySideTable(context, averages, [&](int row) {
        auto value = [&](const char* column) { return averages.value(row, QString::fromLatin1(column)); };
        return FieldValues{{QStringLiteral("DMA12"), value("Avg12")},
                           {QStringLiteral("DMA48"), value("Avg48")},
                           {QStringLiteral("High52"), value("High52W")},
                           {QStringLiteral("Low52"), value("Low52W")},
                           {QStringLiteral("Sector"), value("Sector1")}};
    });

    context.db.exec(QStringLiteral("UPDATE tDelyFinal SET ChgInPrice = round(((a_NSEClPrice*100) / b_NSEClPrice)-100,2)"
                                   " WHERE a_NSEClPrice > 0 AND b_NSEClPrice > 0"));

    QStringList columns{QStringLiteral("NSEScriptCode"), QStringLiteral("company"),    QStringLiteral("Sector"),
                        QStringLiteral("DMA12"),         QStringLiteral("DMA48"),      QStringLiteral("high52"),
                        QStringLiteral("low52"),         QStringLiteral("chginprice"), QStringLiteral("transdate")};
    for (int i = 0; i < days.size(); ++i) {
        for (const char* figure : {"QtyTraded", "QtyDely", "Dely %", "NSEClPrice"})
            columns.append(dayColumn(i, QString::fromLatin1(figure)));
        columns.append(openInterestColumn(i));
    }
    QStringList selectList;
    for (const QString& column : columns)
        selectList.append(store::quoteIdentifier(column) + QStringLiteral(" AS ") + store::quoteIdentifier(column));
    // A sector of blanks is no sector.
    return query::BranchResult::result(query::Sql(QStringLiteral("SELECT %1 FROM tDelyFinal WHERE trim(Sector) <> ''"
                                                                 " AND ChgInPrice IS NOT NULL ORDER BY Sector, company")
                                                      .arg(selectList.join(QLatin1Char(',')))));
}

}  // namespace computations
