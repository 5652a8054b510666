// New highs and lows of the derivative scrips: the day's high (low) in the
// bhavcopy table against the highest high (lowest low) from the second date
// through the previous trading day.

#include "computations/scanandsignalbranches.h"

#include "query/branch.h"
#include "query/plainstatements.h"

#include <algorithm>

namespace computations {

namespace {

// The period's highest or lowest price is wanted only of the symbols that
// the derivative scrips trade under on the query's day: the period is read
// for those alone, through the bhavcopy's symbol index (a highest or lowest
// price does not depend on the rows around it). Empty when plain statements
// are asked for.
query::Sql derivativeSymbols(const query::RunState& state)
{
    if (query::plainStatementsOnly())
        return {};
    return query::Sql(" and allbhavcopy.symbol in (select mto.nsescriptcode from mto where mto.transdate = ") +
           query::Sql::value(state.firstDate) +
           " And Exists(Select ScrCode From LinkDetails Where GrpCode = 'Derivative'"
           " And LinkDetails.ScrCode = mto.scriptcode))";
}

// The far end of the period: the second date as the screen shows it. The
// screen leaves the box empty when the store does not hold N - 1 trading
// days below the first date; the period is then refused, never shortened.
QDate periodFarEnd(const query::RunContext& context)
{
    const QDate& shown = context.inputs.secondDate;
    if (shown.isValid())
        return shown;
    const query::RunState& state = context.state;
    if (!state.calendar.dayBefore(state.count - 1))
        throw query::Refusal(query::refusals::tooFewTradingDays(state.firstDate));
    throw query::Refusal(query::refusals::selectValidDate());
}

query::Branch periodBranch(bool highs)
{
    return [highs](query::RunContext& context) {
        using query::Sql;
        query::RunState& state = context.state;
        state.secondDate = state.previousTradingDay();
        const QDate farEnd = periodFarEnd(context);
        const QDate from = std::min(farEnd, state.secondDate);
        const QDate to = std::max(farEnd, state.secondDate);
        const QString change = QStringLiteral("round(((thighprice * 100) / highprice)-100,2)");
        // The lowest low and the day's low travel under the names of the
        // high columns, so both members share one statement.
        return query::BranchResult::result(
            Sql(QStringLiteral("select c.symbol,thighprice as %1,HighPrice as %2,"
                               " iif(thighprice > 0 And HighPrice > 0, Round(((thighprice * 100) / HighPrice) - 100, 2), 0)"
                               " As [%change]")
                    .arg(QLatin1String(highs ? "TodaysHigh" : "TodaysLow"),
                         QLatin1String(highs ? "MaxHigh" : "MaxLow")) +
                query::fillers(1) +
                QStringLiteral(" from mto,scripmaster, (SELECT symbol,%1(allbhavcopy.%2) AS HIGHPrice From allbhavcopy"
                               " WHERE allbhavcopy.series = 'EQ' and allbhavcopy.transdate between ")
                    .arg(QLatin1String(highs ? "Max" : "Min"), QLatin1String(highs ? "highprice" : "lowprice"))) +
            Sql::value(from) + " and " + Sql::value(to) + derivativeSymbols(state) +
            Sql(QStringLiteral(" GROUP BY allbhavcopy.symbol) c, (SELECT symbol,allbhavcopy.%1 AS THIGHPrice"
                               " From allbhavcopy WHERE allbhavcopy.series = 'EQ' and allbhavcopy.transdate = ")
                    .arg(QLatin1String(highs ? "highprice" : "lowprice"))) +
            Sql::value(state.firstDate) + ") T where mto.transdate = " + Sql::value(state.firstDate) +
            " And Exists(Select ScrCode From LinkDetails Where GrpCode = 'Derivative'"
            " And LinkDetails.ScrCode = mto.scriptcode)"
            " and c.symbol = mto.nsescriptcode and c.symbol = t.symbol and scriptcode = srno and t.thighprice " +
            Sql(highs ? "> c.highprice" : "< c.highprice") + " order by " + Sql(change) +
            Sql(highs ? " desc" : " asc") + ", c.symbol");
    };
}

}  // namespace

void registerPeriodHighLowBranches(query::BranchRegistry& registry)
{
    const query::Branch high = periodBranch(true);
    const query::Branch low = periodBranch(false);
    for (const char* label : {"Weekly High", "Monthly High", "52 Week High"})
        registry.add(QString::fromLatin1(label), high);
    for (const char* label : {"Weekly Low", "Monthly Low", "52 Week Low"})
        registry.add(QString::fromLatin1(label), low);
}

}  // namespace computations
