// Summaries between two dates: the "Average Queries" group, one row per scrip
// over the day table that the run's prologue made, and the turnover and
// delivery value per group and day.

#include "query/averagebranches.h"

#include "query/branch.h"
#include "query/windowsummary.h"
#include "store/database.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <optional>

namespace query {

namespace {

struct AverageQuery {
    const char* label;
    const char* nse;
    const char* bse;
    const char* combined;
};

const AverageQuery kAverageQueries[] = {
    {"Average Traded Quantity [Between Dates]", "avg(nsetrdqty) AS AvgTradingQty", "avg(bsetrdqty) AS AvgTradingQty",
     "avg(nsetrdqty) AS NSEAvgTrdQty,avg(bsetrdqty) AS BSEAvgTrdQty"},
    {"Average Delivery Quantity [Between Dates]", "avg(nsedelyqty) AS AvgDeliveryQty",
     "avg(bsedelyqty) AS AvgDeliveryQty", "avg(nsedelyqty) AS NSEAvgDelyQty,avg(bsedelyqty) AS BSEDelyTrdQty"},
    {"Average % Delivery Quantity [Between Dates]", "round(avg(nseperc),2) AS [Avg % Dely]",
     "round(avg(bseperc),2) AS [Avg % Dely]",
     "round(avg(nseperc),2) AS [NSEAvg % Dely],round(avg(bseperc),2) AS [BSEAvg % Dely]"},
    {"Highest Delivery Quantity [Between Dates]", "max(nsedelyqty) AS HighestDelyQty",
     "max(BSEdelyqty) AS HighestDelyQty", "max(nsedelyqty) AS NSEHighDelyQty,max(BSEdelyqty) AS BSEHighDelyQty"},
    {"Lowest Delivery Quantity [Between Dates]", "min(nsedelyqty) AS LowestDelyQty", "min(BSEdelyqty) AS LowestDelyQty",
     "min(nsedelyqty) AS NSELowDelyQty,min(BSEdelyqty) AS BSELowDelyQty"},
    {"Highest % Delivery Quantity [Between Dates]", "max(nseperc) AS [Highest % DelyQty]",
     "max(bseperc) AS [Highest % DelyQty]", "max(nseperc) AS [NSEHighest % DelyQty],max(bseperc) AS [BSEHigest % DelyQty]"},
    {"Lowest % Delivery Quantity [Between Dates]", "min(nseperc)  AS [Lowest % DelyQty]",
     "min(bseperc) AS [Lowest % DelyQty]", "min(nseperc) AS [NSELowest % DelyQty],min(bseperc) AS [BSELowest % DelyQty]"},
    {"Combined Report",
     "round(avg(nsetrdqty),0) AS AvgTradingQty,round(avg(nsedelyqty),0) AS AvgDeliveryQty,"
     "round(avg(nseperc),2) AS [Avg % Dely],max(nsedelyqty) AS HighestDelyQty,min(nsedelyqty) AS LowestDelyQty,"
     "max(nsetrdqty) AS HighestVolume,min(nsetrdqty) AS LowestVolume",
     "round(avg(bsetrdqty),0) AS AvgTradingQty,round(avg(bsedelyqty),0) AS AvgDeliveryQty,"
     "round(avg(bseperc),2) AS [Avg % Dely],max(bsedelyqty) AS HighestDelyQty,min(bsedelyqty) AS LowestDelyQty,"
     "max(bsetrdqty) AS HighestVolume,min(bsetrdqty) AS LowestVolume",
     "round(avg(TotalTrdqty),0) AS AvgTradingQty,round(avg(TotalDelyQty),0) AS AvgDeliveryQty,"
     "round(avg(TotalDelyPerc),2) AS [Avg % Dely],max(TotalDelyQty) AS HighestDelyQty,"
     "min(TotalDelyQty) AS LowestDelyQty,max(TotalTrdqty) AS HighestVolume,min(TotalTrdqty) AS LowestVolume,"
     "round(val(iif(max(nseclprice)>0,max(nseclprice),max(bseclprice))),2) as HighPrice,"
     "round(val(iif(min(nseclprice)>0,min(nseclprice),min(bseclprice))),2)  as LowPrice"},
};

// The combined figures of the day table, worked out from a day's mto row.
const struct {
    const char* column;
    const char* figure;
} kCombinedDayFigures[] = {
    {"TotalTrdqty", "(mto.bsetrdqty+mto.nsetrdqty)"},
    {"TotalDelyQty", "(mto.bsedelyqty+mto.nsedelyqty)"},
    {"TotalDelyPerc", "round(((mto.BSEDelyQty + mto.NSEDelyQty) * 100) / (mto.BSETrdQty + mto.NSETrdQty), 2)"},
};

// The result straight from the day rows of mto: each scrip's figures
// gathered in one pass, its company joined on the result. The day table
// groups by company; where two scrips share a company name that grouping
// joins them, and the day table is made after all.
std::optional<BranchResult> averagesFromDayRows(RunContext& context, const QString& columns)
{
    const RunState& state = context.state;
    if (!context.db.query(QStringLiteral("SELECT 1 FROM ScripMaster GROUP BY company HAVING count(*) > 1 LIMIT 1")).isEmpty())
        return std::nullopt;
    SummarySource source;
    source.first = state.firstDate;
    source.last = state.requireSecondDate();
    source.condition = Sql(state.exchange == Exchange::Bse ? " and trim(mto.bsescriptcode) <> ''"
                                                           : " and trim(mto.nsescriptcode) <> ''") +
                       state.scripFilter +
                       state.andRangeCondition(MeasureColumns::ofMto(state.exchange, QStringLiteral("mto"))) +
                       state.groupFilter;
    QString figures = columns;
    for (const auto& day : kCombinedDayFigures)
        figures.replace(QRegularExpression(QStringLiteral("\\b%1\\b").arg(QLatin1String(day.column)),
                                           QRegularExpression::CaseInsensitiveOption),
                        QLatin1String(day.figure));
    const auto summary = WindowSummary::compute(context.db, QStringLiteral("averages"), figures, source);
    if (!summary)
        return std::nullopt;
    return BranchResult::result(Sql(QStringLiteral("SELECT scripmaster.company as Stock,") + summary->columns() +
                                    fillers(2) +
                                    QStringLiteral(" from %1 as t, scripmaster where scripmaster.srno = t.scriptcode"
                                                   " order by scripmaster.company")
                                        .arg(summary->table())));
}

// One row per scrip over the day rows of the window: the work table
// queryresult1 of the run's prologue grouped by company.
Branch averageBranch(const AverageQuery& query)
{
    return [query](RunContext& context) {
        const char* columns = query.nse;
        if (context.state.exchange == Exchange::Bse)
            columns = query.bse;
        else if (context.state.exchange == Exchange::Combined)
            columns = query.combined;
        if (auto fast = averagesFromDayRows(context, QString::fromUtf8(columns)))
            return *fast;
        makeAverageDayTable(context.db, context.state);
        return BranchResult::result(Sql(QStringLiteral("SELECT scrip as Stock,") + QString::fromUtf8(columns) +
                                        fillers(2) +
                                        QStringLiteral(" from queryresult1 group by scrip order by scrip")));
    };
}

// Whether a group name means every group: " All Stocks" in any letter case,
// trailing blanks ignored.
bool meansAllGroups(const QString& groupName)
{
    QString name = groupName.toLower();
    while (name.endsWith(QLatin1Char(' ')))
        name.chop(1);
    return name == QLatin1String(" all stocks");
}

BranchResult totalDeliveryValueGroupWise(RunContext& context)
{
    const RunState& state = context.state;
    const QDate secondDate = state.requireSecondDate();
    Sql groupClause;
    if (!meansAllGroups(state.groupName))
        groupClause = Sql(" and l.GrpCode in (select GroupCode from groupmaster where GroupName = ") +
                      Sql::value(state.groupName) + ")";
    // The day sums are made per group code first and named afterwards: the
    // grouping then sorts four figures per row instead of six and a name.
    SummarySource days;
    days.from = QStringLiteral("mto m cross join LinkDetails l");
    days.dayColumn = QStringLiteral("m.TransDate");
    days.scripColumn = QStringLiteral("m.scriptcode");
    days.first = state.firstDate;
    days.last = secondDate;
    days.condition = Sql(" and l.ScrCode = m.scriptcode") + groupClause;
    days.groupBy = QStringList{QStringLiteral("m.TransDate"), QStringLiteral("l.GrpCode")};
    // Each day row counts in every group of its scrip, met in the order of
    // the memberships.
    days.scripJoin = SummarySource::ScripJoin{
        QStringLiteral("l.GrpCode"),
        Sql("select l.ScrCode, l.GrpCode from LinkDetails l where 1=1") + groupClause + " order by l.ScrCode, l.rowid",
        QStringLiteral("mto m"), Sql()};
    return BranchResult::result(
        Sql("SELECT groupmaster.GroupName,t.transdate as transdate,"
            " round((t.nseTraded/10000000),2)  as [NSE Total TurnOver In Crs],"
            "round((t.nseDelivered/10000000),2)  as [NSE Total Dely Val In Crs],"
            "round((t.bseTraded/10000000),2) as [BSE Total TurnOver In Crs],"
            " round((t.bseDelivered/10000000),2)  as [BSE Total Dely Val In Crs],"
            "round((t.nseTraded/10000000),2)+round((t.bseTraded/10000000),2)  as [Total TurnOver In Crs],"
            "round((t.nseDelivered/10000000),2)+round((t.bseDelivered/10000000),2)  as [Total Dely Val In Crs]") +
        fillers(4) + " From " +
        summaryTable(context.db, QStringLiteral("groupwise"),
                     QStringLiteral("l.GrpCode as code, m.TransDate as transdate, sum(m.nsetrdqty * m.nseclprice) as nseTraded,"
                                    " sum(m.nsedelyqty * m.nseclprice) as nseDelivered, sum(m.bsetrdqty * m.bseclprice) as bseTraded,"
                                    " sum(m.bsedelyqty * m.bseclprice) as bseDelivered"),
                     days) +
        " as t, groupmaster where groupmaster.GroupCode = t.code"
        " order by  groupmaster.groupname,t.transdate  desc");
}

}  // namespace

bool makesItsOwnDayTable(const QString& label)
{
    return std::any_of(std::begin(kAverageQueries), std::end(kAverageQueries),
                       [&label](const AverageQuery& query) { return label == QString::fromUtf8(query.label); });
}

void registerAverageBranches(BranchRegistry& registry)
{
    for (const auto& query : kAverageQueries)
        registry.add(QString::fromUtf8(query.label), averageBranch(query));
    registry.add(QStringLiteral("Total Delivery Value - GroupWise"), totalDeliveryValueGroupWise);
}

}  // namespace query
