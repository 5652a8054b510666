// Last N days movement: each security's traded quantity, delivery and close
// on the last N trading days, each with its change against the security's
// previous row.

#include "computations/scanbranches.h"

#include "query/branch.h"
#include "query/dayrows.h"
#include "query/plainstatements.h"
#include "query/worktable.h"
#include "store/database.h"

#include <QStringList>
#include <algorithm>
#include <optional>
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

// The change of one figure against the security's previous row: a current
// value that is empty or not above 1 counts as 1, an empty previous value
// as 1; a previous value of 0 gives no change (0.01 stays).
QString changeAgainstPrevious(const QString& current, const QString& previous)
{
    return QStringLiteral("iif(%2 = 0, 0.01, round(iif(%1 is null or %1 <= 1, 1, %1) * 100 / %2 - 100, 2))")
        .arg(current, previous);
}

// Whether every security's rows follow each other in the table: no two
// company names are the same without regard to case, nor the same once
// trimmed, unless they are the very same name. Rows go in by company and
// day, so then the previous row of a security is the row before it.
bool securitiesFollowEachOther(store::Database& db)
{
    return db.scalar(QStringLiteral("select count(distinct company) = count(distinct company collate binary)"
                                    " and count(distinct company collate binary) = count(distinct trim(company))"
                                    " from scripmaster where trim(ifnull(company,'')) <> ''"))
               .toInt() == 1;
}

// Whether some company name is that of more than one scrip. Their rows tie
// in the order by company and day, and only the sort in memory keeps tied
// rows in the order read, as the plain statement's sort does; a sort that
// spills to files on helper threads merges its runs in another order.
bool namesRepeat(store::Database& db)
{
    return db.scalar(QStringLiteral("select count(*) > count(distinct company collate binary) from scripmaster"
                                    " where trim(ifnull(company,'')) <> ''"))
               .toInt() == 1;
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
// security and day) with the change of each figure against the row before,
// where the row before is of the same security (its name without outer
// blanks); other rows keep their changes. Declared like the result, so
// that the result is its copy.
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
                                                     " and trim(ifnull(r.security,'')) <> '' and trim(p.security) = trim(r.security)")
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
        {QStringLiteral("ChgInVol"), ColumnKind::Real}};
    const Sql source = Sql(QStringLiteral(" where mto.scriptcode = scripmaster.srno and TransDate between ")) +
                       Sql::value(from) + " and " + Sql::value(state.firstDate) + state.scripFilter +
                       state.andRangeCondition(query::MeasureColumns::ofMto(state.exchange, QStringLiteral("mto"))) +
                       state.groupFilter;

    // Rows go in by company and day, so the table's row order is the walk's.
    const auto rows = [&](const QString& join) {
        return Sql(QStringLiteral("select %1,company,0.01,0.01,0.01 from %2").arg(dayFigures(state.exchange), join)) +
               source + " order by company,TransDate";
    };

    // Rows of one security (its name without outer blanks) follow each
    // other; its first row, and rows without a name, keep 0.01. When every
    // security's rows follow each other, the changes are worked out as the
    // rows are copied into the table, against the row before; changing the
    // rows in place would have the store keep their former content in
    // memory until the run ends. The rows are put in order by a sort that
    // spills to files on helper threads unless tied rows must keep their
    // order.
    if (!query::plainStatementsOnly() && securitiesFollowEachOther(context.db)) {
        {
            std::optional<query::SortsInFiles> sorts;
            if (!namesRepeat(context.db))
                sorts.emplace(context.db);
            query::remakeWorkTable(context.db, kMovementRows, columns, rows(QStringLiteral("mto,scripmaster")));
        }
        makeResultRowsWithChanges(context.db, kMovementRows, state);
        return true;
    }
    // Otherwise a long period is read scrip by scrip in company order (the
    // scrips in a small table ordered by an index), each one's days sorted
    // on their own, and the changes are worked out in place.
    QString join = QStringLiteral("mto,scripmaster");
    if (query::readScripByScrip(context, from, state.firstDate)) {
        query::remakeWorkTable(context.db, QStringLiteral("movementscrips"),
                               {{QStringLiteral("srno"), ColumnKind::Integer}, {QStringLiteral("company"), ColumnKind::Text}},
                               Sql("select srno, company from scripmaster order by srno"));
        context.db.exec(QStringLiteral("create index movementscrips_company on movementscrips (company)"));
        join = QStringLiteral("movementscrips as scripmaster cross join mto");
    }
    query::remakeWorkTable(context.db, kMovementTable, columns, rows(join));
    context.db.exec(
        QStringLiteral("update tqr set ChgInVol = c.vol, ChgInDely = c.dely, ChgInPrice = c.price from"
                       " (select id, %1 as vol, %2 as dely, %3 as price from"
                       " (select rowid as id, trdqty, delyqty, clprice,"
                       " lag(ifnull(trdqty,1)) over w as prev_trdqty, lag(ifnull(delyqty,1)) over w as prev_delyqty,"
                       " lag(ifnull(clprice,1)) over w as prev_clprice"
                       " from tqr where trim(ifnull(security,'')) <> ''"
                       " window w as (partition by trim(security) order by rowid))"
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
