// Breakouts and delivery runs: each scrip's trading day against its own
// recent past. The four breakouts compare the day's delivery or volume with
// its average over the N trading days before, the abnormal queries with the
// previous day, the three-day queries with the three days before, and the
// three-months queries with the highest or lowest day of a long window.

#include "query/breakoutbranches.h"

#include "query/branch.h"
#include "query/windowsummary.h"
#include "query/worktable.h"

#include <QList>
#include <algorithm>

namespace query {

Sql qualifiedScripFilter(const Sql& scripFilter, const QString& alias)
{
    Sql qualified = scripFilter;
    qualified.text.replace(QLatin1String("scriptcode"), alias + QLatin1String(".scriptcode"), Qt::CaseInsensitive);
    return qualified;
}

namespace {

using store::Column;
using store::ColumnKind;

// Dates of a window in ascending order, for BETWEEN.
Sql between(const QDate& one, const QDate& other)
{
    return Sql(" between ") + Sql::value(std::min(one, other)) + " and " + Sql::value(std::max(one, other));
}

// The mto rows between two days (either order), named `alias` when given,
// summed up per scrip.
SummarySource window(const QDate& one, const QDate& other, const QString& alias = {})
{
    SummarySource source;
    source.first = one;
    source.last = other;
    source.groupBy = QStringList{QStringLiteral("scriptcode")};
    source.scripColumn = QStringLiteral("scriptcode");
    source.dayColumn = QStringLiteral("TransDate");
    if (!alias.isEmpty())
        source.from = QStringLiteral("mto ") + alias;
    return source;
}

// Membership of the chosen group, tested on `scripColumn`. These queries apply
// the group always, "ALL" included (its membership lists every scrip); only a
// run without any group has no restriction.
Sql memberOfGroup(const RunState& state, const QString& scripColumn)
{
    if (state.groupCode.isEmpty())
        return {};
    return Sql(" And Exists(Select ScrCode From LinkDetails Where GrpCode = ") + Sql::value(state.groupCode) +
           Sql(QStringLiteral(" And LinkDetails.ScrCode = %1)").arg(scripColumn));
}

// The percentage change of `later` over `earlier`, 2 places, an earlier value
// not above 0 counting as 1.
QString change(const QString& later, const QString& earlier)
{
    return QStringLiteral("round(((%1 * 100) / iif(%2>0,%2,1)) -100,2)").arg(later, earlier);
}

// The same, 0 unless both values are above 0.
QString guardedChange(const QString& later, const QString& earlier)
{
    return QStringLiteral("iif(%1>0 and %2>0,round((((%1 * 100) / iif(%2>0,%2,1))-100),2),0)").arg(later, earlier);
}

// --- breakouts over the average of the last N trading days -------------------

// The figures of the day's row (`mto`), the previous day's row (`y`) and the
// window's rows (unqualified) on the chosen exchange.
struct BreakoutFigures {
    QString delivery, volume, price, previousPrice, windowDelivery, windowVolume, priceChange;
    QString bothPricesPositive;  // the upward delivery breakout's guard
};

BreakoutFigures breakoutFigures(Exchange exchange)
{
    BreakoutFigures f;
    if (exchange == Exchange::Combined) {
        f.delivery = QStringLiteral("(mto.nsedelyqty+mto.bsedelyqty)");
        f.volume = QStringLiteral("(mto.nsetrdqty+mto.bsetrdqty)");
        f.price = QStringLiteral("iif(mto.nseclprice>0,mto.nseclprice,mto.bseclprice)");
        f.previousPrice = QStringLiteral("iif(y.nseclprice>0,y.nseclprice,y.bseclprice)");
        f.windowDelivery = QStringLiteral("nseDELYQTY+bsedelyqty");
        f.windowVolume = QStringLiteral("nseTRDQTY+bsetrdqty");
        // No guard on the combined previous close: a day without any close on
        // either exchange gives no change at all (an empty value).
        f.priceChange = QStringLiteral("round(((%1 * 100) / %2) -100,2)").arg(f.price, f.previousPrice);
        f.bothPricesPositive = QStringLiteral("y.nseclprice > 0 and mto.nseclprice > 0");
        return f;
    }
    const QString x = exchange == Exchange::Nse ? QStringLiteral("nse") : QStringLiteral("bse");
    f.delivery = QStringLiteral("mto.%1delyqty").arg(x);
    f.volume = QStringLiteral("mto.%1trdqty").arg(x);
    f.price = QStringLiteral("mto.%1clprice").arg(x);
    f.previousPrice = QStringLiteral("y.%1clprice").arg(x);
    f.windowDelivery = x + QStringLiteral("DELYQTY");
    f.windowVolume = x + QStringLiteral("TRDQTY");
    f.priceChange = change(f.price, f.previousPrice);
    f.bothPricesPositive = QStringLiteral("%1 > 0 and %2 > 0").arg(f.price, f.previousPrice);
    return f;
}

// Sets the previous trading day and the window start N trading days back.
void setBreakoutWindow(RunState& state)
{
    state.secondDate = state.previousTradingDay();
    state.thirdDate = state.tradingDayBefore(state.count);
}

// The breakout threshold in per cent: the second number box as read.
Sql threshold(const RunState& state)
{
    return Sql::value(state.number2);
}

Branch deliveryBreakout(bool upward)
{
    return [upward](RunContext& context) {
        RunState& state = context.state;
        setBreakoutWindow(state);
        const BreakoutFigures f = breakoutFigures(state.exchange);

        const QList<Column> columns{{QStringLiteral("Stock"), ColumnKind::Text},
                                    {QStringLiteral("Todays Dely"), ColumnKind::Real},
                                    {QStringLiteral("10 Days Avg Dely"), ColumnKind::Real},
                                    {QStringLiteral("%ChgInDely"), ColumnKind::Real},
                                    {QStringLiteral("Todays Vol"), ColumnKind::Real},
                                    {QStringLiteral("Todays Price"), ColumnKind::Real},
                                    {QStringLiteral("YDay Price"), ColumnKind::Real},
                                    {QStringLiteral("%ChgInPrice"), ColumnKind::Real}};
        // The scrip and range filters name the day's row: the window and the
        // previous day carry the same columns.
        const Sql select =
            Sql(QStringLiteral("select Company,%1,round(a.avgdelyqty,0),%2,%3,%4,%5,%6"
                               " from mto ,mto y,scripmaster, ")
                    .arg(f.delivery, change(f.delivery, QStringLiteral("a.avgdelyqty")), f.volume, f.price,
                         f.previousPrice, f.priceChange)) +
            summaryTable(context.db, QStringLiteral("avgdely"),
                         QStringLiteral("scriptcode,round(AVG(%1),2) as AvgDelyQty").arg(f.windowDelivery),
                         window(state.secondDate, state.thirdDate)) +
            " a " +
            " where scripmaster.srno = mto.scriptcode" +
            (upward ? Sql(QStringLiteral(" and ") + f.bothPricesPositive) : Sql()) +
            " and mto.scriptcode = a.scriptcode and mto.TransDate = " + Sql::value(state.firstDate) +
            " and y.TransDate = " + Sql::value(state.secondDate) + " and mto.scriptcode = y.scriptcode" +
            qualifiedScripFilter(state.scripFilter, QStringLiteral("mto")) +
            state.andRangeCondition(MeasureColumns::ofMto(state.exchange, QStringLiteral("mto"))) + state.groupFilter;
        remakeWorkTable(context.db, QStringLiteral("tqr"), columns, select);

        const QString priceTest = upward ? QStringLiteral("[Todays Price]>[Yday Price]") : QStringLiteral("[Todays Price]<[Yday Price]");
        const QString yesterday = upward ? QStringLiteral("[YDay Price]") : QStringLiteral("[YDay Price] as [Yday Price]");
        return BranchResult::result(
            Sql(QStringLiteral("select Stock,[Todays Dely],[10 Days Avg Dely],[%ChgInDely],[Todays Vol],[Todays Price],%1,"
                               "[%ChgInPrice] from tqr where %2 and [10 Days Avg Dely] >0 and [Yday Price] > 0"
                               " and [%ChgInDely] > ")
                    .arg(yesterday, priceTest)) +
            threshold(state) + " order by tqr.[%ChgInDely] desc, Stock");
    };
}

Branch volumeBreakout(bool upward)
{
    return [upward](RunContext& context) {
        RunState& state = context.state;
        setBreakoutWindow(state);
        const BreakoutFigures f = breakoutFigures(state.exchange);

        // One exchange: the price may not move against the breakout's
        // direction and the day must have traded. Both exchanges: no such test
        // here; the final select keeps the direction.
        QString dayTests;
        if (state.exchange != Exchange::Combined)
            dayTests = QStringLiteral(" and %1 %2 %3").arg(f.price, upward ? QStringLiteral(">=") : QStringLiteral("<="), f.previousPrice);
        const QString tradedTest =
            state.exchange == Exchange::Combined ? QString() : QStringLiteral(" and %1 > 0").arg(f.volume);

        const QList<Column> columns{{QStringLiteral("Stock"), ColumnKind::Text},
                                    {QStringLiteral("Todays Vol"), ColumnKind::Real},
                                    {QStringLiteral("10 Days Avg Vol"), ColumnKind::Real},
                                    {QStringLiteral("%ChgInVol"), ColumnKind::Real},
                                    {QStringLiteral("Todays Price"), ColumnKind::Real},
                                    {QStringLiteral("YDay Price"), ColumnKind::Real},
                                    {QStringLiteral("%ChgInPrice"), ColumnKind::Real}};
        const Sql select =
            Sql(QStringLiteral("select company,%1,a.avgvol,%2,%3,%4,%5"
                               " from mto ,mto y, ")
                    .arg(f.volume, change(f.volume, QStringLiteral("a.avgvol")), f.price, f.previousPrice, f.priceChange)) +
            summaryTable(context.db, QStringLiteral("avgvol"),
                         QStringLiteral("mtoavg.scriptcode,round(AVG(%1),2) as AvgVol").arg(f.windowVolume),
                         window(state.secondDate, state.thirdDate, QStringLiteral("mtoavg"))) +
            " a ,scripmaster" +
            " where scripmaster.srno = mto.scriptcode and mto.scriptcode = a.scriptcode and mto.TransDate = " +
            Sql::value(state.firstDate) + " and y.TransDate = " + Sql::value(state.secondDate) +
            Sql(QStringLiteral(" and mto.scriptcode = Y.scriptcode") + dayTests) + state.groupFilter + Sql(tradedTest);
        remakeWorkTable(context.db, QStringLiteral("tqr"), columns, select);

        // The downward list heads its filler with a plain blank, not the
        // no-break space of every other list.
        return BranchResult::result(
            Sql(QStringLiteral("Select Stock,[Todays Vol],[10 Days Avg Vol],[%ChgInVol],[Todays Price],[YDay Price],"
                               "[%ChgInPrice]") +
                (upward ? fillers(1) : QStringLiteral(",space(1) as ' '")) + QStringLiteral(" from tqr where [%ChgInPrice] ") +
                (upward ? QStringLiteral("> 0") : QStringLiteral("< 0")) + QStringLiteral(" and [%ChgInVol] > ")) +
            threshold(state) + " order by tqr.[%ChgInVol] desc, Stock");
    };
}

// --- the day against the previous day ----------------------------------------

Branch abnormalDelivery(bool rise)
{
    return [rise](RunContext& context) {
        RunState& state = context.state;
        state.secondDate = state.previousTradingDay();
        const QString deliveryChange =
            QStringLiteral("round((((tdelyqty * 100) / iif(ydelyqty>0,ydelyqty,1)) - 100),2)");
        Sql select =
            Sql(QStringLiteral(" SELECT ScripMaster.nsescrip as Symbol,a.tdelyqty as DeliveryQty,%1 as [% chg In Delivery],"
                               " a.nseclprice as Price,%2 As [% Ratechg]"
                               " From ( select scriptcode, (nsedelyqty + bsedelyqty) as Tdelyqty, nseclprice from mto"
                               " where transdate = ")
                    .arg(guardedChange(QStringLiteral("tdelyqty"), QStringLiteral("ydelyqty")),
                         guardedChange(QStringLiteral("a.NSEClPrice"), QStringLiteral("b.NSEClPrice")))) +
            Sql::value(state.firstDate) +
            ") as a, ( select scriptcode, (nsedelyqty + bsedelyqty) as Ydelyqty,nseclprice from mto where transdate = " +
            Sql::value(state.secondDate) + ") as b, scripmaster Where a.ScriptCode = b.ScriptCode And srno = a.ScriptCode" +
            (rise ? Sql() : Sql(" and tdelyqty > 0 and ydelyqty > 0 and tdelyqty < ydelyqty")) +
            memberOfGroup(state, QStringLiteral("a.scriptcode"));
        // The rise reaches the typed percentage; the fall goes down by at
        // least the typed percentage.
        if (rise)
            select += Sql(QStringLiteral(" and ") + deliveryChange + QStringLiteral(" >= ")) + Sql::value(state.number) +
                      Sql(QStringLiteral(" order by ") + deliveryChange + QStringLiteral(" desc, Symbol"));
        else
            select += Sql(QStringLiteral(" and ") + deliveryChange + QStringLiteral(" < 0 and ") + deliveryChange +
                          QStringLiteral(" <= ")) +
                      Sql::value(-state.number) +
                      Sql(QStringLiteral(" order by ") + deliveryChange + QStringLiteral(", Symbol"));
        return BranchResult::result(select);
    };
}

// --- three days in a row ------------------------------------------------------

Branch deliveryOverThreeDays(bool rise)
{
    return [rise](RunContext& context) {
        RunState& state = context.state;
        state.secondDate = state.previousTradingDay();
        state.sixthDate = state.tradingDayBefore(2);
        state.seventhDate = state.tradingDayBefore(3);

        const QList<Column> columns{{QStringLiteral("srno"), ColumnKind::Integer},
                                    {QStringLiteral("company"), ColumnKind::Text},
                                    {QStringLiteral("NSEDelyQty"), ColumnKind::Real},
                                    {QStringLiteral("BSEDelyQty"), ColumnKind::Real},
                                    {QStringLiteral("TransDate"), ColumnKind::Date},
                                    {QStringLiteral("totaldely"), ColumnKind::Real},
                                    {QStringLiteral("ClosePrice"), ColumnKind::Real}};
        Sql days = Sql("SELECT srno, ScripMaster.nsescrip, MTO.NSEDelyQty, MTO.BSEDelyQty, MTO.TransDate,"
                       " MTO.NSEDelyQty+ MTO.BSEDelyQty, mto.nseclprice");
        if (state.groupCode.isEmpty())
            days += " FROM ScripMaster INNER JOIN MTO ON ScripMaster.srno = MTO.ScriptCode WHERE 1=1";
        else
            days += Sql(" FROM (GroupMaster INNER JOIN LinkDetails ON GroupMaster.GroupCode = LinkDetails.GrpCode)"
                        " INNER JOIN (ScripMaster INNER JOIN MTO ON ScripMaster.srno = MTO.ScriptCode)"
                        " ON LinkDetails.ScrCode = ScripMaster.srno WHERE groupMaster.GroupCode=") +
                    Sql::value(state.groupCode);
        days += Sql(" AND MTO.TransDate") + between(state.firstDate, state.seventhDate);
        remakeWorkTable(context.db, QStringLiteral("Tdely"), columns, days);

        const QString priceWord = rise ? QStringLiteral("Price") : QStringLiteral("closeprice");
        QStringList list{QStringLiteral("a.company as Symbol"), QStringLiteral("d.totaldely as TodaysDelivery")};
        const char* pairs[3][2] = {{"d", "c"}, {"c", "b"}, {"b", "a"}};
        for (int i = 0; i < 3; ++i)
            list.append(guardedChange(QStringLiteral("%1.totaldely").arg(QLatin1String(pairs[i][0])),
                                      QStringLiteral("%1.totaldely").arg(QLatin1String(pairs[i][1]))) +
                        QStringLiteral(" as [%1 Day % Chg in Del Qty]").arg(i + 1));
        for (int i = 0; i < 3; ++i)
            list.append(guardedChange(QStringLiteral("%1.ClosePrice").arg(QLatin1String(pairs[i][0])),
                                      QStringLiteral("%1.ClosePrice").arg(QLatin1String(pairs[i][1]))) +
                        QStringLiteral(" as [%1 Day % Chg in %2]").arg(i + 1).arg(priceWord));
        const QString step = rise ? QStringLiteral(">") : QStringLiteral("<");
        const QString order = QStringLiteral("round((((d.totaldely * 100) / iif(c.totaldely > 0,c.totaldely,1) - 100)),2)");
        return BranchResult::result(
            Sql(QStringLiteral("SELECT ") + list.join(QLatin1Char(',')) +
                QStringLiteral(" from tdely a,tdely b,tdely c,tdely d"
                               " where a.srno = b.srno and a.srno = c.srno and a.srno = d.srno and a.TransDate = ")) +
            Sql::value(state.seventhDate) + " And b.TransDate = " + Sql::value(state.sixthDate) +
            " And c.TransDate = " + Sql::value(state.secondDate) + " And d.TransDate = " + Sql::value(state.firstDate) +
            Sql(QStringLiteral(" And d.totaldely %1 c.totaldely And c.totaldely %1 b.totaldely And b.totaldely %1 a.totaldely"
                               " order by %2%3, Symbol")
                    .arg(step, order, rise ? QStringLiteral(" desc") : QString())));
    };
}

// --- the day against the last three months -----------------------------------

Branch threeMonthsDelivery(bool high)
{
    return [high](RunContext& context) {
        RunState& state = context.state;
        state.secondDate = state.previousTradingDay();
        // The window's far end is the second date box as chosen.
        const QDate windowEnd = context.inputs.secondDate;
        if (!windowEnd.isValid())
            throw Refusal(refusals::selectValidDate());
        const QString deliveryChange = QStringLiteral("round((((mto.Todaydely * 100) / iif(maxdely>0,maxdely,1))-100),2)");
        return BranchResult::result(
            Sql(QStringLiteral(" select ScripMaster.nsescrip as nsescrip,TodayDely as TodayDely,a.maxdely as %1,"
                               " iif(a.maxdely > 0 And mto.Todaydely > 0, Round((((mto.Todaydely * 100) / iif(maxdely > 0, maxdely, 1)) - 100), 2), 0) As [DelyChg%],"
                               "TodaysPrice as TodaysPrice,round( AvgPrice,2) as AvgPrice,"
                               " iif(a.avgprice > 0 And mto.Todaysprice  > 0, Round((((mto.Todaysprice * 100) / iif(avgprice > 0, avgprice, 1)) - 100), 2), 0) As [RateChg%],")
                    .arg(high ? QStringLiteral("maxdely") : QStringLiteral("LowDely")) +
                filler(3) + QStringLiteral(" from ")) +
            summaryTable(context.db, QStringLiteral("threemonths"),
                         QStringLiteral("scriptcode, %1(bsedelyqty + nsedelyqty) as MaxDely,avg(nseclprice) as AvgPrice")
                             .arg(high ? QStringLiteral("max") : QStringLiteral("min")),
                         window(state.secondDate, windowEnd)) +
            " a, (select scriptcode,(bsedelyqty+nsedelyqty) as Todaydely,nseclprice as TodaysPrice"
            " from mto where mto.transdate = " +
            Sql::value(state.firstDate) + Sql(QStringLiteral(") as mto, scripmaster where a.scriptcode = mto.scriptcode"
                                                             "  and srno = mto.scriptcode and todaydely %1 maxdely")
                                                  .arg(high ? QStringLiteral(">") : QStringLiteral("<"))) +
            memberOfGroup(state, QStringLiteral("mto.scriptcode")) +
            Sql(QStringLiteral(" order by ") + deliveryChange + (high ? QStringLiteral(" desc") : QString()) +
                QStringLiteral(", ScripMaster.nsescrip")));
    };
}

}  // namespace

void registerBreakoutBranches(BranchRegistry& registry)
{
    registry.add(QStringLiteral("Delivery breakout with upward price (Avg)"), deliveryBreakout(true));
    registry.add(QStringLiteral("Delivery breakout with downward price (Avg)"), deliveryBreakout(false));
    registry.add(QStringLiteral("Volume breakout with upward price"), volumeBreakout(true));
    registry.add(QStringLiteral("Volume breakout with downward price"), volumeBreakout(false));
    registry.add(QStringLiteral("Abnormal Rise in Delivery Qty"), abnormalDelivery(true));
    registry.add(QStringLiteral("Abnormal Fall in Delivery Qty"), abnormalDelivery(false));
    registry.add(QStringLiteral("Rise in Delivery Qty over 3 days"), deliveryOverThreeDays(true));
    registry.add(QStringLiteral("Fall in Delivery Qty over 3 days"), deliveryOverThreeDays(false));
    registry.add(QStringLiteral("3 Months High Delivery"), threeMonthsDelivery(true));
    registry.add(QStringLiteral("3 Months Low Delivery"), threeMonthsDelivery(false));
}

}  // namespace query
