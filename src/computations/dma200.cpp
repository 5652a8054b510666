// Crossings of the NSE close over its simple average of the last N trading
// days (200 by default) between the previous trading day and the query's
// day, for the scrips of the chosen group. The average is worked out in the
// statement itself over the days with a close (a day without a trade has no
// price); nothing is stored.

#include "computations/scanandsignalbranches.h"

#include "query/branch.h"
#include "query/plainstatements.h"
#include "query/windowsummary.h"
#include "store/database.h"

namespace computations {

namespace {

struct AverageCrossing {
    const char* label;
    bool upwards;  // rose through the average; otherwise fell through it
};

const AverageCrossing kCrossings[] = {
    {"200 day SMA Positive", true},
    {"200 day SMA Negative", false},
};

query::Branch crossingBranch(const AverageCrossing& crossing)
{
    return [crossing](query::RunContext& context) {
        using query::Sql;
        query::RunState& state = context.state;
        state.secondDate = state.previousTradingDay();
        // The period is the N trading days that end with the query's day.
        const QDate averageFrom = state.tradingDayBefore(state.count - 1);
        // The average goes through the chosen group's membership; "ALL" (or
        // no group) through the membership that lists every scrip.
        const QString groupCode = state.groupRestricts() ? state.groupCode : QStringLiteral("ALL");
        const Sql dayFilter = state.groupFilterOn(QStringLiteral("mto.scriptcode"));
        const QString change = QStringLiteral(
            "round((iif(a.nseclprice*100>0,a.nseclprice*100,0.01))/iif(c.avgprice>0,c.avgprice,1)-100,2)");
        // The average of each member scrip over the period. Read in one pass,
        // the membership is a test on each day row; a scrip linked to the
        // group twice counts each day twice in the statement, in an order the
        // one pass does not copy: then the statement works it out.
        query::SummarySource period;
        period.from = QStringLiteral("mto,linkdetails,groupmaster");
        period.dayColumn = QStringLiteral("transdate");
        period.scripColumn = QStringLiteral("scriptcode");
        period.first = averageFrom;
        period.last = state.firstDate;
        period.condition = Sql(" and GrpCode = ") + Sql::value(groupCode) +
                           " And LinkDetails.ScrCode = mto.scriptcode and groupcode = grpcode";
        period.groupBy = QStringList{QStringLiteral("scriptcode")};
        const QString averageList = QStringLiteral("round(avg(iif(nseclprice>0,nseclprice,null)),2) as AvgPrice,scriptcode");
        const bool linkedTwice = !context.db
                                      .query(QStringLiteral("SELECT 1 FROM LinkDetails WHERE GrpCode = ?"
                                                            " GROUP BY ScrCode HAVING count(*) > 1 LIMIT 1"),
                                             {groupCode})
                                      .isEmpty();
        query::SummarySource members = period;
        members.from = QStringLiteral("mto");
        members.condition = Sql(" and +mto.scriptcode in (select ScrCode from linkdetails, groupmaster where GrpCode = ") +
                            Sql::value(groupCode) + " and groupcode = grpcode)";
        const Sql averages = linkedTwice || query::plainStatementsOnly()
                                 ? Sql("(") + query::summaryStatement(averageList, period) + ")"
                                 : query::summaryTable(context.db, QStringLiteral("sma"), averageList, members);
        const char* tests = crossing.upwards
                                ? " a.nseclprice > b.nseclprice and b.nseclprice < c.avgprice and a.nseclprice > c.avgprice"
                                : " a.nseclprice < b.nseclprice and b.nseclprice > c.avgprice and a.nseclprice < c.avgprice";
        return query::BranchResult::result(
            Sql(QStringLiteral("SELECT scripmaster.nsescrip as Symbol,AvgPrice as [200Day SMA],a.nseclprice as Price,") +
                change + QStringLiteral(" as [%Change]") + query::fillers(4) +
                QStringLiteral(" From ( select nseclprice,scriptcode from mto where transdate = ")) +
            Sql::value(state.firstDate) + dayFilter + " ) a, ( select nseclprice,scriptcode from mto where transdate = " +
            Sql::value(state.secondDate) + dayFilter + " ) b, " + averages +
            " as c, scripmaster"
            " where a.scriptcode = b.scriptcode and a.scriptcode = c.scriptcode and a.scriptcode = srno and" +
            Sql(QString::fromLatin1(tests)) + " and c.avgprice > 0 order by " + Sql(change) +
            Sql(crossing.upwards ? " desc" : " asc") + ", scripmaster.nsescrip");
    };
}

}  // namespace

void registerDma200Branches(query::BranchRegistry& registry)
{
    for (const auto& crossing : kCrossings)
        registry.add(QString::fromLatin1(crossing.label), crossingBranch(crossing));
}

}  // namespace computations
