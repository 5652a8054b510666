// Market breadth of one trading day: the value totals of the scrips whose
// close moved one way against an earlier day, the top scrips by delivery
// value among those that rose (or fell), and the count of scrips in bands of
// delivery change against the average delivery.

#include "query/breadthbranches.h"

#include "query/abnormalbranches.h"
#include "query/branch.h"
#include "query/jettop.h"
#include "query/windowsummary.h"
#include "query/worktable.h"
#include "store/database.h"

#include <optional>

namespace query {

namespace {

const QString kDayTable = QStringLiteral("QueryResult1");
const QString kAverageTable = QStringLiteral("ttemp");

enum class Move { Up, Down, Unchanged };

// The value totals of one exchange's column. The falling BSE form shows its
// first three totals as text with two decimals.
QString valueTotals(bool firstThreeAsText)
{
    auto total = [](const char* product) {
        return QStringLiteral("round((sum(%1)/10000000),2)").arg(QString::fromLatin1(product));
    };
    auto shown = [&](const char* product) {
        return firstThreeAsText ? QStringLiteral("format2(%1)").arg(total(product)) : total(product);
    };
    return QStringLiteral("select mto.TransDate As TradingDate,") + shown("mto.nsetrdqty * mto.nseclprice") +
           QStringLiteral(" as [NSE Total TurnOver In Crs],") + shown("mto.nsedelyqty * mto.nseclprice") +
           QStringLiteral(" as [NSE Total Dely Val In Crs],") + shown("mto.bsetrdqty * mto.bseclprice") +
           QStringLiteral(" as [BSE Total TurnOver In Crs],") + total("mto.bsedelyqty * mto.bseclprice") +
           QStringLiteral(" as [BSE Total Dely Val In Crs],") + total("mto.nsetrdqty * mto.nseclprice") + QLatin1Char('+') +
           total("mto.bsetrdqty * mto.bseclprice") + QStringLiteral(" as [Total TurnOver In Crs],") +
           total("mto.nsedelyqty * mto.nseclprice") + QLatin1Char('+') + total("mto.bsedelyqty * mto.bseclprice") +
           QStringLiteral(" as [Total Dely Val In Crs]") + fillers(4);
}

QString comparison(Move move)
{
    return move == Move::Up ? QStringLiteral(">") : move == Move::Down ? QStringLiteral("<") : QStringLiteral("=");
}

// The scrip filter on the day's rows: the day table is joined with itself,
// so its scrip code is named through the day's table.
Sql scripFilterOnDay(const RunState& state)
{
    Sql filter = state.scripFilter;
    filter.text.replace(QStringLiteral(" and scriptcode in ("), QStringLiteral(" and mto.scriptcode in ("));
    return filter;
}

// "Total Delivery Value for the ... scrips": one row of value totals of the
// scrips whose close on the exchange moved `move` from the N-th trading day
// counted from the first date (N = 1 is the first date itself). An N past the
// oldest stored day is refused, never answered from the second date box.
Branch totalDeliveryValueBranch(Move move)
{
    return [move](RunContext& context) {
        RunState& state = context.state;
        if (state.exchange == Exchange::Combined)
            throw Refusal(refusals::optionNotAllowed(), ui::Icon::Critical);
        const QDate secondDate = state.tradingDayBefore(state.count - 1);
        const QString close = state.exchange == Exchange::Nse ? QStringLiteral("nseclprice") : QStringLiteral("bseclprice");
        const bool asText = move == Move::Down && state.exchange == Exchange::Bse;
        return BranchResult::result(
            Sql(valueTotals(asText)) + " from mto, mto b where mto.TransDate = " + Sql::value(state.firstDate) +
            " and b.transdate = " + Sql::value(secondDate) +
            Sql(QStringLiteral(" and mto.ScriptCode = b.scriptcode and mto.%1 %2 b.%1 ").arg(close, comparison(move))) +
            scripFilterOnDay(state) +
            state.andRangeCondition(MeasureColumns::ofMto(state.exchange, QStringLiteral("mto"))) + state.groupFilter +
            " group by mto.TransDate order by mto.TransDate desc ");
    };
}

// The heading of the day's delivery value on each exchange.
QString valueHeading(Exchange exchange)
{
    switch (exchange) {
    case Exchange::Nse:
        return QStringLiteral("NSE TurnOver In Crs");
    case Exchange::Bse:
        return QStringLiteral("BSE TurnOver In Crs");
    case Exchange::Combined:
        break;
    }
    return QStringLiteral("TurnOver In Crs");
}

// Sets the window end (the number box counts the trading days before the
// first date) and the previous trading day, then makes the averages of the
// window per scrip and the day table of the group's scrips that traded on the
// first date and the day before, with `move` applied to their closes when set.
void makeDayAgainstAverage(RunContext& context, std::optional<Move> move)
{
    RunState& state = context.state;
    state.secondDate = state.tradingDayBefore(state.count);
    state.fifthDate = state.previousTradingDay();

    SummarySource window;
    window.first = state.secondDate;
    window.last = state.firstDate;
    Sql dayList;
    QString priceCondition;
    QString listedCondition;
    if (state.exchange == Exchange::Combined) {
        remakeSummaryTable(context.db, kAverageTable,
                           QStringLiteral("SELECT scriptcode,round(avg(nsedelyqty+bsedelyqty),0) as AvgDelyQty, "
                                          "round(avg(iif(nseclprice>0,nseclprice,bseclprice)),2) as AvgRate"),
                           window);
        dayList = Sql(
            "select company as Stock,(a.nsedelyqty+a.bsedelyqty) as DelyQty,b.AvgDelyQty as AvgDelyQty,"
            "round((((a.nsedelyqty+a.bsedelyqty) * 100) / iif(b.avgdelyqty>0,b.avgdelyqty,1))-100,2) as [% Chg],"
            "round(iif(a.nseclprice>0,a.nseclprice,a.bseclprice),2) as rate,"
            "round(iif(y.nseclprice>0,y.nseclprice,y.bseclprice),2) as [PrevDay Rate],"
            "round(((iif(a.nseclprice>0,a.nseclprice,a.bseclprice)*100)/iif(y.nseclprice>0,y.nseclprice,y.bseclprice))-100,2)"
            " as [% RateChg],"
            "round((((a.nsedelyqty+a.bsedelyqty) * iif(a.nseclprice>0,a.nseclprice,a.bseclprice))/10000000),2)"
            " as [TurnOver In Crs]");
        if (move)
            priceCondition = QStringLiteral(" and iif(a.nseclprice>0,a.nseclprice %1 y.nseclprice,a.bseclprice %1 y.bseclprice)")
                                 .arg(comparison(*move));
    } else {
        const QString x = state.exchange == Exchange::Nse ? QStringLiteral("nse") : QStringLiteral("bse");
        remakeSummaryTable(context.db, kAverageTable,
                           QStringLiteral("SELECT scriptcode,round(avg(%1delyqty),0) as AvgDelyQty, "
                                          "round(avg(%1clprice),2) as AvgClPrice")
                               .arg(x),
                           window);
        dayList = Sql(QStringLiteral("select company as Stock,a.%1delyqty as DelyQty,b.AvgDelyQty as AvgDelyQty,"
                                     "round(((a.%1delyqty * 100) / iif(b.avgdelyqty>0,b.avgdelyqty,1))-100,2) as [% Chg],"
                                     "a.%1clprice as rate,y.%1clprice as [PrevDay Rate],"
                                     "round(((a.%1clprice*100)/iif(y.%1clprice>0,y.%1clprice,1))-100,2) as [% RateChg],"
                                     "round(((a.%1delyqty * a.%1clprice)/10000000),2) as %2")
                          .arg(x, store::quoteIdentifier(valueHeading(state.exchange))));
        if (move)
            priceCondition = QStringLiteral(" and a.%1clprice %2 y.%1clprice").arg(x, comparison(*move));
        // A scrip without a BSE code has no BSE figures to rank or count.
        if (state.exchange == Exchange::Bse)
            listedCondition = QStringLiteral(" and trim(coalesce(a.BSEScriptCode,'')) <> ''");
    }
    remakeTable(context.db, kDayTable,
                dayList + " from mto a,ttemp b,mto y,scripmaster where b.avgdelyqty > 0" + priceCondition +
                    listedCondition + " and a.TransDate = " + Sql::value(state.firstDate) + " and y.TransDate = " +
                    Sql::value(state.fifthDate) +
                    " and a.scriptcode= b.scriptcode and a.scriptcode = scripmaster.srno and a.scriptcode = y.scriptcode" +
                    linkedToChosenGroup(state, QStringLiteral("a.scriptcode")));
}

// "Stocks by Delivery Value ( price has gone up/down )": the 40 scrips with
// the highest delivery value of the day (more when several tie for the 40th).
Branch stocksByDeliveryValueBranch(Move move)
{
    return [move](RunContext& context) {
        makeDayAgainstAverage(context, move);
        const QString value = valueHeading(context.state.exchange);
        QList<ResultColumn> columns;
        for (const char* heading : {"Stock", "DelyQty", "AvgDelyQty", "% Chg"})
            columns.append({store::quoteIdentifier(QString::fromLatin1(heading)), QString::fromLatin1(heading)});
        columns.append({QStringLiteral("rate"), QStringLiteral("Rate")});
        for (const QString& heading : {QStringLiteral("PrevDay Rate"), QStringLiteral("% RateChg"), value})
            columns.append({store::quoteIdentifier(heading), heading});
        columns += fillerColumns(2);
        return BranchResult::result(
            jetTop(40, columns, Sql(" from QueryResult1"), store::quoteIdentifier(value), true, QStringLiteral("Stock")));
    };
}

// One row of the market strength count: its band text and the condition on
// the delivery change against the average and on the price change.
struct StrengthBand {
    bool up;
    const char* band;
    const char* condition;
};

// Every scrip whose delivery is at or above its average and whose close moved
// counts in exactly one band: an edge value belongs to the higher band.
const StrengthBand kStrengthBands[] = {
    {true, "atleast 160 %", "[% chg] > 160 and [% ratechg] > 0"},
    {true, "120 % to 160 %", "[% chg] >= 120 and [% chg] <= 160 and [% ratechg] > 0"},
    {true, "100 % to 120 %", "[% chg] >= 100 and [% chg] < 120 and [% ratechg] > 0"},
    {true, "70 % to 100 %", "[% chg] >= 70 and [% chg] < 100 and [% ratechg] > 0"},
    {true, "less than 70 %", "[% chg] >= 0 and [% chg] < 70 and [% ratechg] > 0"},
    {false, "atleast 140 %", "[% chg] > 140 and [% ratechg] < 0"},
    {false, "100 % to 140 %", "[% chg] >= 100 and [% chg] <= 140 and [% ratechg] < 0"},
    {false, "80 % to 100 %", "[% chg] >= 80 and [% chg] < 100 and [% ratechg] < 0"},
    {false, "60 % to 80 %", "[% chg] >= 60 and [% chg] < 80 and [% ratechg] < 0"},
    {false, "less than 60 %", "[% chg] >= 0 and [% chg] < 60 and [% ratechg] < 0"},
};

// "Market Strength": how many scrips of the group rose (or fell) with their
// delivery above the average by each band; the row texts name the number of
// days as the user typed it.
BranchResult marketStrength(RunContext& context)
{
    makeDayAgainstAverage(context, std::nullopt);
    const QString days = context.inputs.numberText;
    Sql select;
    bool first = true;
    for (const auto& band : kStrengthBands) {
        const QString text = QStringLiteral("No. of Stocks where the price has gone %1 and the delivery > avg delivery ( %2 days) by %3")
                                 .arg(band.up ? QStringLiteral("up") : QStringLiteral("down"), days,
                                      QString::fromLatin1(band.band));
        if (!first)
            select += " Union All ";
        select += Sql("SELECT ") + Sql::value(text);
        if (first)
            select += Sql(QStringLiteral(" as Condition, count(*) as %1, space(1) as %2")
                              .arg(store::quoteIdentifier(QStringLiteral("Count") + QChar(0x00A0)),
                                   store::quoteIdentifier(QString(QChar(0x00A0)))));
        else
            select += ", count(*), space(1)";
        select += Sql(QStringLiteral(" From queryresult1 where %1").arg(QString::fromLatin1(band.condition)));
        first = false;
    }
    return BranchResult::result(select);
}

}  // namespace

void registerBreadthBranches(BranchRegistry& registry)
{
    registry.add(QStringLiteral("Total Delivery Value for the rising scrips"), totalDeliveryValueBranch(Move::Up));
    registry.add(QStringLiteral("Total Delivery Value for the falling scrips"), totalDeliveryValueBranch(Move::Down));
    registry.add(QStringLiteral("Total Delivery Value for the unchanged scrips"), totalDeliveryValueBranch(Move::Unchanged));
    registry.add(QStringLiteral("Stocks by Delivery Value ( price has gone up )"), stocksByDeliveryValueBranch(Move::Up));
    registry.add(QStringLiteral("Stocks by Delivery Value ( price has gone down )"), stocksByDeliveryValueBranch(Move::Down));
    registry.add(QStringLiteral("Market Strength"), marketStrength);
}

}  // namespace query
