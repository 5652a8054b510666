// Abnormal changes of a day: a scrip's traded or delivered quantity (or its
// delivery percentage) on the chosen day against the previous trading day,
// or against its average over the last N trading days, listed when the
// change reaches the percentage the user typed.

#include "query/abnormalbranches.h"

#include "query/branch.h"
#include "query/windowsummary.h"
#include "query/worktable.h"
#include "store/database.h"

namespace query {

Sql linkedToChosenGroup(const RunState& state, const QString& scripColumn)
{
    if (state.groupCode.isEmpty())
        return {};
    return Sql(" And Exists(Select ScrCode From LinkDetails Where GrpCode = ") + Sql::value(state.groupCode) +
           Sql(QStringLiteral(" And LinkDetails.ScrCode = %1) ").arg(scripColumn));
}

namespace {

const QString kDayTable = QStringLiteral("QueryResult1");
const QString kAverageTable = QStringLiteral("ttemp");

// The statements of one query on one exchange. `make` is the select list of
// the two-day (or day-against-average) table, `update` fills in what the
// make statement left at 0.01, `final` is the result's select list and
// `change` the column the typed percentage is compared with. Columns that
// the result shows under another heading are compared and ordered through
// the table's own name, so that an alias never takes the column's place.
struct ChangeForm {
    const char* make;
    const char* update;
    const char* final;
    const char* change;
};

struct ChangeQuery {
    const char* label;
    ChangeForm nse, bse, combined;

    const ChangeForm& form(Exchange exchange) const
    {
        return exchange == Exchange::Nse ? nse : exchange == Exchange::Bse ? bse : combined;
    }
};

// The percentages of one exchange divide by the earlier figure when it is
// above 0 and by 1 otherwise. Where both exchanges are added up, the delivery
// percentages and the changes of the % delivery and trading queries divide
// by the sums as they are: a sum of 0 gives an empty value for that scrip,
// which is then not listed.
const ChangeQuery kOverPreviousDay[] = {
    {"Abnormal Change in % delivery qty over previous day",
     {"select company as Stock,a.nseperc as [% NSEDely],b.nseperc as [Prev % NSEDely],round((a.nseperc-b.nseperc),2) as Diff,"
      "round(((a.nseperc * 100) / iif(b.nseperc>0,b.nseperc,1))-100,2) as [NSE % chg],a.nseclprice as Rate,"
      "round(((a.nseclprice*100)/iif(b.nseclprice>0,b.nseclprice,1))-100,2) as [% Chg]",
      nullptr, "select Stock,[% NSEDely],[Prev % NSEDely],round(Diff,2) as Diff,[NSE % chg],rate,[% chg]",
      "QueryResult1.[NSE % chg]"},
     {"select company as Stock,a.bseperc as [% DelyQty],b.bseperc as [Prev % DelyQty],round((a.bseperc-b.bseperc),2) as Diff,"
      "round(((a.bseperc * 100) / iif(b.bseperc>0,b.bseperc,1))-100,2) as [% change],a.bseclprice as Rate,"
      "round(((a.bseclprice*100)/iif(b.bseclprice>0,b.bseclprice,1))-100,2) as [% Chg]",
      nullptr, "select Stock,[% DelyQty],[Prev % DelyQty],round(Diff,2) as Diff,[% change],Rate,[% chg]",
      "QueryResult1.[% change]"},
     {"select company as Stock,"
      "round(((a.nsedelyqty+a.bsedelyqty)*100)/(a.bsetrdqty+a.nsetrdqty),2) as [% Dely],"
      "round(((b.nsedelyqty+b.bsedelyqty)*100)/(b.bsetrdqty+b.nsetrdqty),2) as [Prev % Dely],"
      "0.01 as [NSE % chg],a.nseclprice as Rate,"
      "round(((a.nseclprice*100)/iif(b.nseclprice>0,b.nseclprice,1))-100,2) as [% Chg]",
      "update queryresult1 set [NSE % chg] = round((( [% Dely] * 100 / [Prev % Dely])-100),2)",
      "select Stock,[% Dely],[Prev % Dely],[NSE % chg],rate,[% chg]", "QueryResult1.[NSE % chg]"}},
    {"Abnormal Change in delivery qty over previous day",
     {"select company as Stock,a.NSEScriptCode,a.nsedelyqty as DelyQty,b.nsedelyqty as PrevDelyQty,"
      "round((a.nsedelyqty-b.nsedelyqty),2) as Difference,"
      "round(((a.nsedelyqty * 100) / iif(b.nsedelyqty>0,b.nsedelyqty,1))-100,2) as Perchange,a.nseclprice as rate,"
      "round(((a.nseclprice*100)/iif(b.nseclprice>0,b.nseclprice,1))-100,2) as [% Chg],a.nsetrdqty as Volume,"
      "b.nsetrdqty as PrevVolume",
      nullptr,
      "select Stock,NSEScriptCode as NSECode,DelyQty,PrevDelyQty,Difference,"
      "cstr(QueryResult1.Perchange) || ' % ' as PerChange,Rate,[% Chg],Volume,PrevVolume",
      "QueryResult1.Perchange"},
     {"select company as Stock,a.bsedelyqty as DelyQty,b.bsedelyqty as PrevDelyQty,"
      "round((a.bsedelyqty-b.bsedelyqty),2) as Difference,"
      "round(((a.bsedelyqty * 100) / iif(b.bsedelyqty>0,b.bsedelyqty,1))-100,2) as Perchange,a.bseclprice as Rate,"
      "round(((a.bseclprice*100)/iif(b.bseclprice>0,b.bseclprice,1))-100,2) as [% Chg],a.BseTrdQty as Volume,"
      "b.bsetrdqty as PrevVolume",
      nullptr,
      "select Stock,DelyQty,PrevDelyQty,Difference,cstr(QueryResult1.Perchange) || ' % ' as PerChange,Rate,[% Chg],"
      "Volume,PrevVolume",
      "QueryResult1.Perchange"},
     {"select company as Stock,a.NSEScriptCode,a.nsedelyqty+a.bsedelyqty as DelyQty,b.nsedelyqty+b.bsedelyqty as PrevDelyQty,"
      "round(((a.nsedelyqty+a.bsedelyqty)-(b.nsedelyqty+b.bsedelyqty)),2) as Difference,0.01 as Perchange,"
      "iif(a.nseclprice>0,a.nseclprice,a.bseclprice) as rate,iif(b.nseclprice>0,b.nseclprice,b.bseclprice) as PrevRate,"
      "0.01 as [% Chg],a.nsetrdqty+a.bsetrdqty as Volume,b.nsetrdqty+b.bsetrdqty as PrevVolume,0.01 as [%Vol]",
      "update queryresult1 set Perchange = ((delyqty*100/iif(prevdelyqty>0,prevdelyqty,1))-100),"
      "[%Vol] = ((volume*100/iif(prevvolume>0,prevvolume,1))-100)",
      "select Stock,NSEScriptCode as NSECode,DelyQty,PrevDelyQty,Difference,round(Perchange,2) as PerChange,"
      "round(Rate,2) as Rate,round(((rate*100)/iif(prevrate>0,prevrate,1))-100,2) as [% Chg],Volume,PrevVolume,"
      "round([%vol],2) as [%VolChg]",
      "QueryResult1.Perchange"}},
    {"Abnormal Change in Trading qty over previous day",
     {"select company as Stock,a.nsetrdqty as TradingQty,b.nsetrdqty as PrevTradingQty,"
      "round((a.nsetrdqty-b.nsetrdqty),2) as Difference,"
      "round(((a.nsetrdqty * 100) / iif(b.nsetrdqty>0,b.nsetrdqty,1))-100,2) as [% change],a.nseclprice as rate,"
      "round(((a.nseclprice*100)/iif(b.nseclprice>0,b.nseclprice,1))-100,2) as [% Chg],a.nsedelyqty as DelyQty,"
      "b.nsedelyqty as PrevDelyQty",
      nullptr,
      "select Stock,TradingQty,PrevTradingQty,Difference,[% Change] as [% change],Rate,[% Chg],delyqty,prevdelyqty",
      "QueryResult1.[% change]"},
     {"select company as Stock,a.bsetrdqty as TradingQty,b.bsetrdqty as PrevTradingQty,"
      "round((a.bsetrdqty-b.bsetrdqty),2) as Difference,"
      "round(((a.bsetrdqty * 100) / iif(b.bsetrdqty>0,b.bsetrdqty,1))-100,2) as [% change],a.bseclprice as rate,"
      "round(((a.bseclprice*100)/iif(b.bseclprice>0,b.bseclprice,1))-100,2) as [% Chg],a.bsedelyqty as DelyQty,"
      "b.bseDelyqty as PrevDelyQty",
      nullptr,
      "select Stock,TradingQty,PrevTradingQty,Difference,[% Change] as [% change],Rate,[% Chg],DelyQty,PrevDelyQty",
      "QueryResult1.[% change]"},
     {"select company as Stock,a.nsetrdqty+a.bsetrdqty as TradingQty,b.nsetrdqty+b.bsetrdqty as PrevTradingQty,"
      "round(((a.nsetrdqty+a.bsetrdqty)-(b.nsetrdqty+b.bsetrdqty)),2) as Difference,0.01 as [% change],"
      "iif(a.nseclprice>0,a.nseclprice,a.bseclprice) as rate,iif(b.nseclprice>0,b.nseclprice,b.bseclprice) as PrevRate,"
      "0.01 as [% Chg],a.nsedelyqty+a.bsedelyqty as DelyQty,b.nsedelyqty+b.bseDelyqty as PrevDelyQty,"
      "0.01 as [%DelyChg]",
      "update queryresult1 set [% change] = ((tradingqty*100/prevtradingqty)-100),"
      "[%DelyChg] = ((delyqty*100/prevdelyqty)-100)",
      "select Stock,TradingQty,PrevTradingQty,Difference,round([% change],2) as PerChange,round(Rate,2) as Rate,"
      "round(((rate*100)/iif(prevrate>0,prevrate,1))-100,2) as [% Chg],DelyQty,PrevDelyQty,"
      "round([%DelyChg],2) as [%ChgInDely]",
      "QueryResult1.[% change]"}},
};

// The day against the average of the window: `update` is unused and `make`
// reads the averages table (`scriptcode`, `AvgDelyQty`, `AvgClPrice`).
struct AverageQuery {
    ChangeQuery query;
    const char* averages[3];     // select lists of the averages per exchange
    bool combinedAverageByGroup; // the combined averages are taken for the chosen group only
};

const AverageQuery kAboveAverage[] = {
    {{"Abnormal Change in delivery qty above Average Delivery Qty",
      {"select scripmaster.nsescrip,scripmaster.bsescrip,company as Stock,a.nsedelyqty as DelyQty,"
       "b.AvgDelyQty as AvgDelyQty,round((a.nsedelyqty-b.avgdelyqty),2) as Difference,"
       "round(((a.nsedelyqty * 100) / iif(b.avgdelyqty>0,b.avgdelyqty,1))-100,2) as Perchange,a.nseclprice as rate,"
       "round(((a.nseclprice*100)/iif(b.avgclprice>0,b.avgclprice,1))-100,2) as [% Chg]",
       nullptr,
       "select nsescrip,bsescrip,Stock,DelyQty,AvgDelyQty,Difference,Perchange as [Dely Chg %],Rate,"
       "[% Chg] as [% Rate Chg From Avg Rate]",
       "QueryResult1.Perchange"},
      {"select scripmaster.nsescrip,scripmaster.bsescrip,company as Stock,a.bsedelyqty as DelyQty,"
       "b.AvgDelyQty as AvgDelyQty,round((a.bsedelyqty-b.avgdelyqty),2) as Difference,"
       "round(((a.bsedelyqty * 100) / iif(b.avgdelyqty>0,b.avgdelyqty,1))-100,2) as Perchange,a.bseclprice as rate,"
       "round(((a.bseclprice*100)/iif(b.avgclprice>0,b.avgclprice,1))-100,2) as [% Chg]",
       nullptr,
       "select nsescrip,bsescrip,Stock,DelyQty,AvgDelyQty,Difference,Perchange as [Dely Chg %],Rate,"
       "[% Chg] as [% Rate Chg From Avg Rate]",
       "QueryResult1.Perchange"},
      {"select scripmaster.nsescrip,scripmaster.bsescrip,company as Stock,a.nsedelyqty+a.bsedelyqty as DelyQty,"
       "b.AvgDelyQty as AvgDelyQty,round(((a.nsedelyqty+a.bsedelyqty)-b.avgdelyqty),2) as Difference,"
       "round((((a.nsedelyqty+a.bsedelyqty) * 100) / iif(b.avgdelyqty>0,b.avgdelyqty,1))-100,2) as Perchange,"
       "iif(a.nseclprice>0,a.nseclprice,a.bseclprice) as rate,"
       "round(((iif(a.nseclprice>0,a.nseclprice,a.bseclprice)*100)/iif(b.avgclprice>0,b.avgclprice,1))-100,2) as [% Chg]",
       nullptr,
       "select nsescrip,bsescrip,Stock,DelyQty,AvgDelyQty,Difference,Perchange as [Dely Chg %],round(Rate,2) as Rate,"
       "[% Chg] as [% Rate Chg From Avg Rate]",
       "QueryResult1.Perchange"}},
     {"SELECT scriptcode,round(avg(nsedelyqty),0) as AvgDelyQty, round(avg(nseclprice),2) as AvgClPrice",
      "SELECT scriptcode,round(avg(bsedelyqty),0) as AvgDelyQty, round(avg(bseclprice),2) as AvgClPrice",
      "SELECT scriptcode,round(avg(bsedelyqty+nsedelyqty),0) as AvgDelyQty, "
      "round(avg(iif(nseclprice>0,nseclprice,bseclprice)),2) as AvgClPrice"},
     false},
    {{"Abnormal Change in Trading qty above Average Trading Qty",
      {"select company as Stock,a.nsetrdqty as DelyQty,b.AvgDelyQty as AvgDelyQty,"
       "round((a.nsetrdqty-b.avgdelyqty),2) as Difference,"
       "round(((a.nsetrdqty * 100) / iif(b.avgdelyqty>0,b.avgdelyqty,1))-100,2) as Perchange,a.nseclprice as rate,"
       "round(((a.nseclprice*100)/iif(b.avgclprice>0,b.avgclprice,1))-100,2) as [% Chg]",
       nullptr,
       "select Stock,DelyQty as [Trading Qty],AvgDelyQty as [Avg Trd Qty],Difference,Perchange as [Trd Chg %],Rate,"
       "[% Chg] as [% Rate Chg From Avg Rate]",
       "QueryResult1.Perchange"},
      {"select company as Stock,a.bsetrdqty as DelyQty,b.AvgDelyQty as AvgDelyQty,"
       "round((a.bsetrdqty-b.avgdelyqty),2) as Difference,"
       "round(((a.bsetrdqty * 100) / iif(b.avgdelyqty>0,b.avgdelyqty,1))-100,2) as Perchange,a.bseclprice as rate,"
       "round(((a.bseclprice*100)/iif(b.avgclprice>0,b.avgclprice,1))-100,2) as [% Chg]",
       nullptr,
       "select Stock,DelyQty as [Trading Qty],AvgDelyQty as [Avg Trd Qty],Difference,Perchange as [Trd Chg %],Rate,"
       "[% Chg] as [% Rate Chg From Avg Rate]",
       "QueryResult1.Perchange"},
      {"select company as Stock,a.nsetrdqty+a.bsetrdqty as DelyQty,b.AvgDelyQty as AvgDelyQty,"
       "round((a.nsetrdqty+a.bsetrdqty-b.avgdelyqty),2) as Difference,"
       "round((((a.nsetrdqty+a.bsetrdqty) * 100) / iif(b.avgdelyqty>0,b.avgdelyqty,1))-100,2) as Perchange,"
       "iif(a.nseclprice>0,a.nseclprice,a.bseclprice) as rate,"
       "round(((iif(a.nseclprice>0,a.nseclprice,a.bseclprice)*100)/iif(b.avgclprice>0,b.avgclprice,1))-100,2) as [% Chg]",
       nullptr,
       "select Stock,DelyQty as [Trading Qty],AvgDelyQty as [Avg Trd Qty],Difference,Perchange as [Trd Chg %],"
       "round(Rate,2) as Rate,[% Chg] as [% Rate Chg From Avg Rate]",
       "QueryResult1.Perchange"}},
     {"SELECT scriptcode,round(avg(nsetrdqty),0) as AvgDelyQty, round(avg(nseclprice),2) as AvgClPrice",
      "SELECT scriptcode,round(avg(bsetrdqty),0) as AvgDelyQty, round(avg(bseclprice),2) as AvgClPrice",
      "SELECT scriptcode,round(avg(nsetrdqty+bsetrdqty),0) as AvgDelyQty, "
      "round(avg(iif(nseclprice>0,nseclprice,bseclprice)),2) as AvgClPrice"},
     true},
};

int exchangeIndex(Exchange exchange)
{
    return exchange == Exchange::Nse ? 0 : exchange == Exchange::Bse ? 1 : 2;
}

// The result: the rows of the work table whose change reaches `percent`,
// the largest change first.
BranchResult changesReaching(const ChangeForm& form, double percent)
{
    const QString change = QString::fromLatin1(form.change);
    return BranchResult::result(Sql(QString::fromLatin1(form.final)) + fillers(2) + " from QueryResult1 where " + change +
                                " >= " + Sql::value(percent) + Sql(QStringLiteral(" order by %1 desc, QueryResult1.Stock").arg(change)));
}

// Against the previous trading day: the two days of each scrip of the group
// side by side, the change computed for both exchanges together afterwards.
Branch overPreviousDayBranch(const ChangeQuery& query)
{
    return [query](RunContext& context) {
        RunState& state = context.state;
        state.secondDate = state.previousTradingDay();
        // The delivery queries keep the percentage that the run's prologue
        // took from the number box; the trading query reads the box itself.
        const bool ownPercent = QLatin1String(query.label) != QLatin1String("Abnormal Change in Trading qty over previous day");
        const double percent = ownPercent ? state.abnormalPercent : state.number;
        const ChangeForm& form = query.form(state.exchange);

        remakeTable(context.db, kDayTable,
                    Sql(QString::fromLatin1(form.make)) + " from mto a,mto b,scripmaster where a.TransDate = " +
                        Sql::value(state.firstDate) + " and b.TransDate = " + Sql::value(state.secondDate) +
                        " and a.scriptcode = b.scriptcode and a.scriptcode = scripmaster.srno" +
                        linkedToChosenGroup(state, QStringLiteral("a.scriptcode")));
        if (form.update)
            context.db.exec(QString::fromLatin1(form.update));
        return changesReaching(form, percent);
    };
}

// Against the average of the last N trading days (the day included).
Branch aboveAverageBranch(const AverageQuery& average)
{
    return [average](RunContext& context) {
        RunState& state = context.state;
        state.secondDate = state.tradingDayBefore(state.count2 - 1);
        const int exchange = exchangeIndex(state.exchange);

        SummarySource window;
        window.first = state.secondDate;
        window.last = state.firstDate;
        if (average.combinedAverageByGroup && state.exchange == Exchange::Combined)
            window.condition = linkedToChosenGroup(state, QStringLiteral("mto.scriptcode"));
        remakeSummaryTable(context.db, kAverageTable, QString::fromLatin1(average.averages[exchange]), window);

        const ChangeForm& form = average.query.form(state.exchange);
        remakeTable(context.db, kDayTable,
                    Sql(QString::fromLatin1(form.make)) + " from mto a,ttemp b,scripmaster where a.TransDate = " +
                        Sql::value(state.firstDate) +
                        " and a.scriptcode= b.scriptcode and a.scriptcode = scripmaster.srno" +
                        linkedToChosenGroup(state, QStringLiteral("a.scriptcode")));
        return changesReaching(form, state.number);
    };
}

}  // namespace

void registerAbnormalBranches(BranchRegistry& registry)
{
    for (const auto& query : kOverPreviousDay)
        registry.add(QString::fromLatin1(query.label), overPreviousDayBranch(query));
    for (const auto& average : kAboveAverage)
        registry.add(QString::fromLatin1(average.query.label), aboveAverageBranch(average));
}

}  // namespace query
