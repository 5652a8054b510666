// The Tovil day comparison: every scrip traded on the query's day and the
// trading day before, with its close, cash volume, delivery, delivery
// percentage and delivery value on both days and the change of each.

#include "computations/scanbranches.h"

#include "query/branch.h"
#include "query/sql.h"
#include "query/worktable.h"
#include "store/database.h"

namespace computations {

using query::Sql;

namespace {

const QString kDayTable = QStringLiteral("q1");

void makeDayComparison(query::RunContext& context)
{
    using store::ColumnKind;
    QList<store::Column> columns{{QStringLiteral("company"), ColumnKind::Text},
                                 {QStringLiteral("ScriptCode"), ColumnKind::Integer}};
    for (const char* name : {"Price", "OldPrice", "%ChgInPrice", "Volume", "PrevVolume", "%ChgInVolume", "Delivery",
                             "PrevDelivery", "%ChgInDelivery", "%Dely", "%PrevDely", "%chgIn%Dely", "DelyValue",
                             "PrevDelyValue", "%ChgInDelyValue"})
        columns.append({QString::fromLatin1(name), ColumnKind::Real});

    // Today's row is `a`, the previous trading day's `y`; the computed
    // columns start at 0.01 and are set by the two updates below.
    query::remakeWorkTable(
        context.db, kDayTable, columns,
        Sql("SELECT scripmaster.company, a.ScriptCode, iif(a.nseclprice>0,a.nseclprice,a.bseclprice),"
            " iif(y.nseclprice>0,y.nseclprice,y.bseclprice), 0.01,"
            " (a.nsetrdqty+a.bsetrdqty), (y.nsetrdqty+y.bsetrdqty), 0.01,"
            " (a.nsedelyqty+a.bsedelyqty), (y.nsedelyqty+y.bsedelyqty), 0.01,"
            " 0.01, 0.01, 0.01, 0.01, 0.01, 0.01"
            " FROM mto AS a, mto AS y, scripmaster"
            " WHERE a.ScriptCode = y.scriptcode and a.ScriptCode = scripmaster.srno and a.TransDate = ") +
            Sql::value(context.state.firstDate) + " and y.TransDate = " + Sql::value(context.state.secondDate));

    context.db.exec(QStringLiteral(
        "update q1 set"
        " [%ChgInPrice] = round((iif(price*100>0,price*100,0.01))/iif(oldprice>0,oldprice,1)-100,0),"
        " [%ChgInVolume] = round((iif(volume*100>0,volume*100,0.01))/iif(prevvolume>0,prevvolume,1)-100,0),"
        " [%ChgInDelivery] = round((iif(delivery*100>0,delivery*100,1))/iif(prevdelivery>0,prevdelivery,1)-100,0),"
        " [%Dely] = round((iif(delivery>0,delivery*100,0.01)/iif(volume>0,volume,0.01)),2),"
        " [%PrevDely] = round((iif(prevdelivery>0,prevdelivery*100,0.01)/iif(prevvolume>0,prevvolume,0.01)),2),"
        " DelyValue = round(((iif(delivery*price>0,((Delivery*price)/1000000),0.01))),2),"
        " PrevDelyValue = round(((iif(PrevDelivery*oldprice>0,((PrevDelivery*oldprice)/1000000),0.01))),2)"));
    // The second update reads the first one's results.
    context.db.exec(QStringLiteral(
        "update q1 set [%chgIn%Dely] = round(([%Dely]*100)/iif([%PrevDely]>0,[%PrevDely],1)-100,0),"
        " [%ChgInDelyValue] = round((delyvalue*100)/iif(prevdelyvalue>0,prevdelyvalue,1)-100,0)"));
}

query::Branch tovilBranch(const QString& order)
{
    return [order](query::RunContext& context) {
        context.state.secondDate = context.state.previousTradingDay();
        makeDayComparison(context);
        const QChar nbsp(0x00A0);
        return query::BranchResult::result(Sql(
            QStringLiteral("Select substr(company,1,25) as Company,round(price,2) as [Cl Price],[%ChgInPrice] as [%C],"
                           "Volume as [Cash Vol],[%ChgInVolume] as [%C%1],delivery as [Del Vol],"
                           "[%ChgInDelivery] as [%C%2],[%Dely] as [Del %],[%chgIn%Dely] as [%C%3],"
                           "DelyValue as [Del Value],[%ChgInDelyValue] as [%C%4] from q1 order by %5, q1.company")
                .arg(QString(1, nbsp), QString(2, nbsp), QString(3, nbsp), QString(4, nbsp), order)));
    };
}

}  // namespace

void registerTovilBranches(query::BranchRegistry& registry)
{
    registry.add(QStringLiteral("Tovil Query - Cash Volume"), tovilBranch(QStringLiteral("q1.Volume desc")));
    registry.add(QStringLiteral("Tovil Query - Delivery Volume"), tovilBranch(QStringLiteral("q1.delivery desc")));
    registry.add(QStringLiteral("Tovil Query - Delivery Value"), tovilBranch(QStringLiteral("q1.delyvalue desc")));
}

}  // namespace computations
