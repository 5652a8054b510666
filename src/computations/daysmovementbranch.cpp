// Last N days movement: each security's traded quantity, delivery and close
// on the last N trading days, each with its change against the security's
// previous row.

#include "computations/scanbranches.h"

#include "query/branch.h"
#include "query/worktable.h"
#include "store/database.h"

#include <algorithm>

namespace computations {

using query::Exchange;
using query::Sql;

namespace {

const QString kMovementTable = QStringLiteral("tqr");

QString dayFigures(Exchange exchange)
{
    switch (exchange) {
    case Exchange::Nse:
        return QStringLiteral("nsetrdqty,nsedelyqty,nseperc,TransDate,nseclprice");
    case Exchange::Bse:
        return QStringLiteral("bsetrdqty,bsedelyqty,bseperc,TransDate,bseclprice");
    case Exchange::Combined:
        break;
    }
    return QStringLiteral("(nsetrdqty+bsetrdqty),(nsedelyqty+bsedelyqty),(nseperc+bseperc),TransDate,"
                          "(iif(nseclprice>0,nseclprice,bseclprice))");
}

// The change of one figure against the security's previous row: a current
// value that is empty or not above 1 counts as 1, an empty previous value
// as 1; a previous value of 0 gives no change (0.01 stays).
QString changeAgainstPrevious(const QString& column)
{
    return QStringLiteral("iif(prev_%1 = 0, 0.01, round(iif(%1 is null or %1 <= 1, 1, %1) * 100 / prev_%1 - 100, 2))")
        .arg(column);
}

void makeMovementTable(query::RunContext& context, const QDate& from)
{
    const query::RunState& state = context.state;
    using store::ColumnKind;
    const QList<store::Column> columns{
        {QStringLiteral("trdqty"), ColumnKind::Real},     {QStringLiteral("delyqty"), ColumnKind::Real},
        {QStringLiteral("perc"), ColumnKind::Real},       {QStringLiteral("TransDate"), ColumnKind::Date},
        {QStringLiteral("clprice"), ColumnKind::Real},    {QStringLiteral("security"), ColumnKind::Text},
        {QStringLiteral("ChgInDely"), ColumnKind::Real},  {QStringLiteral("ChgInPrice"), ColumnKind::Real},
        {QStringLiteral("ChgInVol"), ColumnKind::Real}};
    // Rows go in by company and day, so the table's row order is the walk's.
    query::remakeWorkTable(
        context.db, kMovementTable, columns,
        Sql(QStringLiteral("select %1,company,0.01,0.01,0.01 from mto,scripmaster"
                           " where mto.scriptcode = scripmaster.srno and TransDate between ")
                .arg(dayFigures(state.exchange))) +
            Sql::value(from) + " and " + Sql::value(state.firstDate) + state.scripFilter +
            state.andRangeCondition(query::MeasureColumns::ofMto(state.exchange, QStringLiteral("mto"))) +
            state.groupFilter + " order by company,TransDate");

    // Rows of one security (its name without outer blanks) follow each
    // other; its first row, and rows without a name, keep 0.01.
    context.db.exec(
        QStringLiteral("update tqr set ChgInVol = c.vol, ChgInDely = c.dely, ChgInPrice = c.price from"
                       " (select id, %1 as vol, %2 as dely, %3 as price from"
                       " (select rowid as id, trdqty, delyqty, clprice,"
                       " lag(ifnull(trdqty,1)) over w as prev_trdqty, lag(ifnull(delyqty,1)) over w as prev_delyqty,"
                       " lag(ifnull(clprice,1)) over w as prev_clprice"
                       " from tqr where trim(ifnull(security,'')) <> ''"
                       " window w as (partition by trim(security) order by rowid))"
                       " where prev_trdqty is not null) as c where tqr.rowid = c.id")
            .arg(changeAgainstPrevious(QStringLiteral("trdqty")), changeAgainstPrevious(QStringLiteral("delyqty")),
                 changeAgainstPrevious(QStringLiteral("clprice"))));
}

query::BranchResult daysMovement(query::RunContext& context)
{
    query::RunState& state = context.state;
    // The table reaches two trading days behind the N shown, so the earliest
    // day shown has its change too.
    const QDate tableStart = state.tradingDayBefore(state.count + 1);
    state.secondDate = state.tradingDayBefore(state.count - 1);
    makeMovementTable(context, tableStart);
    return query::BranchResult::result(
        Sql(QStringLiteral("select TransDate as [Date],Security as Stock, Trdqty as Volume,ChgInVol as [%ChgIn Vol],"
                           "DelyQty as DelyQty,ChgInDely as [%ChgInDely],clprice as Price,ChgInPrice as [%ChgInPrice],") +
            query::filler(1) + QStringLiteral(" from tqr where TransDate between ")) +
        Sql::value(std::min(state.firstDate, state.secondDate)) + " and " +
        Sql::value(std::max(state.firstDate, state.secondDate)) + " order by tqr.rowid");
}

}  // namespace

void registerDaysMovementBranch(query::BranchRegistry& registry)
{
    registry.add(QStringLiteral("Last N Days Movement"), daysMovement);
}

}  // namespace computations
