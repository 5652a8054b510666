#include "marketfixture.h"

#include "query/catalogue.h"
#include "query/tradingcalendar.h"

#include <QSet>
#include <gtest/gtest.h>

using query::Exchange;
using query::RunStatus;
using F = MarketFixture;

namespace {

TEST(Catalogue, NineGroupsWithTheirListsInOrder)
{
    const auto& groups = query::queryGroups();
    ASSERT_EQ(groups.size(), 9);
    QList<int> sizes;
    for (const auto& group : groups)
        sizes.append(static_cast<int>(group.labels.size()));
    EXPECT_EQ(sizes, (QList<int>{8, 16, 8, 8, 6, 20, 14, 32, 8}));
    EXPECT_EQ(query::queryGroup(4).caption, "Top && Bottom Queries");
    EXPECT_EQ(query::queryGroup(1).labels.first(), "Average Traded Quantity [Between Dates]");
    // The combined scans decode their conditions from these positions.
    EXPECT_EQ(query::labelPosition(6, "Falling price & Falling % Delivery Quantity"), 15);
    EXPECT_EQ(query::labelPosition(6, "Rising Traded Qty, Rising Delivery Qty, Falling Price"), 17);
    EXPECT_EQ(query::labelPosition(9, "Delivery breakout with upward price (Avg)"), 4);
    EXPECT_EQ(query::labelPosition(8, "Delivery breakout with upward price (Avg)"), 2);
    EXPECT_EQ(query::labelPosition(5, "Top N Traded Quantity"), -1);
    EXPECT_EQ(query::queryGroup(9).combine, query::ControlChange::Disable);
    EXPECT_EQ(query::queryGroup(5).rangeFilters, query::ControlChange::Disable);
}

TEST(Catalogue, LabelsAreDistinctAndEveryOneIsRegistered)
{
    const QStringList labels = query::catalogueLabels();
    EXPECT_EQ(labels.size(), 114);
    TestStore store;
    query::QueryEngine engine(store.db());
    QStringList built;
    for (const QString& label : labels) {
        EXPECT_TRUE(engine.branches().contains(label)) << label.toStdString();
        if (engine.branches().isBuilt(label))
            built.append(label);
    }
    QStringList notBuilt = labels;
    for (const QString& label : built)
        notBuilt.removeAll(label);
    // Every query of the catalogue has its branch.
    EXPECT_EQ(notBuilt, QStringList{}) << notBuilt.join(QLatin1String(" | ")).toStdString();
    EXPECT_TRUE(built.contains("Top 5 Gainer & Loser"));
    EXPECT_TRUE(built.contains("Total Delivery Value - GroupWise"));
    EXPECT_TRUE(built.contains("Strev Query"));
}

class EngineRuns : public ::testing::Test {
protected:
    MarketFixture market;
    const QString topTraded = QStringLiteral("Top N Traded Quantity");

    query::RunOutcome completedRun()
    {
        auto outcome = market.run(F::inputs(4, topTraded, F::D1, {}, Exchange::Nse, "1"));
        EXPECT_EQ(outcome.status, RunStatus::Completed);
        return outcome;
    }
};

TEST_F(EngineRuns, ACompletedRunLeavesTheResultTableAndItsStatement)
{
    const auto outcome = completedRun();
    EXPECT_EQ(outcome.resultTable, "QueryResult");
    EXPECT_EQ(outcome.viewerSelect, "select * from QueryResult");
    EXPECT_EQ(market.db().query(outcome.viewerSelect).rows, outcome.rows.rows);
    // The kept statement has its values written in and makes the same rows again.
    EXPECT_TRUE(outcome.lastQuerySql.contains("'2024-01-05'"));
    EXPECT_TRUE(outcome.lastQuerySql.contains("'2024-01-04'"));
    market.db().dropIfExists("again");
    market.db().makeTable("again", outcome.lastQuerySql);
    EXPECT_EQ(market.db().query("select * from again").rows, outcome.rows.rows);
    EXPECT_EQ(outcome.state.exchangeName, "NSE");
    EXPECT_EQ(outcome.state.groupName, " All Stocks");
}

TEST_F(EngineRuns, ARunThatDoesNotCompleteLeavesNoStaleResult)
{
    completedRun();
    ASSERT_TRUE(market.db().tableExists("QueryResult"));
    auto outcome = market.run(F::inputs(4, topTraded, QDate(), {}, Exchange::Nse, "1"));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, "Select A Valid Date");
    EXPECT_FALSE(market.db().tableExists("QueryResult"));

    completedRun();
    // An open-interest query without its options database is refused.
    outcome = market.run(F::inputs(7, "Ivro Query", F::D1, {}, Exchange::Nse, "3"));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_FALSE(market.db().tableExists("QueryResult"));
}

TEST_F(EngineRuns, SeparatorsStopQuietlyAndUnknownLabelsAreRefused)
{
    auto outcome = market.run(F::inputs(4, QString(25, '-'), F::D1));
    EXPECT_EQ(outcome.status, RunStatus::Stopped);
    EXPECT_TRUE(outcome.message.isEmpty());
    outcome = market.run(F::inputs(4, QString(53, '-'), F::D1));
    EXPECT_EQ(outcome.status, RunStatus::Stopped);

    outcome = market.run(F::inputs(4, "Top N Trades", F::D1, {}, Exchange::Nse, "3"));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, "There is no query \"Top N Trades\".");
    // Labels are compared exactly, letter case included.
    outcome = market.run(F::inputs(4, "top n traded quantity", F::D1, {}, Exchange::Nse, "3"));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    outcome = market.run(F::inputs(4, "", F::D1));
    EXPECT_EQ(outcome.message, "Select A Query");
}

TEST_F(EngineRuns, AFailingStatementIsReportedNotShownAsAnEmptyResult)
{
    market.db().exec("DROP TABLE hilo");
    const auto outcome = market.run(F::inputs(5, "52 Week High / Low", F::D1));
    EXPECT_EQ(outcome.status, RunStatus::Failed);
    EXPECT_TRUE(outcome.message.startsWith("The query could not be completed: ")) << outcome.message.toStdString();
    EXPECT_TRUE(outcome.message.contains("hilo"));
    EXPECT_EQ(outcome.icon, ui::Icon::Critical);
}

TEST_F(EngineRuns, ASecondRunReplacesTheFirstResult)
{
    completedRun();
    const auto outcome = market.run(F::inputs(5, "52 Week High / Low", F::D1));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(market.db().tableColumns("QueryResult").first().name, "Stock");
    EXPECT_EQ(market.db().tableColumns("QueryResult").at(1).name, "HighPrice");
}

TEST(RunStateFromInputs, SecondDateFromTheNumberOfDays)
{
    MarketFixture market;
    auto in = F::inputs(3, "Rising Price for N days", F::D1, F::D5, Exchange::Bse, "3");
    in.scripCodes = {12, 40};
    auto state = query::buildRunState(market.db(), in);
    EXPECT_EQ(state.secondDate, F::D3);  // D1 counts as the first of the three
    EXPECT_EQ(state.windowStart(), F::D3);
    EXPECT_EQ(state.dayPosition, 3);
    EXPECT_EQ(state.labelPosition, 6);
    EXPECT_EQ(state.scripCount, 2);
    EXPECT_EQ(state.scripFilter.text, " and scriptcode in (?,?)");
    EXPECT_EQ(state.scripFilter.params, (QVariantList{qint64(12), qint64(40)}));
    EXPECT_TRUE(state.groupFilter.text.isEmpty());

    // More days than the store holds: the chosen second date stays, and a
    // query that needs the window is refused instead of using it.
    in.numberText = "10";
    state = query::buildRunState(market.db(), in);
    EXPECT_EQ(state.secondDate, F::D5);
    EXPECT_THROW(state.windowStart(), query::Refusal);

    // The two "over previous day" delivery queries keep their percentage.
    in.label = "Abnormal Change in delivery qty over previous day";
    in.numberText = "250";
    state = query::buildRunState(market.db(), in);
    EXPECT_EQ(state.abnormalPercent, 250);
    EXPECT_EQ(in.numberText, "250");
}

TEST(RunStateFromInputs, RangeConditionsNameTheStatementsColumns)
{
    MarketFixture market;
    auto in = F::inputs(4, "Top N Traded Quantity", F::D1, {}, Exchange::Combined, "3");
    in.range(query::RangeMeasure::TradedQty) = query::RangeBox::fromTexts(true, "1,500", "2e3x");
    const auto state = query::buildRunState(market.db(), in);
    const query::Sql condition = state.rangeCondition(query::MeasureColumns::ofMto(Exchange::Combined, "m"));
    EXPECT_EQ(condition.text, " (m.nsetrdqty+m.bsetrdqty) >= ? and (m.nsetrdqty+m.bsetrdqty) <= ?");
    EXPECT_EQ(condition.params, (QVariantList{1.0, 2000.0}));
}

TEST(TradingDates, NewestFirstFromTheIndex)
{
    MarketFixture market;
    EXPECT_EQ(query::loadTradingDates(market.db()), (QList<QDate>{F::D1, F::D2, F::D3, F::D4, F::D5}));
    TestStore empty;
    EXPECT_TRUE(query::loadTradingDates(empty.db()).isEmpty());
}

}  // namespace
