#include "marketfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RangeMeasure;
using query::RunStatus;
using F = MarketFixture;

namespace {

// The rankings of the last day of MarketFixture against the day before.
TEST(RankingQueries, TopAndBottomNWithTiesFiltersAndValues)
{
    MarketFixture market;
    auto rank = [](const char* label, Exchange exchange, const char* n) {
        return F::inputs(4, QString::fromLatin1(label), F::D1, {}, exchange, QString::fromLatin1(n));
    };
    const QList<RunCase> cases{
        // Beta and Gamma share the second place; Zeta's huge day has no previous day.
        {rank("Top N Traded Quantity", Exchange::Nse, "2"), {"Stock", "TradedQty", "PrevTradedQty", QString(2, QChar(0x00A0))},
         {{"Stock", Texts{"Alpha Ltd", "Beta Ltd", "Gamma Ltd"}}, {"PrevTradedQty", Numbers{900000, 600000, 400000}}}},
        // One exchange skips scrips without the figure; both exchanges have no
        // such guard, so a scrip that traded nothing comes first.
        {rank("Bottom N Traded Quantity", Exchange::Nse, "2"), {}, {{"Stock", Texts{"Beta Ltd", "Gamma Ltd"}}}},
        {rank("Bottom N Traded Quantity", Exchange::Combined, "1"), {"Stock", "TotalTradedQty", "PrevTotalTradedQty"},
         {{"Stock", Texts{"Delta Ltd"}}}},
        {rank("Top N % Delivery Quantity", Exchange::Bse, "1"), {},
         {{"Stock", Texts{"Alpha Ltd", "Beta Ltd", "Epsilon Ltd"}}, {"Prev % Delivery", Numbers{25, 20, 20}}}},
        // Gamma: 150 of 500 the day before.
        {rank("Top N % Delivery Quantity", Exchange::Combined, "2"),
         {"Stock", "TotalDelyQty%", "Prev % Delivery", QString(QChar(0x00A0))},
         {{"Stock", Texts{"Gamma Ltd", "Epsilon Ltd"}}, {"TotalDelyQty%", Numbers{75, 50}},
          {"Prev % Delivery", Numbers{30, 20}}}},
        // Range and group filters apply to the day's figures, not the previous day's.
        {inRange(rank("Top N Delivery Quantity", Exchange::Combined, "5"), RangeMeasure::Price, 20, 60), {},
         {{"Stock", Texts{"Gamma Ltd", "Beta Ltd"}}, {"TotalDeliveryQty", Numbers{600000, 325000}},
          {"PrevTotalDelyQty", Numbers{150000, 320000}}}},
        {inRange(rank("Bottom N Delivery Quantity", Exchange::Nse, "5"), RangeMeasure::DeliveryQty, 300000, 9999999999.0),
         {}, {{"Stock", Texts{"Alpha Ltd", "Gamma Ltd"}}}},
        {inGroup(rank("Top N Traded Quantity", Exchange::Nse, "5"), "BANK"), {}, {{"Stock", Texts{"Alpha Ltd", "Gamma Ltd"}}}},
        // Crores rounded half to even: Beta's 225,000 delivered at 50 is 1.125.
        {rank("Top N by Delivery Value", Exchange::Nse, "3"), {},
         {{"Stock", Texts{"Alpha Ltd", "Gamma Ltd", "Beta Ltd"}}, {"Dely Value In Crs", Numbers{4, 1.2, 1.12}},
          {"PrevDelyValueInCrs", Numbers{3.42, 0.25, 1.65}}, {"TodaysPrice", Numbers{100, 20, 50}}}},
        // Epsilon trades on BSE only: 350,000 at 300; Alpha 6.525 crores on both.
        {rank("Top N by Delivery Value", Exchange::Combined, "2"), {},
         {{"Stock", Texts{"Epsilon Ltd", "Alpha Ltd"}}, {"Dely Value In Crs", Numbers{10.5, 6.52}},
          {"TodaysPrice", Numbers{0, 100}}}},
        // Numbered by delivery percentage.
        {rank("Top N Combined Query", Exchange::Nse, "3"), {},
         {{"NameOfSecurity", Texts{"Gamma Ltd", "Alpha Ltd", "Beta Ltd"}}, {"SrNo", Numbers{1, 2, 3}},
          {"NetChangeInRsTerms", Numbers{-5, 5, -5}}}},
    };
    for (const RunCase& c : cases) {
        const auto outcome = market.run(c.inputs);
        expectRun(outcome, c);
        EXPECT_EQ(outcome.state.secondDate, F::D2) << describe(c.inputs);
    }
    // The numbers are in the table itself, for the viewer's refresh and print.
    EXPECT_EQ(market.db().scalar(QStringLiteral("SELECT SrNo FROM QueryResult WHERE NameOfSecurity = 'Beta Ltd'")).toInt(), 3);
    EXPECT_EQ(market.run(rank("Top N Combined Query", Exchange::Nse, "3")).viewerSelect,
              "select * from QueryResult order by srno");

    // Refusals.
    auto outcome = market.run(rank("Top N Combined Query", Exchange::Combined, "3"));
    EXPECT_EQ(outcome.message, "Option Not Allowed");
    EXPECT_EQ(outcome.icon, ui::Icon::Critical);
    EXPECT_FALSE(market.db().tableExists(QStringLiteral("QueryResult")));
    const auto top = rank("Top N Traded Quantity", Exchange::Nse, "3");
    expectRuns(market, {{onDay(top, F::D5), {}, {}, "There are not enough trading days before 01/Jan/2024 for this query."},
                        {onDay(top, {2024, 1, 6}), {}, {}, "06/Jan/2024 is not a trading day."},
                        {inRange(rank("Top N Traded Quantity", Exchange::Nse, "3"), RangeMeasure::Trades, 1, 100), {}, {},
                         query::refusals::noTradesData()}});
}

}  // namespace
