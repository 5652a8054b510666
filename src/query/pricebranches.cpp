// Price movers and highs and lows: the day's rows of the price tables
// GainLoss and hilo, and the five best and worst NSE price movers of a group.

#include "query/pricebranches.h"

#include "query/branch.h"
#include "query/worktable.h"

namespace query {

namespace {

// The day's GainLoss rows of one kind ('G' gainer, 'L' loser, 'U' new
// 52-week high, 'D' new 52-week low).
Sql gainLossRows(const QString& selectList, const RunState& state, const char* kind, const QString& order)
{
    return Sql(QStringLiteral(" select ") + selectList + QStringLiteral(" from GainLoss where trndate= ")) +
           Sql::value(state.firstDate) + Sql(QStringLiteral(" and gainloss = '%1' order by ").arg(QLatin1String(kind)) + order);
}

// The percentage is shown as text, "12.5 % ", as Jet joins a number to text.
QString moverColumns()
{
    return QStringLiteral("Script as Stock,ClosePrice,PrevClose,cstr(perc) || ' % ' as Perc") + fillers(1, 2);
}

BranchResult topGainers(RunContext& context)
{
    // The heading Perc is text: the order names the table's number column.
    return BranchResult::result(gainLossRows(moverColumns(), context.state, "G", QStringLiteral("GainLoss.perc desc, Script")));
}

BranchResult topLosers(RunContext& context)
{
    return BranchResult::result(gainLossRows(moverColumns(), context.state, "L", QStringLiteral("GainLoss.perc, Script")));
}

BranchResult newHighs(RunContext& context)
{
    return BranchResult::result(gainLossRows(
        QStringLiteral("Script as Stock,ClosePrice as NewHigh,PrevClose as PrevHigh") + fillers(2), context.state, "U",
        QStringLiteral("script")));
}

BranchResult newLows(RunContext& context)
{
    return BranchResult::result(gainLossRows(
        QStringLiteral("Script as Stock,ClosePrice as NewLow,PrevClose as PrevLow") + fillers(2), context.state, "D",
        QStringLiteral("script")));
}

BranchResult weekHighLow(RunContext&)
{
    return BranchResult::result(
        Sql(QStringLiteral(" select Script as Stock,Hi52Week as HighPrice, Lo52week as LowPrice,ClosePrice") +
            fillers(1, 2) + QStringLiteral(" from hilo  order by script")));
}

// The five best and the five worst NSE price changes of the group's scrips
// from the previous trading day, best first. The group applies always, "ALL"
// included (its membership lists every scrip).
BranchResult topFiveGainersAndLosers(RunContext& context)
{
    RunState& state = context.state;
    store::Database& db = context.db;
    db.dropIfExists(QStringLiteral("tqr"));
    db.dropIfExists(QStringLiteral("tr"));
    state.secondDate = state.previousTradingDay();

    auto memberOf = [&state](const char* scripColumn) {
        if (state.groupCode.isEmpty())
            return Sql();
        return Sql(" And Exists(Select ScrCode From LinkDetails Where GrpCode = ") + Sql::value(state.groupCode) +
               Sql(QStringLiteral("  And LinkDetails.ScrCode = %1)").arg(QLatin1String(scripColumn)));
    };
    remakeTable(db, QStringLiteral("tqr"),
                Sql("select a.scriptcode,a.nseclprice,(round(((a.nseclprice*100) / yday.nseclprice)-100,2)) as [%ChgInPrice],"
                    "a.nsedelyqty, round(((a.nsedelyqty*100) / yday.nsedelyqty)-100,0) as [%ChgInDelyqty],a.nseperc "
                    " from mto a,(select scriptcode,nseclprice,nsedelyqty,nseperc from mto where TransDate = ") +
                    Sql::value(state.secondDate) + " and nseclprice > 0 and nseperc > 0" + memberOf("mto.scriptcode") +
                    ") yday where a.TransDate = " + Sql::value(state.firstDate) + memberOf("a.scriptcode") +
                    " and a.scriptcode  = yday.scriptcode and a.nseclprice > 0");
    // Exactly five of each: the list is a fixed top-five and bottom-five.
    remakeTable(db, QStringLiteral("tr"), Sql("select * from tqr order by [%ChgInPrice] desc, scriptcode limit 5"));
    db.exec(QStringLiteral("insert into tr SELECT * From tqr order by [%ChgInPrice], scriptcode limit 5"));

    return BranchResult::result(Sql(QStringLiteral(
        "Select nsescrip as Scrip,nseclPrice as Price,[%ChgInPrice] as [%ChgInPrice], nseDelyQty as [DelyQty],"
        "[%ChgInDelyqty] as [%ChgInDely],[nseperc] as [% DelyQty]") + fillers(3) +
        QStringLiteral(" from tr,scripmaster where srno=scriptcode order by tr.[%ChgInPrice] desc, nsescrip")));
}

}  // namespace

void registerPriceBranches(BranchRegistry& registry)
{
    registry.add(QStringLiteral("Top Gainer in price (%)"), topGainers);
    registry.add(QStringLiteral("Top Loser in price (%)"), topLosers);
    registry.add(QStringLiteral("New 52 Week High in price"), newHighs);
    registry.add(QStringLiteral("New 52 Week Low in price"), newLows);
    registry.add(QStringLiteral("52 Week High / Low"), weekHighLow);
    registry.add(QStringLiteral("Top 5 Gainer & Loser"), topFiveGainersAndLosers);
}

}  // namespace query
