#include "marketfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RangeMeasure;
using query::RunStatus;
using F = MarketFixture;

namespace {

const QString kNoBreak = QString(QChar(0x00A0));

// The average queries over 3 to 5 January of MarketFixture.
query::RunInputs average(const char* label, Exchange exchange = Exchange::Nse, const QDate& first = F::D1,
                         const QDate& second = F::D3)
{
    return F::inputs(1, QString::fromLatin1(label), first, second, exchange);
}

TEST(AverageQueries, AveragesHighsAndLowsOfTheWindow)
{
    MarketFixture market;
    const char* const traded = "Average Traded Quantity [Between Dates]";
    const Numbers tradedAverages{900000, 700000, 500000.0 / 3, 1700000.0 / 3, 99999000};
    expectRuns(
        market,
        {// Epsilon has no NSE code; Zeta traded on one day of the window only;
         // averages are not rounded.
         {average(traded), {"Stock", "AvgTradingQty", kNoBreak, kNoBreak + kNoBreak},
          {{"Stock", Texts{"Alpha Ltd", "Beta Ltd", "Delta Ltd", "Gamma Ltd", "Zeta Ltd"}},
           {"AvgTradingQty", tradedAverages}}},
         // Dates given newest last give the same window.
         {average(traded, Exchange::Nse, F::D3, F::D1), {}, {{"AvgTradingQty", tradedAverages}}},
         {average("Average Delivery Quantity [Between Dates]", Exchange::Bse), {},
          {{"Stock", Texts{"Alpha Ltd", "Beta Ltd", "Epsilon Ltd", "Gamma Ltd", "Zeta Ltd"}},
           {"AvgDeliveryQty", Numbers{500000.0 / 3, 50000, 250000, 70000.0 / 3, 99999000}}}},
         {average("Highest Delivery Quantity [Between Dates]"), {},
          {{"HighestDelyQty", Numbers{400000, 300000, 100000, 600000, 99999000}}}},
         // Both exchanges list the scrips with an NSE code.
         {average("Lowest % Delivery Quantity [Between Dates]", Exchange::Combined),
          {"Stock", "NSELowest % DelyQty", "BSELowest % DelyQty"},
          {{"Stock", Texts{"Alpha Ltd", "Beta Ltd", "Delta Ltd", "Gamma Ltd", "Zeta Ltd"}},
           {"BSELowest % DelyQty", Numbers{25, 20, 0, 0, 100}}}},
         // Alpha's NSE delivery percentage is 40.125 on every day: Jet rounds
         // the half down to the even 40.12 where SQLite's own round gives 40.13.
         {average("Average % Delivery Quantity [Between Dates]"), {},
          {{"Avg % Dely", Numbers{40.12, 31.67, 20, 50, 100}}}},
         // The range keeps only the days in range; on both exchanges the price
         // is the NSE close, or the BSE close without one.
         {inRange(average(traded), RangeMeasure::Price, 50, 100), {}, {{"Stock", Texts{"Alpha Ltd", "Beta Ltd"}}}},
         {inRange(average("Combined Report", Exchange::Combined), RangeMeasure::Price, 20, 60), {},
          {{"Stock", Texts{"Beta Ltd", "Gamma Ltd"}}}},
         // The group code as the fixed-width field holds it.
         {inGroup(average(traded), "BANK      "), {}, {{"Stock", Texts{"Alpha Ltd", "Gamma Ltd"}}}},
         {onScrips(average(traded), {2, 4}), {}, {{"Stock", Texts{"Beta Ltd", "Delta Ltd"}}}},
         {average(traded, Exchange::Nse, F::D1, {}), {}, {}, "Select A Valid Date"}});

    // A group name with a quote is harmless.
    market.db().exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('Q''T', 'Bob''s picks')"));
    market.db().exec(QStringLiteral("INSERT INTO LinkDetails VALUES ('Q''T', 2)"));
    auto in = inGroup(average(traded), "Q'T");
    in.groupName = QStringLiteral("Bob's picks");
    expectRuns(market, {{in, {}, {{"Stock", Texts{"Beta Ltd"}}}}});
}

TEST(AverageQueries, CombinedReportWorksOnTotalsAndSurvivesADayWithoutTrades)
{
    MarketFixture market;
    const auto outcome = market.run(average("Combined Report", Exchange::Combined));
    expectRun(outcome,
              {"Stock", "AvgTradingQty", "AvgDeliveryQty", "Avg % Dely", "HighestDelyQty", "LowestDelyQty",
               "HighestVolume", "LowestVolume", "HighPrice", "LowPrice"},
              {{"Stock", Texts{"Alpha Ltd", "Beta Ltd", "Delta Ltd", "Gamma Ltd", "Zeta Ltd"}}});
    // Alpha: totals 1500/650, 1300/460, 1100/470; percentages 43.33, 35.38, 42.73.
    EXPECT_DOUBLE_EQ(outcome.rows.value(0, "AvgTradingQty").toDouble(), 1300 * F::kLot);
    EXPECT_DOUBLE_EQ(outcome.rows.value(0, "AvgDeliveryQty").toDouble(), 526667);
    EXPECT_DOUBLE_EQ(outcome.rows.value(0, "Avg % Dely").toDouble(), 40.48);
    EXPECT_DOUBLE_EQ(outcome.rows.value(0, "HighestVolume").toDouble(), 1500 * F::kLot);
    EXPECT_DOUBLE_EQ(outcome.rows.value(0, "HighPrice").toDouble(), 100);
    EXPECT_DOUBLE_EQ(outcome.rows.value(0, "LowPrice").toDouble(), 90);
    // Delta traded nothing on D1: that day has no percentage and the average
    // is taken over the other two (10 and 50), instead of the run failing.
    EXPECT_DOUBLE_EQ(outcome.rows.value(2, "Avg % Dely").toDouble(), 30);
}

TEST(GroupWiseDeliveryValue, EachGroupByDayNewestFirst)
{
    MarketFixture market;
    const QString label = QStringLiteral("Total Delivery Value - GroupWise");
    const auto outcome = market.run(F::inputs(7, label, F::D1, F::D2, Exchange::Combined));
    expectRun(outcome, {}, {{"GroupName", Texts{" All Stocks", " All Stocks", "Banks", "Banks"}}});
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

    // A named group lists only that group.
    auto in = F::inputs(7, label, F::D2, F::D1, Exchange::Nse);
    in.groupCode = QStringLiteral("BANK");
    in.groupName = QStringLiteral("Banks");
    expectRun(market.run(in), {}, {{"GroupName", Texts{"Banks", "Banks"}}});
}

}  // namespace
