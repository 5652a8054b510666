// Scrips against their average over a period of trading days ("Strev Query",
// "Abnormal Change in Trading qty below Average Trading Qty") and the market's
// traded and delivered quantity and value per day ("Delivery Value - Summary").

#include "computations/scanandsignalbranches.h"

#include "query/branch.h"
#include "query/windowsummary.h"
#include "query/worktable.h"
#include "store/database.h"

#include <algorithm>

namespace computations {

namespace {

using query::Exchange;
using query::Sql;

// The day's close of a row: the NSE close when above 0, else the BSE close.
QString closeOf(const char* alias)
{
    return QStringLiteral("iif(%1.nseclprice>0,%1.nseclprice,%1.bseclprice)").arg(QLatin1String(alias));
}

// Every scrip with rows on the query's day and on the day before, its close,
// price change and quantities per exchange, and its average traded quantity
// (both exchanges) over the N trading days before the query's day.
query::BranchResult strevQuery(query::RunContext& context)
{
    query::RunState& state = context.state;
    state.secondDate = state.previousTradingDay();
    state.fifthDate = state.tradingDayBefore(state.count);
    const QDate from = std::min(state.secondDate, state.fifthDate);
    const QDate to = std::max(state.secondDate, state.fifthDate);

    state.groupFilter = state.groupFilterOn(QStringLiteral("a.scriptcode"));
    if (!state.scripFilter.isBlank())
        state.scripFilter.text.replace(QStringLiteral("scriptcode"), QStringLiteral("a.scriptcode"), Qt::CaseInsensitive);
    // The range boxes judge the query day's row.
    const Sql range = state.andRangeCondition(query::MeasureColumns::ofMto(state.exchange, QStringLiteral("a")));

    query::SummarySource window;
    window.first = from;
    window.last = to;
    const Sql averages = query::summaryTable(
        context.db, QStringLiteral("avgmto"), QStringLiteral("scriptcode,round(avg(NSETrdQty+BSETrdQty),0) as AvgDely"),
        window);
    return query::BranchResult::result(
        Sql(QStringLiteral("SELECT company, ") + closeOf("a") + QStringLiteral(" as ClosingPrice, round(((") +
            closeOf("a") + QStringLiteral(" * 100) / ") + closeOf("b") +
            QStringLiteral(") -100,2) as [%ChgInPrice],"
                           " a.bsedelyqty as BSEDely,a.nsedelyqty as NSEDely,(a.nsedelyqty+a.bsedelyqty) as TotalDely,"
                           "a.BSETrdQty as BSEVol,a.NSETrdQty as NSEVol, (a.BSETrdQty + a.NSETrdQty) as TotalVol,"
                           " AvgDely as [7Days AvgVol]") +
            query::fillers(1) +
            QStringLiteral(" from mto a, mto b,scripmaster, ")) +
        averages + " avgmto where a.transdate = " +
        Sql::value(state.firstDate) + " and b.transdate = " + Sql::value(state.secondDate) +
        " and a.scriptcode = b.scriptcode and a.scriptcode = avgmto.scriptcode and a.ScriptCode = scripmaster.srno " +
        state.scripFilter + range + state.groupFilter + " order by company, a.scriptcode");
}

// The exchange's figures of the averages and of the day rows. The day's
// traded quantity is set against the average traded quantity; the average
// close takes the days with a close only (a day without a trade has no
// price).
struct AbnormalColumns {
    const char* averages;  // traded quantity and close averaged per scrip
    const char* dayRow;    // the day's figures against the averages
    const char* head;      // the result's columns
};

AbnormalColumns abnormalColumns(Exchange exchange)
{
    switch (exchange) {
    case Exchange::Nse:
        return {"SELECT scriptcode,round(avg(nsetrdqty),0) as AvgDelyQty,"
                " round(avg(iif(nseclprice>0,nseclprice,null)),2) as AvgClPrice",
                "select company as Stock,a.nsetrdqty as DelyQty,b.AvgDelyQty as AvgDelyQty,"
                "round((a.nsetrdqty-b.avgdelyqty),2) as Difference,"
                "round(((a.nsetrdqty * 100) / iif(b.avgdelyqty>0,b.avgdelyqty,1))-100,2) as Perchange,"
                "a.nseclprice as rate,round(((a.nseclprice*100)/iif(b.avgclprice>0,b.avgclprice,1))-100,2) as [% Chg]",
                "select Stock,DelyQty as [Trading Qty],AvgDelyQty as [Avg Trd Qty],Difference,Perchange as [Trd Chg %],"
                "Rate as Rate,[% Chg] as [% Rate Chg From Avg Rate]"};
    case Exchange::Bse:
        return {"SELECT scriptcode,round(avg(bsetrdqty),0) as AvgDelyQty,"
                " round(avg(iif(bseclprice>0,bseclprice,null)),2) as AvgClPrice",
                "select company as Stock,a.bsetrdqty as DelyQty,b.AvgDelyQty as AvgDelyQty,"
                "round((a.bsetrdqty-b.avgdelyqty),2) as Difference,"
                "round(((a.bsetrdqty * 100) / iif(b.avgdelyqty>0,b.avgdelyqty,1))-100,2) as Perchange,"
                "a.bseclprice as rate,round(((a.bseclprice*100)/iif(b.avgclprice>0,b.avgclprice,1))-100,2) as [% Chg]",
                "select Stock,DelyQty as [Trading Qty],AvgDelyQty as [Avg Trd Qty],Difference,Perchange as [Dely Chg %],"
                "Rate as Rate,[% Chg] as [% Rate Chg From Avg Rate]"};
    case Exchange::Combined:
        break;
    }
    return {"SELECT scriptcode,round(avg(nsetrdqty+bsetrdqty),0) as AvgDelyQty,"
            " round(avg(iif(nseclprice>0,nseclprice,iif(bseclprice>0,bseclprice,null))),2) as AvgClPrice",
            "select company as Stock,a.nsetrdqty+a.bsetrdqty as DelyQty,b.AvgDelyQty as AvgDelyQty,"
            "round((a.nsetrdqty+a.bsetrdqty-b.avgdelyqty),2) as Difference,"
            "round((((a.nsetrdqty+a.bsetrdqty) * 100) / iif(b.avgdelyqty>0,b.avgdelyqty,1))-100,2) as Perchange,"
            "iif(a.nseclprice>0,a.nseclprice,a.bseclprice) as rate,"
            "round(((iif(a.nseclprice>0,a.nseclprice,a.bseclprice)*100)/iif(b.avgclprice>0,b.avgclprice,1))-100,2)"
            " as [% Chg]",
            "select Stock,DelyQty as [Trading Qty],AvgDelyQty as [Avg Trd Qty],Difference,Perchange as [Trd Chg %],"
            "round(Rate,2) as Rate,[% Chg] as [% Rate Chg From Avg Rate]"};
}

// The scrips of the group whose traded quantity on the query's day lies
// below the period's average traded quantity by at most the percentage.
query::BranchResult abnormalTrading(query::RunContext& context)
{
    query::RunState& state = context.state;
    store::Database& db = context.db;
    // The period: the query's day and the trading days before it, N1 days in
    // all; without that many days, the second date the run was given.
    const auto periodStart = state.calendar.dayBefore(state.count2 - 1);
    state.secondDate = periodStart ? *periodStart : state.requireSecondDate();
    const QDate from = std::min(state.firstDate, state.secondDate);
    const QDate to = std::max(state.firstDate, state.secondDate);
    // Group "ALL" (or none) goes through the membership that lists every scrip.
    const QString groupCode = state.groupRestricts() ? state.groupCode : QStringLiteral("ALL");
    auto memberOf = [&groupCode](const char* scripColumn) {
        return Sql(" And Exists(Select ScrCode From LinkDetails Where GrpCode = ") + Sql::value(groupCode) +
               Sql(QStringLiteral(" And LinkDetails.ScrCode = %1) ").arg(QLatin1String(scripColumn)));
    };
    const AbnormalColumns columns = abnormalColumns(state.exchange);

    // Only the combined averages are limited to the group; the day rows are
    // limited for every exchange.
    query::SummarySource window;
    window.first = from;
    window.last = to;
    if (state.exchange == Exchange::Combined)
        window.condition = memberOf("mto.scriptcode");
    query::remakeSummaryTable(db, QStringLiteral("ttemp"), QString::fromLatin1(columns.averages), window);
    query::remakeTable(db, QStringLiteral("queryresult1"),
                       Sql(QString::fromLatin1(columns.dayRow) +
                           QStringLiteral(" from mto a,ttemp b,scripmaster where a.TransDate = ")) +
                           Sql::value(state.firstDate) +
                           " and a.scriptcode= b.scriptcode and a.scriptcode = scripmaster.srno" + memberOf("a.scriptcode"));
    return query::BranchResult::result(Sql(QString::fromLatin1(columns.head) + query::fillers(2) +
                                           QStringLiteral(" from QueryResult1 where perchange >= ")) +
                                       Sql::value(-state.number) + " and perchange < 0 order by perchange desc, Stock");
}

// Per trading day between the two dates: traded and delivered quantity and
// value on BSE and NSE in crores, with the delivery percentages. Each day has
// one row over the BSE-listed scrips and one over the NSE-listed ones, each
// with zeros in the other exchange's columns; the outer sums set them side by
// side.
query::BranchResult deliveryValueSummary(query::RunContext& context)
{
    const query::RunState& state = context.state;
    const QDate secondDate = state.requireSecondDate();
    auto exchangeDays = [&](const char* listed) {
        query::SummarySource days;
        days.dayColumn = QStringLiteral("transdate");
        days.scripColumn = QStringLiteral("scriptcode");
        days.first = state.firstDate;
        days.last = secondDate;
        days.condition = Sql(QStringLiteral(" and trim(%1) <> ''").arg(QLatin1String(listed)));
        days.groupBy = QStringList{QStringLiteral("transdate")};
        return days;
    };
    const Sql bse = query::summaryTable(
        context.db, QStringLiteral("bsedays"),
        // The union's columns take the names of its first select's items as
        // written ("transdate"), so the day keeps that name here.
        QStringLiteral("transdate as transdate,'B' as Exchange,sum(bsetrdqty) as BSETradedQty,sum(bsetrdqty*bseclprice) as BSETradedValue,"
                       "sum(bsedelyqty) as BSEDelQty,sum(bsedelyqty*bseclprice) as BSEDelyValue,"
                       "round(sum(bsedelyqty)*100 / sum(bsetrdqty),2) as [BSE % dely],"
                       "round(sum(bsedelyqty*bseclprice)*100/sum(bsetrdqty*bseclprice),2) as [BSE % delyvalue],"
                       "0 as NSETradedQty,0 as NSETradedValue,0 as NSEDelQty,0 as NSEDelyValue,0 as [NSE % dely],"
                       "0 as [NSE % delyvalue]"),
        exchangeDays("bsescriptcode"));
    const Sql nse = query::summaryTable(
        context.db, QStringLiteral("nsedays"),
        QStringLiteral("transdate,'N' as Exchange,0,0,0,0,0,0,sum(nsetrdqty),sum(nsetrdqty*nseclprice),sum(nsedelyqty),"
                       "sum(nsedelyqty*nseclprice),round(sum(nsedelyqty)*100 / sum(nsetrdqty),2),"
                       "round(sum(NSEDelyQty * NSEClPrice) * 100 / sum(NSETrdQty * NSEClPrice), 2)"),
        exchangeDays("nsescriptcode"));
    return query::BranchResult::result(
        Sql("select transdate,round(sum(BSETradedQty/10000000),2) as BTradedQty,"
            "round(sum(BSETradedValue/10000000),2) as BTradedValue,round(sum(BSEDelQty/10000000),2) as BDelyQty,"
            "round(sum(BSEDelyvalue/10000000),2) as BDelyValue,sum([BSE % Dely]) as [BSE%Dely],"
            "sum([BSE % DelyValue]) as [BSE%DelyValue],"
            "round(sum(NSETradedQty/10000000),2) as NTradedQty,round(sum(NSETradedValue/10000000),2) as NTradedValue,"
            "round(sum(NSEDelQty/10000000),2) as NDelyQty,round(sum(NSEDelyvalue/10000000),2) as NDelyValue,"
            "sum([NSE % Dely]) as [NSE%Dely],sum([NSE % delyvalue]) As [NSE%DelyValue] from ("
            " SELECT * FROM ") +
        bse + " UNION SELECT * FROM " + nse + " ) group by transdate order by transdate");
}

}  // namespace

void registerPeriodAverageBranches(query::BranchRegistry& registry)
{
    registry.add(QStringLiteral("Strev Query"), strevQuery);
    registry.add(QStringLiteral("Abnormal Change in Trading qty below Average Trading Qty"), abnormalTrading);
    registry.add(QStringLiteral("Delivery Value - Summary"), deliveryValueSummary);
}

}  // namespace computations
