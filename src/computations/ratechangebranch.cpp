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
#include <QStringList>

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

// day1 .. day5: the close of the k-th mto row of the scrip after the later
// day (the NSE close when above 0, else the BSE close); 0.01 where there is
// no such row.
QString laterCloses()
{
    QStringList closes;
    for (int k = 1; k <= 5; ++k)
        closes.append(QStringLiteral("ifnull((select iif(m.nseclprice>0,m.nseclprice,m.bseclprice) from mto as m"
                                     " where m.scriptcode = a.scriptcode and m.TransDate > a.TransDate"
                                     " order by m.TransDate limit 1 offset %1), 0.01)")
                          .arg(k - 1));
    return closes.join(QStringLiteral(", "));
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
                " round(val(%1),2), round(val(%2),2), %3, %4,"
                " (a.NSETrdQty+a.BSETrdQty),"
                " round(((a.NSETrdQty+a.BSETrdQty)*100) / iif(b.nsetrdqty+b.bsetrdqty>0,b.nsetrdqty+b.bsetrdqty,1)-100,2),"
                " (a.NSEDelyQty+a.BSEDelyQty),"
                " round(((a.NSEDelyQty+a.BSEDelyQty)*100) / iif(b.nsedelyqty+b.bsedelyqty>0,b.nsedelyqty+b.bsedelyqty,1)-100,2)"
                " from json_each(")
                .arg(kCloseA, kCloseB, change, laterCloses())) +
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

query::BranchResult rateChange(query::RunContext& context)
{
    query::RunState& state = context.state;
    const int passes = state.count;
    state.secondDate = state.tradingDayBefore(passes);
    makeChangeTable(context, passes);
    return query::BranchResult::result(Sql("Select * from QChangeRateDerivatives"));
}

}  // namespace

void registerRateChangeBranch(query::BranchRegistry& registry)
{
    registry.add(QStringLiteral("Rate Change"), rateChange);
}

}  // namespace computations
