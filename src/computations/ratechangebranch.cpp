// Rate change over n days: going back from the query's day through N pairs of
// consecutive trading days, every scrip of the group whose close moved by
// more than 5 per cent within a pair, with the closes of the five trading
// days after the later day of the pair.

#include "computations/scanbranches.h"

#include "query/branch.h"
#include "query/worktable.h"
#include "store/database.h"
#include "store/datetext.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace computations {

using query::Sql;

namespace {

const QString kChangeTable = QStringLiteral("QChangeRateDerivatives");
const QString kCloseA = QStringLiteral("iif(a.nseclprice>0,a.nseclprice,a.bseclprice)");
const QString kCloseB = QStringLiteral("iif(b.nseclprice>0,b.nseclprice,b.bseclprice)");

QList<store::Column> changeColumns()
{
    using store::ColumnKind;
    QList<store::Column> columns{{QStringLiteral("nsescrip"), ColumnKind::Text},
                                 {QStringLiteral("bsescrip"), ColumnKind::Text},
                                 {QStringLiteral("Company"), ColumnKind::Text},
                                 {QStringLiteral("a_transdate"), ColumnKind::Date},
                                 {QStringLiteral("b_transdate"), ColumnKind::Date}};
    for (const char* name : {"Rate", "PrevRate", "% Rate Chg", "day1", "day2", "day3", "day4", "day5", "Volume",
                             "% Vol Chg", "Delivery", "% Dely Chg"})
        columns.append({QString::fromLatin1(name), ColumnKind::Real});
    return columns;
}

// The pairs (later day, earlier day) of passes 1 .. N as one bound JSON array.
Sql dayPairs(const query::RunState& state, int passes)
{
    QJsonArray pairs;
    for (int k = 1; k <= passes; ++k)
        pairs.append(QJsonArray{k, datetext::toStorage(state.tradingDayBefore(k - 1)),
                                datetext::toStorage(state.tradingDayBefore(k))});
    return Sql::value(QString::fromUtf8(QJsonDocument(pairs).toJson(QJsonDocument::Compact)));
}

void makeChangeTable(query::RunContext& context, int passes)
{
    const query::RunState& state = context.state;
    const QString change = QStringLiteral("round(((%1*100)/%2)-100,2)").arg(kCloseA, kCloseB);
    // The quantities' changes divide by the earlier day's NSE + BSE sum, the
    // same sum as the Volume and Delivery shown.
    const Sql select =
        Sql(QStringLiteral(
                "select scripmaster.nsescrip, scripmaster.bsescrip, scripmaster.company, a.TransDate, b.TransDate,"
                " round(val(%1),2), round(val(%2),2), %3, 0.01, 0.01, 0.01, 0.01, 0.01,"
                " (a.NSETrdQty+a.BSETrdQty),"
                " round(((a.NSETrdQty+a.BSETrdQty)*100) / iif(b.nsetrdqty+b.bsetrdqty>0,b.nsetrdqty+b.bsetrdqty,1)-100,2),"
                " (a.NSEDelyQty+a.BSEDelyQty),"
                " round(((a.NSEDelyQty+a.BSEDelyQty)*100) / iif(b.nsedelyqty+b.bsedelyqty>0,b.nsedelyqty+b.bsedelyqty,1)-100,2)"
                " from json_each(")
                .arg(kCloseA, kCloseB, change)) +
        dayPairs(state, passes) +
        ") as p join mto as a on a.TransDate = json_extract(p.value,'$[1]')"
        " join mto as b on b.TransDate = json_extract(p.value,'$[2]') and b.scriptcode = a.scriptcode"
        " join scripmaster on scripmaster.srno = a.scriptcode"
        " where Exists(Select ScrCode From LinkDetails Where GrpCode = " +
        Sql::value(state.groupCode.isEmpty() ? QStringLiteral("ALL") : state.groupCode) +
        " And LinkDetails.ScrCode = a.scriptcode) and (" + Sql(change) + " > 5 or " + Sql(change) +
        " < -5) order by json_extract(p.value,'$[0]'), scripmaster.company";
    query::remakeWorkTable(context.db, kChangeTable, changeColumns(), select);
}

// day1 .. day5: the closes of the first five mto rows after the later day
// under the scrip's NSE symbol (the NSE close when above 0, else the BSE
// close); 0.01 where there is no such row or no symbol.
void fillLaterCloses(store::Database& db)
{
    db.exec(QStringLiteral("drop table if exists temp.laterclose"));
    db.exec(QStringLiteral(
        "create temp table laterclose as select m.NSEScriptCode as symbol, m.TransDate as day,"
        " iif(m.nseclprice>0,m.nseclprice,m.bseclprice) as close,"
        " row_number() over (partition by m.NSEScriptCode order by m.TransDate) as dayNo"
        " from mto as m where m.TransDate > (select min(a_transdate) from QChangeRateDerivatives)"
        " and m.NSEScriptCode in (select nsescrip from QChangeRateDerivatives where trim(ifnull(nsescrip,'')) <> '')"));
    db.exec(QStringLiteral("create index temp.laterclose_symbol on laterclose (symbol, day)"));
    db.exec(QStringLiteral("create index temp.laterclose_number on laterclose (symbol, dayNo)"));
    QStringList assignments;
    for (int k = 1; k <= 5; ++k)
        assignments.append(
            QStringLiteral("day%1 = ifnull((select l.close from laterclose as l where l.symbol = r.nsescrip and"
                           " l.dayNo = (select min(f.dayNo) from laterclose as f where f.symbol = r.nsescrip and"
                           " f.day > r.a_transdate) + %2), 0.01)")
                .arg(k)
                .arg(k - 1));
    db.exec(QStringLiteral("update QChangeRateDerivatives as r set %1 where trim(ifnull(r.nsescrip,'')) <> ''")
                .arg(assignments.join(QLatin1Char(','))));
    db.exec(QStringLiteral("drop table temp.laterclose"));
}

query::BranchResult rateChange(query::RunContext& context)
{
    query::RunState& state = context.state;
    const int passes = state.rankCount();
    state.secondDate = state.tradingDayBefore(passes);
    makeChangeTable(context, passes);
    fillLaterCloses(context.db);
    return query::BranchResult::result(Sql("Select * from QChangeRateDerivatives"));
}

}  // namespace

void registerRateChangeBranch(query::BranchRegistry& registry)
{
    registry.add(QStringLiteral("Rate Change"), rateChange);
}

}  // namespace computations
