// Window queries: a scrip's price, traded or delivered quantity of the day
// set against the highest, lowest and average of the N trading days before
// it (or its average over the N days up to it), and each scrip group's
// turnover and delivery value of the day against its average over the N
// trading days before it.

#include "query/windowbranches.h"

#include <array>

#include "query/branch.h"
#include "query/windowsummary.h"

namespace query {

namespace {

// The statement of one window query on one exchange: the select list
// (without its filler), the columns the window table gives per scrip, the
// condition on the day row and the window row, and the order.
struct WindowForm {
    QString selectList;
    QString windowColumns;
    QString condition;
    QString order;
};

enum WindowQuery { RateHighLow, VolumeHighLow, DeliveryHighLow, RateChange, WindowQueryCount };

// Per query, the NSE, BSE and combined forms, in that order.
using WindowForms = std::array<std::array<WindowForm, 3>, WindowQueryCount>;

const WindowForms& windowForms()
{
    static const WindowForms forms{{
        {{
            // Rate Above/Below High/Low, NSE
            {
                QStringLiteral(
                    "select scripmaster.nsescrip,scripmaster.bsescrip,Company,a.NSEClPrice AS TodaysRate,"
                    "oldhigh AS HighPrice, oldlow AS LowPrice,round(((a.nseclprice*100)/iif(oldnseclprice>0,"
                    "oldnseclprice,1))-100,2) as [Avg% Rate Chg],a.NSETrdQty as Volume,"
                    "round(((a.nsetrdqty * 100) / iif(oldnsetrdqty>0,oldnsetrdqty,1))-100,2) as [% Vol Chg],"
                    "a.NSEDelyQty as Delivery,round(((a.nsedelyqty * 100) / iif(oldnsedelyqty>0,oldnsedelyqty,"
                    "1))-100,2) as [% Dely Chg]"),
                QStringLiteral(
                    "b.scriptcode,avg(b.nseclprice) as oldnseclprice,avg(b.nsetrdqty) as oldnsetrdqty,"
                    "avg(b.nsedelyqty) as oldnsedelyqty, max(b.nseclprice) as oldhigh,min(b.nseclprice) as oldlow"),
                QStringLiteral(" and a.scriptcode = b.scriptcode and a.nsescriptcode <> '' and a.nseclprice > 0 and "
                               "oldnseclprice > 0 and (a.nseclprice > oldhigh or a.nseclprice < oldlow ) "),
                QStringLiteral(" order by round(((a.nseclprice*100)/iif(oldnseclprice>0,oldnseclprice,1))-100,2) desc"),
            },
            // Rate Above/Below High/Low, BSE
            {
                QStringLiteral(
                    "select scripmaster.nsescrip,scripmaster.bsescrip,Company,a.BSEClPrice AS Rate,"
                    "oldhigh AS HighPrice, oldlow AS LowPrice,round(((a.bseclprice*100)/iif(oldbseclprice>0,"
                    "oldbseclprice,1))-100,2) as [% Rate Chg],a.BSETrdQty as Volume,"
                    "round(((a.bsetrdqty * 100) / iif(oldbsetrdqty>0,oldbsetrdqty,1))-100,2) as [% Vol Chg],"
                    "a.BSEDelyQty as Delivery,round(((a.bsedelyqty * 100) / iif(oldbsedelyqty>0,oldbsedelyqty,"
                    "1))-100,2) as [% Dely Chg]"),
                QStringLiteral(
                    "b.scriptcode,avg(b.bseclprice) as oldbseclprice,avg(b.bsetrdqty) as oldbsetrdqty,"
                    "avg(b.bsedelyqty) as oldbsedelyqty, max(b.bseclprice) as oldhigh,min(b.bseclprice) as oldlow "),
                QStringLiteral(" and a.scriptcode = b.scriptcode and a.bsescriptcode <> '' and a.bseclprice > 0 and "
                               "oldbseclprice > 0 and (a.bseclprice > oldhigh or a.bseclprice < oldlow ) "),
                QStringLiteral(" order by round(((a.bseclprice*100)/iif(oldbseclprice>0,oldbseclprice,1))-100,2) desc"),
            },
            // Rate Above/Below High/Low, combined
            {
                QStringLiteral(
                    "select scripmaster.nsescrip,scripmaster.bsescrip,Company,round(val(iif(a.nseclprice>0,"
                    "a.nseclprice,a.bseclprice)),2) as Rate,round(val(oldhigh),2) AS HighPrice, round(val(oldlow),"
                    "2) AS LowPrice,round(((iif(a.nseclprice>0,a.nseclprice,a.bseclprice)*100)/iif(oldnseclprice>0,"
                    "oldnseclprice,1))-100,2) as [% Rate Chg],(a.NSETrdQty+a.BSETrdQty) as Volume,"
                    "round(((a.NSETrdQty+a.BSETrdQty)* 100) / iif(oldnsetrdqty>0,oldnsetrdqty,1)-100,"
                    "2) as [% Vol Chg],(a.NSEDelyQty+a.BSEDelyQty) as Delivery,"
                    "round(((a.NSEDelyQty+a.BSEDelyQty) * 100) / iif(oldnsedelyqty>0,oldnsedelyqty,1)-100,"
                    "2) as [% Dely Chg]"),
                QStringLiteral(
                    "b.scriptcode,iif(max(b.nseclprice) > 0 ,max(b.nseclprice),max(b.bseclprice)) as oldhigh,"
                    "iif(min(b.nseclprice) > 0 ,min(b.nseclprice),min(b.bseclprice)) as oldlow,"
                    "iif(avg(b.nseclprice) > 0 ,avg(b.nseclprice),avg(b.bseclprice)) as oldnseclprice,"
                    "avg(b.nsetrdqty+b.bsetrdqty) as oldnsetrdqty,avg(b.nsedelyqty + b.bsedelyqty ) as oldnsedelyqty"),
                QStringLiteral(
                    " and a.scriptcode = b.scriptcode and (iif(a.nseclprice>0,a.nseclprice,"
                    "a.bseclprice) > oldhigh or  iif(a.nseclprice>0,a.nseclprice,a.bseclprice) < oldlow )  "),
                QStringLiteral(
                    " order by round(((iif(a.nseclprice>0,a.nseclprice,a.bseclprice)*100)/iif(oldnseclprice>0,"
                    "oldnseclprice,1))-100,2) desc"),
            },
        }},
        {{
            // Volume Above/Below High/Low, NSE
            {
                QStringLiteral(
                    "select scripmaster.nsescrip,scripmaster.bsescrip,Company,a.NSETrdQty as Volume,"
                    "round(((a.nsetrdqty * 100) / iif(oldnsetrdqty>0,oldnsetrdqty,1))-100,2) as [% Vol Chg],"
                    "oldhigh AS HighVolume, oldlow AS LowVolume,a.NSEClPrice AS TodaysRate,"
                    "round(((a.nseclprice*100)/iif(oldnseclprice>0,oldnseclprice,1))-100,2) as [Avg% Rate Chg],"
                    "a.NSEDelyQty as Delivery,round(((a.nsedelyqty * 100) / iif(oldnsedelyqty>0,oldnsedelyqty,"
                    "1))-100,2) as [% Dely Chg]"),
                QStringLiteral(
                    "b.scriptcode,avg(b.nseclprice) as oldnseclprice,avg(b.nsetrdqty) as oldnsetrdqty,"
                    "avg(b.nsedelyqty) as oldnsedelyqty, max(b.nsetrdqty) as oldhigh,min(b.nsetrdqty) as oldlow"),
                QStringLiteral(" and a.scriptcode = b.scriptcode and a.nsescriptcode <> '' and (a.nsetrdqty > oldhigh "
                               "or a.nsetrdqty < oldlow ) "),
                QStringLiteral(" order by round(((a.nsetrdqty*100)/iif(oldnsetrdqty>0,oldnsetrdqty,1))-100,2) desc"),
            },
            // Volume Above/Below High/Low, BSE
            {
                QStringLiteral(
                    "select scripmaster.nsescrip,scripmaster.bsescrip,Company,a.BSETrdQty as Volume,"
                    "round(((a.bsetrdqty * 100) / iif(oldbsetrdqty>0,oldbsetrdqty,1))-100,2) as [% Vol Chg],"
                    "oldhigh AS HighVolume, oldlow AS LowVolume,a.bseClPrice AS TodaysRate,"
                    "round(((a.bseclprice*100)/iif(oldbseclprice>0,oldbseclprice,1))-100,2) as [Avg% Rate Chg],"
                    "a.bseDelyQty as Delivery,round(((a.bsedelyqty * 100) / iif(oldbsedelyqty>0,oldbsedelyqty,"
                    "1))-100,2) as [% Dely Chg]"),
                QStringLiteral(
                    "b.scriptcode,avg(b.bseclprice) as oldbseclprice,avg(b.bsetrdqty) as oldbsetrdqty,"
                    "avg(b.bsedelyqty) as oldbsedelyqty, max(b.bsetrdqty) as oldhigh,min(b.bsetrdqty) as oldlow"),
                QStringLiteral(" and a.scriptcode = b.scriptcode and a.bsescriptcode <> '' and (a.bsetrdqty > oldhigh "
                               "or a.bsetrdqty < oldlow ) "),
                QStringLiteral(" order by round(((a.bsetrdqty*100)/iif(oldbsetrdqty>0,oldbsetrdqty,1))-100,2) desc"),
            },
            // Volume Above/Below High/Low, combined
            {
                QStringLiteral(
                    "select scripmaster.nsescrip,scripmaster.bsescrip,Company,(a.BSETrdQty+a.nsetrdqty) as Volume,"
                    "round((((a.BSETrdQty+a.nsetrdqty) * 100) / iif(avgvol>0,avgvol,1))-100,2) as [% Vol Chg],"
                    "oldhigh as HighVolume,oldlow as LowVolume,round(val(iif(a.nseclprice>0,a.nseclprice,"
                    "a.bseclprice)),2) as Rate,round(((iif(a.nseclprice>0,a.nseclprice,"
                    "a.bseclprice)*100)/iif(oldnseclprice>0,oldnseclprice,1))-100,2) as [% Rate Chg],"
                    "(a.NSEDelyQty+a.BSEDelyQty) as Delivery,"
                    "round(((a.NSEDelyQty+a.BSEDelyQty) * 100) / iif(avgdely>0,avgdely,1)-100,2) as [% Dely Chg]"),
                QStringLiteral(
                    "b.scriptcode,max(b.bsetrdqty+b.nsetrdqty) as oldhigh,min(b.bsetrdqty+b.nsetrdqty) as oldLow,"
                    "iif(avg(b.nseclprice) > 0 ,avg(b.nseclprice),avg(b.bseclprice)) as oldnseclprice,"
                    "avg(b.nsetrdqty+b.bsetrdqty) as avgvol,avg(b.nsedelyqty + b.bsedelyqty ) as avgdely"),
                QStringLiteral(" and a.scriptcode = b.scriptcode and ((a.nsetrdqty+a.bsetrdqty) > oldhigh or "
                               "(a.nsetrdqty+a.bsetrdqty) < oldlow ) "),
                QStringLiteral(
                    " order by round((((a.BSETrdQty+a.nsetrdqty) * 100) / iif(avgvol>0,avgvol,1))-100,2) desc"),
            },
        }},
        {{
            // Delivery Above/Below High/Low, NSE
            {
                QStringLiteral(
                    "select scripmaster.nsescrip,scripmaster.bsescrip,Company,a.NSEdelyQty as Delivery,"
                    "round(((a.nsedelyqty * 100) / iif(oldnsedelyqty>0,oldnsedelyqty,1))-100,2) as [% Dely Chg],"
                    "oldhigh AS HighDely, oldlow AS LowDely,a.NSEClPrice AS TodaysRate,"
                    "round(((a.nseclprice*100)/iif(oldnseclprice>0,oldnseclprice,1))-100,2) as [Avg% Rate Chg],"
                    "a.NSEtrdQty as Volume,round(((a.nsetrdqty * 100) / iif(oldnsetrdqty>0,oldnsetrdqty,1))-100,"
                    "2) as [% Vol Chg]"),
                QStringLiteral(
                    "b.scriptcode,avg(b.nseclprice) as oldnseclprice,avg(b.nsetrdqty) as oldnsetrdqty,"
                    "avg(b.nsedelyqty) as oldnsedelyqty, max(b.nsedelyqty) as oldhigh,min(b.nsedelyqty) as oldlow"),
                QStringLiteral(" and a.scriptcode = b.scriptcode and a.nsescriptcode <> '' and (a.nsedelyqty > oldhigh "
                               "or a.nsedelyqty < oldlow ) "),
                QStringLiteral(
                    " order by round(((a.nsedelyqty * 100) / iif(oldnsedelyqty>0,oldnsedelyqty,1))-100,2)  desc"),
            },
            // Delivery Above/Below High/Low, BSE
            {
                QStringLiteral(
                    "select scripmaster.nsescrip,scripmaster.bsescrip,Company,a.BSEdelyQty as Delivery,"
                    "round(((a.bsedelyqty * 100) / iif(oldbsedelyqty>0,oldbsedelyqty,1))-100,2) as [% Dely Chg],"
                    "oldhigh AS HighDely, oldlow AS LowDely,a.bseClPrice AS TodaysRate,"
                    "round(((a.bseclprice*100)/iif(oldbseclprice>0,oldbseclprice,1))-100,2) as [Avg% Rate Chg],"
                    "a.bsetrdQty as Volume,round(((a.bsetrdqty * 100) / iif(oldbsetrdqty>0,oldbsetrdqty,1))-100,"
                    "2) as [% Vol Chg]"),
                QStringLiteral(
                    "b.scriptcode,avg(b.bseclprice) as oldbseclprice,avg(b.bsetrdqty) as oldbsetrdqty,"
                    "avg(b.bsedelyqty) as oldbsedelyqty, max(b.bsedelyqty) as oldhigh,min(b.bsedelyqty) as oldlow"),
                QStringLiteral(" and a.scriptcode = b.scriptcode and a.bsescriptcode <> '' and (a.bsedelyqty > oldhigh "
                               "or a.bsedelyqty < oldlow ) "),
                QStringLiteral(
                    " order by round(((a.bsedelyqty * 100) / iif(oldbsedelyqty>0,oldbsedelyqty,1))-100,2)  desc"),
            },
            // Delivery Above/Below High/Low, combined
            {
                QStringLiteral(
                    "select scripmaster.nsescrip,scripmaster.bsescrip,Company,"
                    "(a.BSEdelyQty+a.nsedelyqty) as Delivery,"
                    "round((((a.BSEdelyQty+a.nsedelyqty) * 100) / iif(avgdely>0,avgdely,1))-100,2) as [% Dely Chg],"
                    "oldhigh as HighDely,oldlow as LowDely,round(val(iif(a.nseclprice>0,a.nseclprice,a.bseclprice)),"
                    "2) as Rate,round(((iif(a.nseclprice>0,a.nseclprice,a.bseclprice)*100)/iif(oldnseclprice>0,"
                    "oldnseclprice,1))-100,2) as [% Rate Chg],(a.NSEtrdQty+a.BSEtrdQty) as Vol,"
                    "round(((a.NSEtrdQty+a.BSEtrdQty) * 100) / iif(avgvol>0,avgvol,1)-100,2) as [% Vol Chg]"),
                QStringLiteral(
                    "b.scriptcode,max(b.bsedelyqty+b.nsedelyqty) as oldhigh,min(b.bsedelyqty+b.nsedelyqty) as oldLow,"
                    "iif(avg(b.nseclprice) > 0 ,avg(b.nseclprice),avg(b.bseclprice)) as oldnseclprice,"
                    "avg(b.nsetrdqty+b.bsetrdqty) as avgvol,avg(b.nsedelyqty + b.bsedelyqty ) as avgdely"),
                QStringLiteral(" and a.scriptcode = b.scriptcode and ((a.nsedelyqty+a.bsedelyqty) > oldhigh or "
                               "(a.nsedelyqty+a.bsedelyqty) < oldlow ) "),
                QStringLiteral(
                    " order by round((((a.BSEdelyQty+a.nsedelyqty) * 100) / iif(avgdely>0,avgdely,1))-100,2) desc"),
            },
        }},
        {{
            // Rate Change in % Over n Days, NSE
            {
                QStringLiteral(
                    "select scripmaster.nsescrip,scripmaster.bsescrip,Company,a.NSEClPrice AS Rate,"
                    "round(((a.nseclprice*100)/iif(oldnseclprice>0,oldnseclprice,1))-100,2) as [% Rate Chg],"
                    "a.NSETrdQty as Volume,round(((a.nsetrdqty * 100) / iif(oldnsetrdqty>0,oldnsetrdqty,1))-100,"
                    "2) as [% Vol Chg],a.NSEDelyQty as Delivery,round(((a.nsedelyqty * 100) / iif(oldnsedelyqty>0,"
                    "oldnsedelyqty,1))-100,2) as [% Dely Chg]"),
                QStringLiteral("b.scriptcode,avg(b.nseclprice) as oldnseclprice,avg(b.nsetrdqty) as oldnsetrdqty,"
                               "avg(b.nsedelyqty) as oldnsedelyqty"),
                QStringLiteral(" and a.scriptcode = b.scriptcode and a.nsescriptcode <> '' and a.nseclprice > 0 and "
                               "oldnseclprice > 0 "),
                QStringLiteral(" order by round(((a.nseclprice*100)/iif(oldnseclprice>0,oldnseclprice,1))-100,2) desc"),
            },
            // Rate Change in % Over n Days, BSE
            {
                QStringLiteral(
                    "select scripmaster.nsescrip,scripmaster.bsescrip,Company,a.BSEClPrice AS Rate,"
                    "round(((a.bseclprice*100)/iif(oldbseclprice>0,oldbseclprice,1))-100,2) as [% Rate Chg],"
                    "a.BSETrdQty as Volume,round(((a.bsetrdqty * 100) / iif(oldbsetrdqty>0,oldbsetrdqty,1))-100,"
                    "2) as [% Vol Chg],a.BSEDelyQty as Delivery,round(((a.bsedelyqty * 100) / iif(oldbsedelyqty>0,"
                    "oldbsedelyqty,1))-100,2) as [% Dely Chg]"),
                QStringLiteral("b.scriptcode,avg(b.bseclprice) as oldbseclprice,avg(b.bsetrdqty) as oldbsetrdqty,"
                               "avg(b.bsedelyqty) as oldbsedelyqty"),
                QStringLiteral(" and a.scriptcode = b.scriptcode and a.bsescriptcode <> '' and a.bseclprice > 0 and "
                               "oldbseclprice > 0 "),
                QStringLiteral(" order by round(((a.bseclprice*100)/iif(oldbseclprice>0,oldbseclprice,1))-100,2) desc"),
            },
            // Rate Change in % Over n Days, combined
            {
                QStringLiteral(
                    "select scripmaster.nsescrip,scripmaster.bsescrip,Company,round(val(iif(a.nseclprice>0,"
                    "a.nseclprice,a.bseclprice)),2) as Rate,round(((iif(a.nseclprice>0,a.nseclprice,"
                    "a.bseclprice)*100)/iif(oldnseclprice>0,oldnseclprice,1))-100,2) as [% Rate Chg],"
                    "(a.NSETrdQty+a.BSETrdQty) as Volume,round(((a.NSETrdQty+a.BSETrdQty)* 100) / iif(oldnsetrdqty>0,"
                    "oldnsetrdqty,1)-100,2) as [% Vol Chg],(a.NSEDelyQty+a.BSEDelyQty) as Delivery,"
                    "round(((a.NSEDelyQty+a.BSEDelyQty) * 100) / iif(oldnsedelyqty>0,oldnsedelyqty,1)-100,"
                    "2) as [% Dely Chg]"),
                QStringLiteral(
                    "b.scriptcode,iif(avg(b.nseclprice) > 0 ,avg(b.nseclprice),avg(b.bseclprice)) as oldnseclprice,"
                    "avg(b.nsetrdqty+b.bsetrdqty) as oldnsetrdqty,avg(b.nsedelyqty + b.bsedelyqty ) as oldnsedelyqty"),
                QStringLiteral(" and a.scriptcode = b.scriptcode  "),
                QStringLiteral(
                    " order by round(((iif(a.nseclprice>0,a.nseclprice,a.bseclprice)*100)/iif(oldnseclprice>0,"
                    "oldnseclprice,1))-100,2) desc"),
            },
        }},
    }};
    return forms;
}

int exchangeIndex(Exchange exchange) { return exchange == Exchange::Nse ? 0 : exchange == Exchange::Bse ? 1 : 2; }

// The scrip filter of the run on the day rows `a`: the window table has a
// scrip code column too, so a bare name would be ambiguous.
Sql scripFilterOnDayRows(const RunState& state)
{
    Sql filter = state.scripFilter;
    filter.text.replace(QLatin1String(" and scriptcode in ("), QLatin1String(" and a.scriptcode in ("));
    return filter;
}

// The scrips that pass the query's test on the first date, the window
// table holding each scrip's figures over the window's days. The
// high/low queries look at the N trading days before the first date; the
// rate change query at the N trading days that end with it.
Branch windowBranch(WindowQuery query)
{
    return [query](RunContext& context) {
        RunState& state = context.state;
        const int n = state.count;
        QDate from, to;
        if (query == RateChange) {
            state.thirdDate = state.tradingDayBefore(n - 1);
            from = state.thirdDate;
            to = state.firstDate;
        } else {
            state.secondDate = state.previousTradingDay();
            state.thirdDate = state.tradingDayBefore(n);
            from = state.thirdDate;
            to = state.secondDate;
        }
        // The group restriction and the range bounds name the day rows `a`;
        // on both exchanges the range bounds apply to the summed quantities
        // and the NSE-else-BSE close, as the result columns show them.
        state.groupFilter = state.groupFilterOn(QStringLiteral("a.scriptcode"));
        const Sql rangeCondition = state.andRangeCondition(MeasureColumns::ofMto(state.exchange, QStringLiteral("a")));

        const WindowForm& form = windowForms()[query][exchangeIndex(state.exchange)];
        QString condition = form.condition;
        // A scrip without a close on the day has no rate to compare: on one
        // exchange the condition already asks for a close above 0, on both
        // it must ask for one too.
        if (state.exchange == Exchange::Combined && (query == RateHighLow || query == RateChange))
            condition += QStringLiteral(" and iif(a.nseclprice>0,a.nseclprice,a.bseclprice) > 0 ");

        // Scrips of equal change are listed by company, so that a result reads
        // the same every time.
        SummarySource window;
        window.from = QStringLiteral("mto b");
        window.dayColumn = QStringLiteral("b.transdate");
        window.scripColumn = QStringLiteral("b.scriptcode");
        window.groupBy = QStringList{QStringLiteral("b.scriptcode")};
        window.first = from;
        window.last = to;
        const Sql select = Sql(form.selectList + fillers(1) + QStringLiteral(" from mto a,")) +
                           summaryTable(context.db, QStringLiteral("window"), form.windowColumns, window) +
                           " as b,scripmaster where srno = a.scriptcode and a.transdate = " +
                           Sql::value(state.firstDate) + Sql(condition) + scripFilterOnDayRows(state) + rangeCondition +
                           state.groupFilter + Sql(form.order + QStringLiteral(",Company"));
        return BranchResult::result(select);
    };
}

// The day's sums of one group: turnover and delivery value in crores on
// each exchange and on both.
QString groupDaySums()
{
    return QStringLiteral(
        "round((sum(nsetrdqty * nseclprice)/10000000),2)  as [NSE Total TurnOver In Crs],"
        "round((sum(nsedelyqty * nseclprice)/10000000),2)  as [NSE Total Dely Val In Crs],"
        "round((sum(bsetrdqty * bseclprice)/10000000),2) as [BSE Total TurnOver In Crs],"
        " round((sum(bsedelyqty * bseclprice)/10000000),2)  as [BSE Total Dely Val In Crs],"
        "round((sum(nsetrdqty * nseclprice)/10000000),2)+round((sum(bsetrdqty * bseclprice)/10000000),2)"
        "  as [Total TurnOver In Crs],"
        "round((sum(nsedelyqty * nseclprice)/10000000),2)+round((sum(bsedelyqty * bseclprice)/10000000),2)"
        "  as [Total Dely Val In Crs]");
}

// "<figure>, its change against <average> in %" of the result list.
QString figureAndChange(const char* figure, const char* average, const char* change)
{
    return QStringLiteral("[%1],round(((([%1] * 100) / iif([%2]>0,[%2],1)) - 100 ),2) as [%3]")
        .arg(QLatin1String(figure), QLatin1String(average), QLatin1String(change));
}

// Every group with member scrips traded on the first date and in the window
// of the N trading days before it: its day sums, their change against the
// window's average of the daily sums, and those averages.
BranchResult groupwiseDeliveryStatistics(RunContext& context)
{
    RunState& state = context.state;
    const int n = state.count;
    state.secondDate = state.previousTradingDay();
    state.thirdDate = state.tradingDayBefore(n);

    const QString members =
        QStringLiteral(" groupmaster.GroupCode = LinkDetails.grpCode And LinkDetails.ScrCode = mto.ScriptCode ");
    SummarySource window;
    window.from = QStringLiteral("mto, groupmaster, LinkDetails");
    window.dayColumn = QStringLiteral("TransDate");
    window.scripColumn = QStringLiteral("mto.ScriptCode");
    window.first = state.thirdDate;
    window.last = state.secondDate;
    window.condition = Sql(QStringLiteral(" and ") + members);
    window.groupBy = QStringList{QStringLiteral("groupmaster.groupname"), QStringLiteral("TransDate")};
    const QString windowList = QStringLiteral("groupmaster.GroupName,transdate, ") + groupDaySums();
    // A group's day sums add its scrips in code order. Where two groups
    // share a name their scrips are added group after group, which the one
    // pass does not copy: there the statement runs.
    Sql windowDays;
    if (context.db.query(QStringLiteral("SELECT 1 FROM groupmaster GROUP BY GroupName HAVING count(*) > 1 LIMIT 1")).isEmpty()) {
        window.scripJoin = SummarySource::ScripJoin{
            QStringLiteral("groupmaster.groupname"),
            Sql("select LinkDetails.ScrCode, groupmaster.GroupName from groupmaster, LinkDetails"
                " where groupmaster.GroupCode = LinkDetails.grpCode order by LinkDetails.ScrCode, groupmaster.rowid"),
            QStringLiteral("mto"), Sql()};
        windowDays = summaryTable(context.db, QStringLiteral("daily"), windowList, window) + " as daily";
    } else {
        windowDays = Sql("(") + summaryStatement(windowList, window) + ") as daily";
    }
    const Sql windowAverages = Sql("(select groupname as AvgGroupName,"
                                   "avg( [NSE Total TurnOver In Crs])  as  [Avg NSE Total TurnOver In Crs],"
                                   "avg( [NSE Total Dely Val In Crs]) as  [Avg NSE Total Dely Val In Crs],"
                                   " avg( [BSE Total TurnOver In Crs]) as  [Avg BSE Total TurnOver In Crs],"
                                   "avg( [BSE Total Dely Val In Crs]) as  [Avg BSE Total Dely Val In Crs],"
                                   "avg([Total TurnOver In Crs]) as [Avg Total TurnOver In Crs],"
                                   "avg([Total Dely Val In Crs]) as [Avg Total Dely Val In Crs] from ") +
                               windowDays + " group by groupname) as average";
    const Sql day =
        Sql(QStringLiteral("(SELECT groupmaster.GroupName,transdate,") + groupDaySums() +
            QStringLiteral(",min( [Avg NSE Total TurnOver In Crs]) as [AvgNSE Total TurnOver In Crs],"
                           "min([Avg NSE Total Dely Val In Crs]) as [AvgNSE Total Dely Val In Crs],"
                           "min( [Avg BSE Total TurnOver In Crs]) as [AvgBSE Total TurnOver In Crs],"
                           "min( [Avg BSE Total Dely Val In Crs]) as  [AvgBSE Total Dely Val In Crs],"
                           "min( [Avg Total TurnOver In Crs]) as  [AvgTotal TurnOver In Crs],"
                           "min( [Avg Total Dely Val In Crs]) as [AvgTotal Dely Val In Crs]"
                           " From mto, groupmaster, LinkDetails,")) +
        windowAverages + " Where TransDate = " + Sql::value(state.firstDate) +
        Sql(QStringLiteral(" And") + members +
            QStringLiteral(
                "And groupmaster.groupname = avggroupname group by groupmaster.groupname, TransDate) as today"));

    const QString resultList =
        QStringLiteral("select GroupName,") +
        figureAndChange("NSE Total TurnOver In Crs", "AvgNSE Total TurnOver In Crs", "NSETO Chg%") + QLatin1Char(',') +
        figureAndChange("NSE Total Dely Val In Crs", "AvgNSE Total Dely Val In Crs", "NSEDely Chg%") +
        QLatin1Char(',') + figureAndChange("BSE Total TurnOver In Crs", "AvgBSE Total TurnOver In Crs", "BSETO Chg%") +
        QLatin1Char(',') +
        figureAndChange("BSE Total Dely Val In Crs", "AvgBSE Total Dely Val In Crs", "BSEDely Chg%") +
        QLatin1Char(',') + figureAndChange("Total TurnOver In Crs", "AvgTotal TurnOver In Crs", "TotalTO Chg%") +
        QLatin1Char(',') + figureAndChange("Total Dely Val In Crs", "AvgTotal Dely Val In Crs", "TotalDely Chg%") +
        QStringLiteral(
            ",[AvgNSE Total TurnOver In Crs],[AvgNSE Total Dely Val In Crs],[AvgBSE Total TurnOver In Crs],"
            "[AvgBSE Total Dely Val In Crs],[AvgTotal TurnOver In Crs],[AvgTotal Dely Val In Crs] from ");
    context.db.dropIfExists(QStringLiteral("avggroup"));
    return BranchResult::result(Sql(resultList) + day + " order by GroupName");
}

}  // namespace

void registerWindowBranches(BranchRegistry& registry)
{
    registry.add(QStringLiteral("Rate Above/Below High/Low"), windowBranch(RateHighLow));
    registry.add(QStringLiteral("Volume Above/Below High/Low"), windowBranch(VolumeHighLow));
    registry.add(QStringLiteral("Delivery Above/Below High/Low"), windowBranch(DeliveryHighLow));
    registry.add(QStringLiteral("Rate Change in % Over n Days"), windowBranch(RateChange));
    registry.add(QStringLiteral("Groupwise Delivery Statistics Over n days"), groupwiseDeliveryStatistics);
}

}  // namespace query
