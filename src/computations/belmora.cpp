#include "computations/belmora.h"

#include "query/jettop.h"
#include "query/worktable.h"
#include "store/database.h"

namespace computations {

namespace {

// The lowest close, traded quantity and delivery percentage a scrip needs.
struct Thresholds {
    double close = 0;
    double traded = 0;
    double deliveryPercent = 0;
};

// The days and thresholds of an exchange's figures, on `mto`.
query::Sql dayAndThresholds(const char* exchange, const QDate& previous, const QDate& day, const Thresholds& minimum)
{
    const QString x = QString::fromLatin1(exchange);
    return query::Sql(" and mto.TransDate between ") + query::Sql::value(previous) + " and " + query::Sql::value(day) +
           query::Sql(QStringLiteral(" and mto.%1TrdQty >= ").arg(x)) + query::Sql::value(minimum.traded) +
           query::Sql(QStringLiteral(" and mto.%1ClPrice >= ").arg(x)) + query::Sql::value(minimum.close) +
           query::Sql(QStringLiteral(" and mto.%1DelyQty >= mto.%1TrdQty * ").arg(x)) +
           query::Sql::value(minimum.deliveryPercent) + " / 100.0";
}

// `Tdely`: per scrip, group and day of the two days, the group's exchange
// figures of the scrips that reach the thresholds.
void makeGroupDays(store::Database& db, const QDate& previous, const QDate& day, const Thresholds& minimum)
{
    using store::ColumnKind;
    const QList<store::Column> columns{
        {QStringLiteral("srno"), ColumnKind::Integer},        {QStringLiteral("NSEScriptCode"), ColumnKind::Text},
        {QStringLiteral("BSEScriptCode"), ColumnKind::Text},  {QStringLiteral("GroupCode"), ColumnKind::Text},
        {QStringLiteral("company"), ColumnKind::Text},        {QStringLiteral("TransDate"), ColumnKind::Date},
        {QStringLiteral("totaldely"), ColumnKind::Real},      {QStringLiteral("TotalVolume"), ColumnKind::Real},
        {QStringLiteral("ClosePrice"), ColumnKind::Real}};
    const query::Sql indexGroups =
        query::Sql("SELECT DISTINCT srno, mto.NSEScriptCode, mto.BSEScriptCode, GroupMaster.GroupCode, ScripMaster.company,"
                   " mto.TransDate, mto.BSEDelyQty, mto.BSETrdQty, mto.BSEClPrice"
                   " FROM GroupMaster JOIN LinkDetails ON GroupMaster.GroupCode = LinkDetails.GrpCode"
                   " JOIN ScripMaster ON LinkDetails.ScrCode = ScripMaster.srno"
                   " JOIN mto ON ScripMaster.srno = mto.scriptcode"
                   " WHERE GroupMaster.GroupCode in ('BSE100','BSE500')") +
        dayAndThresholds("BSE", previous, day, minimum);
    query::remakeWorkTable(db, QStringLiteral("Tdely"), columns, indexGroups);

    auto exchangeGroup = [&](const char* code, const char* exchange) {
        const QString x = QString::fromLatin1(exchange);
        return query::Sql(QStringLiteral("INSERT INTO Tdely SELECT DISTINCT srno, mto.NSEScriptCode, mto.BSEScriptCode, '%1',"
                                         " ScripMaster.company, mto.TransDate, mto.%2DelyQty, mto.%2TrdQty, mto.%2ClPrice"
                                         " FROM ScripMaster, mto WHERE ScripMaster.srno = mto.scriptcode"
                                         " AND mto.%2ScriptCode <> ''")
                              .arg(QString::fromLatin1(code), x)) +
               dayAndThresholds(exchange, previous, day, minimum);
    };
    for (const query::Sql& insert : {exchangeGroup("NSE", "NSE"), exchangeGroup("BSE", "BSE")})
        db.exec(insert.text, insert.params);
}

// One of the eight top-ten lists: the group's scrips whose delivered and
// traded quantities rose and whose close rose ('1') or fell ('2'), the ten
// largest deliveries of the day (with every scrip tied with the tenth).
query::Sql topTen(const QString& group, bool closeRose, const QDate& previous, const QDate& day)
{
    const QString query = closeRose ? QStringLiteral("1") : QStringLiteral("2");
    const QList<query::ResultColumn> columns{
        {QStringLiteral("a.company"), QStringLiteral("Company")},
        {QStringLiteral("a.groupcode"), QStringLiteral("groupcode")},
        {QStringLiteral("'%1'").arg(query), QStringLiteral("Query")},
        {QStringLiteral("a.totalvolume"), QStringLiteral("Tvol")},
        {QStringLiteral("b.totalvolume"), QStringLiteral("Pvol")},
        {QStringLiteral("a.totaldely"), QStringLiteral("TDely")},
        {QStringLiteral("b.totaldely"), QStringLiteral("PDely")},
        {QStringLiteral("round(((a.totaldely/a.totalvolume)*100),2)"), QStringLiteral("TDelyPerc")},
        {QStringLiteral("round(((b.totaldely/b.totalvolume)*100),2)"), QStringLiteral("PDelyPerc")},
        {QStringLiteral("a.closeprice"), QStringLiteral("TPrice")},
        {QStringLiteral("b.closeprice"), QStringLiteral("PPrice")},
        {QStringLiteral("NULL"), QStringLiteral("PriceChg")}};
    const query::Sql fromWhere =
        query::Sql(" from Tdely a, Tdely b where a.srno = b.srno and a.TransDate = ") + query::Sql::value(day) +
        " and b.TransDate = " + query::Sql::value(previous) +
        QStringLiteral(" and a.totaldely > b.totaldely and a.totalvolume > b.totalvolume and a.closeprice %1 b.closeprice"
                       " and a.groupcode = b.groupcode and a.groupcode = ")
            .arg(closeRose ? QLatin1Char('>') : QLatin1Char('<')) +
        query::Sql::value(group);
    return query::jetTop(10, columns, fromWhere, QStringLiteral("a.totaldely"), true, QStringLiteral("Company"));
}

void makeTopTens(query::RunContext& context, const QDate& previous, const QDate& day)
{
    using store::ColumnKind;
    const QList<store::Column> columns{
        {QStringLiteral("Company"), ColumnKind::Text}, {QStringLiteral("groupcode"), ColumnKind::Text},
        {QStringLiteral("Query"), ColumnKind::Text},   {QStringLiteral("Tvol"), ColumnKind::Real},
        {QStringLiteral("Pvol"), ColumnKind::Real},    {QStringLiteral("TDely"), ColumnKind::Real},
        {QStringLiteral("PDely"), ColumnKind::Real},   {QStringLiteral("TDelyPerc"), ColumnKind::Real},
        {QStringLiteral("PDelyPerc"), ColumnKind::Real}, {QStringLiteral("TPrice"), ColumnKind::Real},
        {QStringLiteral("PPrice"), ColumnKind::Real},  {QStringLiteral("PriceChg"), ColumnKind::Real}};
    const QString groups[] = {QStringLiteral("BSE100"), QStringLiteral("BSE500"), QStringLiteral("BSE"),
                              QStringLiteral("NSE")};
    int done = 0;
    for (const bool closeRose : {true, false}) {
        for (const QString& group : groups) {
            context.progress(QStringLiteral("Processing for Group ") + group, ++done, 8);
            const query::Sql select = topTen(group, closeRose, previous, day);
            if (done == 1)
                query::remakeWorkTable(context.db, QStringLiteral("TBelmoraResult"), columns, select);
            else
                context.db.exec(QStringLiteral("INSERT INTO TBelmoraResult ") + select.text, select.params);
        }
    }
    // The change of the close in per cent, from the closes rounded to 2 decimals.
    context.db.exec(QStringLiteral(
        "UPDATE TBelmoraResult SET PriceChg = round(((round(TPrice,2) * 100 / round(PPrice,2)) - 100),2)"));
}

}  // namespace

query::BranchResult belmoraQuery(query::RunContext& context)
{
    query::RunState& state = context.state;
    state.secondDate = state.previousTradingDay();
    const Thresholds minimum{context.inputs.range(query::RangeMeasure::Price).low,
                             context.inputs.range(query::RangeMeasure::TradedQty).low,
                             context.inputs.range(query::RangeMeasure::DeliveryPercent).low};
    context.db.dropIfExists(QStringLiteral("Tdely"));
    makeGroupDays(context.db, state.secondDate, state.firstDate, minimum);
    context.db.dropIfExists(QStringLiteral("TBelmoraResult"));
    makeTopTens(context, state.secondDate, state.firstDate);
    // The lists in the order they were made: rising closes first, each group's
    // largest delivery first.
    return query::BranchResult::result(query::Sql(
        "SELECT Company AS company, groupcode AS groupcode, Query AS query, Tvol AS tvol, Pvol AS pvol, TDely AS tdely,"
        " PDely AS pdely, TDelyPerc AS tdelyperc, round(TPrice,2) AS TPrice, round(PPrice,2) AS PPrice"
        " FROM TBelmoraResult ORDER BY rowid"));
}

}  // namespace computations
