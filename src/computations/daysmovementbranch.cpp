// Last N days movement: each scrip's traded quantity, delivery and close on
// the last N trading days, each with its change against the scrip's previous
// row.

#include "computations/scanbranches.h"

#include "query/branch.h"
#include "query/dayrows.h"
#include "query/plainstatements.h"
#include "query/worktable.h"
#include "store/database.h"

#include <QStringList>
#include <algorithm>
#include <utility>

namespace computations {

using query::Exchange;
using query::Sql;

namespace {

const QString kMovementTable = QStringLiteral("tqr");
// The rows of tqr before their changes are worked out; like tqr, dropped
// when the next run starts.
const QString kMovementRows = QStringLiteral("tqrrows");

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

// The change of one figure against the scrip's previous row: a current
// value that is empty or not above 1 counts as 1, an empty previous value
// as 1; a previous value of 0 gives no change (0.01 stays).
QString changeAgainstPrevious(const QString& current, const QString& previous)
{
    return QStringLiteral("iif(%2 = 0, 0.01, round(iif(%1 is null or %1 <= 1, 1, %1) * 100 / %2 - 100, 2))")
        .arg(current, previous);
}

// The result's columns of the rows of `from` (whose row `r` has the columns
// of tqr) shown between the two days, in the order of r, with the changes
// (of the volume, the delivery and the price) given as expressions.
Sql resultRows(const QString& from, const QStringList& changes, const query::RunState& state)
{
    return Sql(QStringLiteral("select r.TransDate as [Date],r.Security as Stock, r.Trdqty as Volume,%1 as [%ChgIn Vol],"
                              "r.DelyQty as DelyQty,%2 as [%ChgInDely],r.clprice as Price,%3 as [%ChgInPrice],")
                   .arg(changes[0], changes[1], changes[2]) +
               query::declaredFiller(1) + QStringLiteral(" from %1,%2 where r.TransDate between ").arg(from, query::kFillerRow)) +
           Sql::value(std::min(state.firstDate, state.secondDate)) + " and " +
           Sql::value(std::max(state.firstDate, state.secondDate)) + " order by r.rowid";
}

// The result's rows made from `rows` (a table like tqr whose rows run by
// scrip and day) with the change of each figure against the row before,
// where the row before is of the same scrip; a scrip's first row keeps its
// changes. Declared like the result, so that the result is its copy.
void makeResultRowsWithChanges(store::Database& db, const QString& rows, const query::RunState& state)
{
    QStringList changes;
    for (const auto& [figure, change] : {std::pair{"trdqty", "ChgInVol"}, std::pair{"delyqty", "ChgInDely"},
                                         std::pair{"clprice", "ChgInPrice"}})
        changes.append(QStringLiteral("iif(p.rowid is null, r.%1, %2)")
                           .arg(QLatin1String(change),
                                changeAgainstPrevious(QStringLiteral("r.") + QLatin1String(figure),
                                                      QStringLiteral("ifnull(p.%1,1)").arg(QLatin1String(figure)))));
    using store::ColumnKind;
    const QList<store::Column> columns{
        {QStringLiteral("Date"), ColumnKind::Date},        {QStringLiteral("Stock"), ColumnKind::Text},
        {QStringLiteral("Volume"), ColumnKind::Real},      {QStringLiteral("%ChgIn Vol"), ColumnKind::Real},
        {QStringLiteral("DelyQty"), ColumnKind::Real},     {QStringLiteral("%ChgInDely"), ColumnKind::Real},
        {QStringLiteral("Price"), ColumnKind::Real},       {QStringLiteral("%ChgInPrice"), ColumnKind::Real},
        {QString(1, QChar(0x00A0)), ColumnKind::Text}};
    query::makeFillerRow(db);
    query::remakeWorkTable(db, kMovementTable, columns,
                           resultRows(QStringLiteral("%1 as r left join %1 as p on p.rowid = r.rowid - 1"
                                                     " and p.scriptcode = r.scriptcode")
                                          .arg(rows),
                                      changes, state));
}

// Makes tqr: laid out as the result when true, else as the day rows.
bool makeMovementTable(query::RunContext& context, const QDate& from)
{
    const query::RunState& state = context.state;
    using store::ColumnKind;
    const QList<store::Column> columns{
        {QStringLiteral("trdqty"), ColumnKind::Real},     {QStringLiteral("delyqty"), ColumnKind::Real},
        {QStringLiteral("perc"), ColumnKind::Real},       {QStringLiteral("TransDate"), ColumnKind::Date},
        {QStringLiteral("clprice"), ColumnKind::Real},    {QStringLiteral("security"), ColumnKind::Text},
        {QStringLiteral("ChgInDely"), ColumnKind::Real},  {QStringLiteral("ChgInPrice"), ColumnKind::Real},
        {QStringLiteral("ChgInVol"), ColumnKind::Real},   {QStringLiteral("scriptcode"), ColumnKind::Integer}};
    // Rows go in by company, then scrip, then day, so the table's row order
    // is the walk's: a scrip's rows follow each other, also where two scrips
    // share a company name.
    const Sql rows = Sql(QStringLiteral("select %1,company,0.01,0.01,0.01,mto.scriptcode from mto,scripmaster")
                             .arg(dayFigures(state.exchange))) +
                     " where mto.scriptcode = scripmaster.srno and TransDate between " + Sql::value(from) + " and " +
                     Sql::value(state.firstDate) + state.scripFilter +
                     state.andRangeCondition(query::MeasureColumns::ofMto(state.exchange, QStringLiteral("mto"))) +
                     state.groupFilter + " order by company,mto.scriptcode,TransDate";

    // Each scrip is walked on its own; its first row keeps 0.01. The
    // changes are worked out as the rows are copied into the table, against
    // the row before; changing the rows in place would have the store keep
    // their former content in memory until the run ends. No two rows tie in
    // the order, so a sort that spills to files on helper threads puts them
    // in the same order as the plain statement.
    if (!query::plainStatementsOnly()) {
        {
            const query::SortsInFiles sorts(context.db);
            query::remakeWorkTable(context.db, kMovementRows, columns, rows);
        }
        makeResultRowsWithChanges(context.db, kMovementRows, state);
        return true;
    }
    query::remakeWorkTable(context.db, kMovementTable, columns, rows);
    context.db.exec(
        QStringLiteral("update tqr set ChgInVol = c.vol, ChgInDely = c.dely, ChgInPrice = c.price from"
                       " (select id, %1 as vol, %2 as dely, %3 as price from"
                       " (select rowid as id, trdqty, delyqty, clprice,"
                       " lag(ifnull(trdqty,1)) over w as prev_trdqty, lag(ifnull(delyqty,1)) over w as prev_delyqty,"
                       " lag(ifnull(clprice,1)) over w as prev_clprice"
                       " from tqr window w as (partition by scriptcode order by rowid))"
                       " where prev_trdqty is not null) as c where tqr.rowid = c.id")
            .arg(changeAgainstPrevious(QStringLiteral("trdqty"), QStringLiteral("prev_trdqty")),
                 changeAgainstPrevious(QStringLiteral("delyqty"), QStringLiteral("prev_delyqty")),
                 changeAgainstPrevious(QStringLiteral("clprice"), QStringLiteral("prev_clprice"))));
    return false;
}

query::BranchResult daysMovement(query::RunContext& context)
{
    query::RunState& state = context.state;
    // The table reaches two trading days behind the N shown, so the earliest
    // day shown has its change too.
    const QDate tableStart = state.tradingDayBefore(state.count + 1);
    state.secondDate = state.tradingDayBefore(state.count - 1);
    if (makeMovementTable(context, tableStart))
        return query::BranchResult::wholeWorkTable(kMovementTable);
    query::makeFillerRow(context.db);
    return query::BranchResult::result(
        resultRows(kMovementTable + QStringLiteral(" as r"),
                   {QStringLiteral("r.ChgInVol"), QStringLiteral("r.ChgInDely"), QStringLiteral("r.ChgInPrice")}, state));
}

}  // namespace

void registerDaysMovementBranch(query::BranchRegistry& registry)
{
    registry.add(QStringLiteral("Last N Days Movement"), daysMovement);
}

}  // namespace computations
