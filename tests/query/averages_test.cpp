#include "marketfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RangeMeasure;
using query::RunStatus;
using F = MarketFixture;

namespace {

const QString kAverageTraded = QStringLiteral("Average Traded Quantity [Between Dates]");
const QString kAverageDelivered = QStringLiteral("Average Delivery Quantity [Between Dates]");
const QString kCombinedReport = QStringLiteral("Combined Report");
const QString kNoBreak = QString(QChar(0x00A0));

class AverageQueries : public ::testing::Test {
protected:
    MarketFixture market;
};

TEST_F(AverageQueries, NseAverageCoversEveryDayOfTheWindowForNseListedScrips)
{
    const auto outcome = market.run(F::inputs(1, kAverageTraded, F::D1, F::D3));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome), (QStringList{"Stock", "AvgTradingQty", kNoBreak, kNoBreak + kNoBreak}));
    // Epsilon has no NSE code; Zeta traded on one day of the window only.
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Alpha Ltd", "Beta Ltd", "Delta Ltd", "Gamma Ltd", "Zeta Ltd"}));
    const auto averages = numbers(outcome, "AvgTradingQty");
    EXPECT_DOUBLE_EQ(averages[0], 900 * F::kLot);
    EXPECT_DOUBLE_EQ(averages[1], 700 * F::kLot);
    EXPECT_NEAR(averages[2], 500.0 / 3 * F::kLot, 1e-6);  // not rounded
    EXPECT_NEAR(averages[3], 1700.0 / 3 * F::kLot, 1e-6);
    EXPECT_DOUBLE_EQ(averages[4], 99999 * F::kLot);
}

TEST_F(AverageQueries, DatesGivenNewestLastGiveTheSameWindow)
{
    const auto forward = market.run(F::inputs(1, kAverageTraded, F::D3, F::D1));
    ASSERT_EQ(forward.status, RunStatus::Completed);
    EXPECT_EQ(numbers(forward, "AvgTradingQty").first(), 900 * F::kLot);
}

TEST_F(AverageQueries, BseAverageUsesBseListedScripsAndBseFigures)
{
    const auto outcome = market.run(F::inputs(1, kAverageDelivered, F::D1, F::D3, Exchange::Bse));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Alpha Ltd", "Beta Ltd", "Epsilon Ltd", "Gamma Ltd", "Zeta Ltd"}));
    const auto averages = numbers(outcome, "AvgDeliveryQty");
    EXPECT_NEAR(averages[0], 500.0 / 3 * F::kLot, 1e-6);
    EXPECT_NEAR(averages[2], 750.0 / 3 * F::kLot, 1e-6);
}

TEST_F(AverageQueries, HighestAndLowestPickTheExtremesOfTheWindow)
{
    auto outcome = market.run(F::inputs(1, QStringLiteral("Highest Delivery Quantity [Between Dates]"), F::D1, F::D3));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(numbers(outcome, "HighestDelyQty").mid(0, 4), (QList<double>{400 * F::kLot, 300 * F::kLot, 100 * F::kLot, 600 * F::kLot}));
    outcome = market.run(F::inputs(1, QStringLiteral("Lowest % Delivery Quantity [Between Dates]"), F::D1, F::D3, Exchange::Combined));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(headings(outcome).mid(0, 3), (QStringList{"Stock", "NSELowest % DelyQty", "BSELowest % DelyQty"}));
    EXPECT_EQ(numbers(outcome, "BSELowest % DelyQty").first(), 25);
}

TEST_F(AverageQueries, AveragePercentageRoundsHalvesToEven)
{
    // Alpha's NSE delivery percentage is 40.125 on every day: Jet rounds the
    // half down to the even 40.12 where SQLite's own round gives 40.13.
    const auto outcome = market.run(F::inputs(1, QStringLiteral("Average % Delivery Quantity [Between Dates]"), F::D1, F::D3));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_DOUBLE_EQ(numbers(outcome, "Avg % Dely").first(), 40.12);
}

TEST_F(AverageQueries, CombinedReportWorksOnTotalsAndSurvivesADayWithoutTrades)
{
    const auto outcome = market.run(F::inputs(1, kCombinedReport, F::D1, F::D3, Exchange::Combined));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome).mid(0, 10),
              (QStringList{"Stock", "AvgTradingQty", "AvgDeliveryQty", "Avg % Dely", "HighestDelyQty", "LowestDelyQty",
                           "HighestVolume", "LowestVolume", "HighPrice", "LowPrice"}));
    ASSERT_EQ(outcome.rows.size(), 5);
    // Alpha: totals 1500/650, 1300/460, 1100/470; percentages 43.33, 35.38, 42.73.
    EXPECT_DOUBLE_EQ(outcome.rows.value(0, "AvgTradingQty").toDouble(), 1300 * F::kLot);
    EXPECT_DOUBLE_EQ(outcome.rows.value(0, "AvgDeliveryQty").toDouble(), 526667);
    EXPECT_DOUBLE_EQ(outcome.rows.value(0, "Avg % Dely").toDouble(), 40.48);
    EXPECT_DOUBLE_EQ(outcome.rows.value(0, "HighestVolume").toDouble(), 1500 * F::kLot);
    EXPECT_DOUBLE_EQ(outcome.rows.value(0, "HighPrice").toDouble(), 100);
    EXPECT_DOUBLE_EQ(outcome.rows.value(0, "LowPrice").toDouble(), 90);
    // Delta traded nothing on D1: that day has no percentage and the average
    // is taken over the other two (10 and 50), instead of the run failing.
    EXPECT_EQ(outcome.rows.value(2, "Stock").toString(), "Delta Ltd");
    EXPECT_DOUBLE_EQ(outcome.rows.value(2, "Avg % Dely").toDouble(), 30);
}

TEST_F(AverageQueries, RangeFilterKeepsOnlyTheDaysInRange)
{
    auto in = F::inputs(1, kAverageTraded, F::D1, F::D3);
    in.range(RangeMeasure::Price) = {true, 50, 100};
    auto outcome = market.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Alpha Ltd", "Beta Ltd"}));

    // Both exchanges: the price is the NSE close, or the BSE close without one.
    in = F::inputs(1, kCombinedReport, F::D1, F::D3, Exchange::Combined);
    in.range(RangeMeasure::Price) = {true, 20, 60};
    outcome = market.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Beta Ltd", "Gamma Ltd"}));
}

TEST_F(AverageQueries, GroupAndScripChoicesNarrowTheScrips)
{
    auto in = F::inputs(1, kAverageTraded, F::D1, F::D3);
    in.groupCode = QStringLiteral("BANK      ");  // as the fixed-width field holds it
    in.groupName = QStringLiteral("Banks");
    auto outcome = market.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Alpha Ltd", "Gamma Ltd"}));

    in = F::inputs(1, kAverageTraded, F::D1, F::D3);
    in.scripCodes = {2, 4};
    outcome = market.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Beta Ltd", "Delta Ltd"}));
}

TEST_F(AverageQueries, AGroupNameWithAQuoteIsHarmless)
{
    market.db().exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('Q''T', 'Bob''s picks')"));
    market.db().exec(QStringLiteral("INSERT INTO LinkDetails VALUES ('Q''T', 2)"));
    auto in = F::inputs(1, kAverageTraded, F::D1, F::D3);
    in.groupCode = QStringLiteral("Q'T");
    in.groupName = QStringLiteral("Bob's picks");
    const auto outcome = market.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Stock"), QStringList{"Beta Ltd"});
}

TEST_F(AverageQueries, AverageWithoutASecondDateIsRefused)
{
    const auto outcome = market.run(F::inputs(1, kAverageTraded, F::D1));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, "Select A Valid Date");
}

class GroupWiseDeliveryValue : public ::testing::Test {
protected:
    MarketFixture market;
    const QString label = QStringLiteral("Total Delivery Value - GroupWise");
};

TEST_F(GroupWiseDeliveryValue, AllStocksListsEveryGroupByDayNewestFirst)
{
    const auto outcome = market.run(F::inputs(7, label, F::D1, F::D2, Exchange::Combined));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "GroupName"), (QStringList{" All Stocks", " All Stocks", "Banks", "Banks"}));
    EXPECT_EQ(outcome.rows.value(0, "transdate").toDate(), F::D1);  // dates stay dates
    EXPECT_EQ(outcome.rows.value(3, "transdate").toDate(), F::D2);
    // Banks on D1: NSE 1,000,000 x 100 + 800,000 x 20 traded, 400,000 x 100
    // + 600,000 x 20 delivered; BSE 500,000 x 101 traded, 250,000 x 101
    // delivered (2.525 crores, rounded half to even).
    EXPECT_DOUBLE_EQ(outcome.rows.value(2, "NSE Total TurnOver In Crs").toDouble(), 11.6);
    EXPECT_DOUBLE_EQ(outcome.rows.value(2, "NSE Total Dely Val In Crs").toDouble(), 5.2);
    EXPECT_DOUBLE_EQ(outcome.rows.value(2, "BSE Total Dely Val In Crs").toDouble(), 2.52);
    EXPECT_DOUBLE_EQ(outcome.rows.value(2, "Total TurnOver In Crs").toDouble(), 16.65);
    EXPECT_DOUBLE_EQ(outcome.rows.value(2, "Total Dely Val In Crs").toDouble(), 7.72);
}

TEST_F(GroupWiseDeliveryValue, ANamedGroupListsOnlyThatGroup)
{
    auto in = F::inputs(7, label, F::D2, F::D1, Exchange::Nse);
    in.groupCode = QStringLiteral("BANK");
    in.groupName = QStringLiteral("Banks");
    const auto outcome = market.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "GroupName"), (QStringList{"Banks", "Banks"}));
}

}  // namespace
