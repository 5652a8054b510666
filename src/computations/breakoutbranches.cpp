// Delivery breakouts against the previous trading day: the scrips whose
// delivery grew by more than a percentage while the close rose (or fell).

#include "computations/scanbranches.h"

#include "query/branch.h"
#include "query/worktable.h"
#include "store/database.h"

namespace computations {

using query::Exchange;
using query::Sql;

namespace {

const QString kBreakoutTable = QStringLiteral("tqr");

// The chosen scrips on today's row: " and mto.scriptcode in (...)", or empty.
Sql todaysScrips(const query::RunInputs& inputs)
{
    Sql filter;
    for (const qint64 code : inputs.scripCodes)
        filter += Sql(filter.isBlank() ? " and mto.scriptcode in (" : ",") + Sql::value(code);
    if (!filter.isBlank())
        filter += ")";
    return filter;
}

// Today's row is `mto`, the previous trading day's `y`.
QString breakoutColumns(Exchange exchange)
{
    if (exchange == Exchange::Combined)
        return QStringLiteral(
            "select Company as Security,(mto.nsedelyqty+mto.bsedelyqty) as [Today Dely],"
            "(y.nsedelyqty+y.bsedelyqty) as [YDay Dely],"
            "round((((mto.nsedelyqty+mto.bsedelyqty) * 100) / iif(y.nsedelyqty+y.bsedelyqty>0,y.nsedelyqty+y.bsedelyqty,1))"
            " -100,2) as [%ChgInDely],"
            "(mto.nsetrdqty+mto.bsetrdqty) as [Today Volume],"
            "iif(mto.nseclprice>0,mto.nseclprice,mto.bseclprice) as [Today Price],"
            "iif(y.nseclprice>0,y.nseclprice,y.bseclprice) as [YDay Price],"
            "round(((iif(mto.nseclprice>0,mto.nseclprice,mto.bseclprice) * 100) /"
            " iif(y.nseclprice>0,y.nseclprice,y.bseclprice)) -100,2) as [%ChgInPrice]");
    const QString x = exchange == Exchange::Nse ? QStringLiteral("nse") : QStringLiteral("bse");
    return QStringLiteral("select company as Security,ifnull(mto.%1delyqty,0) as [Today Dely],"
                          "ifnull(y.%1delyqty,0) as [YDay Dely],"
                          "round(((mto.%1delyqty * 100) /iif(y.%1delyqty>0,y.%1delyqty,1)) - 100,2) as [%ChgInDely],"
                          "mto.%1trdqty as [Today Volume],mto.%1clprice as [Today Price],y.%1clprice as [YDay Price],"
                          "round(((mto.%1clprice * 100) / iif(y.%1clprice>0,y.%1clprice,1)) - 100,2) as [%ChgInPrice]")
        .arg(x);
}

query::Branch breakoutBranch(bool upward)
{
    return [upward](query::RunContext& context) {
        query::RunState& state = context.state;
        state.secondDate = state.previousTradingDay();

        Sql priceTest;
        if (state.exchange != Exchange::Combined) {
            const QString x = state.exchange == Exchange::Nse ? QStringLiteral("nse") : QStringLiteral("bse");
            priceTest = Sql(QStringLiteral(" and mto.%1clprice %2 y.%1clprice").arg(x, upward ? QStringLiteral(">=")
                                                                                              : QStringLiteral("<=")));
        }
        using store::ColumnKind;
        const QList<store::Column> columns{
            {QStringLiteral("Security"), ColumnKind::Text},    {QStringLiteral("Today Dely"), ColumnKind::Real},
            {QStringLiteral("YDay Dely"), ColumnKind::Real},   {QStringLiteral("%ChgInDely"), ColumnKind::Real},
            {QStringLiteral("Today Volume"), ColumnKind::Real}, {QStringLiteral("Today Price"), ColumnKind::Real},
            {QStringLiteral("YDay Price"), ColumnKind::Real},  {QStringLiteral("%ChgInPrice"), ColumnKind::Real}};
        query::remakeWorkTable(
            context.db, kBreakoutTable, columns,
            Sql(breakoutColumns(state.exchange)) +
                " from mto, mto as y,scripmaster where scripmaster.srno = mto.scriptcode"
                " and mto.scriptcode = y.scriptcode" +
                priceTest + " and mto.TransDate = " + Sql::value(state.firstDate) +
                " and y.TransDate = " + Sql::value(state.secondDate) + todaysScrips(context.inputs) +
                state.andRangeCondition(query::MeasureColumns::ofMto(state.exchange, QStringLiteral("mto"))) +
                state.groupFilter);

        return query::BranchResult::result(
            Sql(QStringLiteral("select Security, [Today Dely] as [Today Dely], [YDay Dely] as [YDay Dely],[%ChgInDely],"
                               "[Today Volume] as [Today Volume],[Today Price] as [Today Price],"
                               "[YDay Price] as [YDay Price],[%ChgInPrice] as [%ChgInPrice] from tqr"
                               " where [Today Price] %1 [YDay Price] and [YDay Dely] > 0 and [%ChgInDely] > ")
                    .arg(upward ? QLatin1Char('>') : QLatin1Char('<'))) +
            Sql::value(state.number2) + " order by tqr.[%ChgInDely] desc, tqr.Security");
    };
}

}  // namespace

void registerBreakoutBranches(query::BranchRegistry& registry)
{
    registry.add(QStringLiteral("Delivery breakout with upward price (Previous Day)"), breakoutBranch(true));
    registry.add(QStringLiteral("Delivery breakout with downward price (Previous Day)"), breakoutBranch(false));
}

}  // namespace computations
