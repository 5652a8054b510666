// Crossings of the close over its 14-day or 34-day exponential average
// between the previous trading day and the query's day, read from the
// averages that allbhavcopy keeps on its "EQ" rows.

#include "computations/scanandsignalbranches.h"

#include "query/branch.h"

namespace computations {

namespace {

struct EmaCrossing {
    const char* label;
    const char* column;   // the allbhavcopy column of the average
    const char* heading;  // the heading of the average in the result
    bool upwards;         // below the average the day before, above it on the day
};

const EmaCrossing kCrossings[] = {
    {"14 day EMA Positive", "ema14days", "EMA14Days", true},
    {"14 day EMA Negative", "ema14days", "EMA14Days", false},
    {"34 day EMA Positive", "ema34days", "EMA34Days", true},
    {"34 day EMA Negative", "EMA34days", "EMA34days", false},
};

query::Branch crossingBranch(const EmaCrossing& crossing)
{
    return [crossing](query::RunContext& context) {
        query::RunState& state = context.state;
        state.secondDate = state.previousTradingDay();
        const QString ema = QString::fromLatin1(crossing.column);
        // How far the close lies above its average, in per cent: a close of 0
        // counts as 0.01 and an average not above 0 as 1.
        const QString change = QStringLiteral(
                                   "round((iif(a.closeprice*100>0,a.closeprice*100,0.01))/iif(a.%1>0,a.%1,1)-100,2)")
                                   .arg(ema);
        const QString day = QStringLiteral("(SELECT symbol,series,%1,closeprice from allbhavcopy where transdate = ")
                                .arg(ema);
        const char* previousSide = crossing.upwards ? "<" : ">";
        const char* daySide = crossing.upwards ? ">" : "<";
        return query::BranchResult::result(
            query::Sql(QStringLiteral("select a.symbol,a.%1 as [%2],a.closeprice as Price,%3 as [%Change]")
                           .arg(ema, QLatin1String(crossing.heading), change) +
                       query::fillers(4) + QStringLiteral(" from ") + day) +
            query::Sql::value(state.firstDate) + query::Sql(QStringLiteral(") a,") + day) +
            query::Sql::value(state.secondDate) +
            query::Sql(QStringLiteral(") b where a.symbol = b.symbol and a.series = b.series and a.series = 'EQ'"
                                      " and (b.closeprice - b.%1) %2 0 and (a.closeprice - a.%1) %3 0"
                                      " order by %4 %5, a.symbol")
                           .arg(ema, QLatin1String(previousSide), QLatin1String(daySide), change,
                                QLatin1String(crossing.upwards ? "desc" : "asc"))));
    };
}

}  // namespace

void registerEmaCrossingBranches(query::BranchRegistry& registry)
{
    for (const auto& crossing : kCrossings)
        registry.add(QString::fromLatin1(crossing.label), crossingBranch(crossing));
}

}  // namespace computations
