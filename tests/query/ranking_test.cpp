#include "marketfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RangeMeasure;
using query::RunStatus;
using F = MarketFixture;

namespace {

class RankingQueries : public ::testing::Test {
protected:
    MarketFixture market;

    query::RunOutcome rank(const QString& label, Exchange exchange, const QString& n)
    {
        return market.run(F::inputs(4, label, F::D1, {}, exchange, n));
    }
};

TEST_F(RankingQueries, TopNKeepsEveryScripTiedWithTheNth)
{
    const auto outcome = rank(QStringLiteral("Top N Traded Quantity"), Exchange::Nse, QStringLiteral("2"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome).mid(0, 3), (QStringList{"Stock", "TradedQty", "PrevTradedQty"}));
    EXPECT_EQ(headings(outcome).at(3), QString(2, QChar(0x00A0)));
    // Beta and Gamma share the second place; Zeta's huge day has no previous day.
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Alpha Ltd", "Beta Ltd", "Gamma Ltd"}));
    EXPECT_EQ(numbers(outcome, "PrevTradedQty"), (QList<double>{900 * F::kLot, 600 * F::kLot, 400 * F::kLot}));
    EXPECT_EQ(outcome.state.secondDate, F::D2);
}

TEST_F(RankingQueries, BottomNOfOneExchangeSkipsScripsWithoutTheFigure)
{
    auto outcome = rank(QStringLiteral("Bottom N Traded Quantity"), Exchange::Nse, QStringLiteral("2"));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Beta Ltd", "Gamma Ltd"}));

    // Both exchanges: no such guard, a scrip that traded nothing comes first.
    outcome = rank(QStringLiteral("Bottom N Traded Quantity"), Exchange::Combined, QStringLiteral("1"));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), QStringList{"Delta Ltd"});
    EXPECT_EQ(headings(outcome).mid(1, 2), (QStringList{"TotalTradedQty", "PrevTotalTradedQty"}));
}

TEST_F(RankingQueries, BsePercentageTies)
{
    const auto outcome = rank(QStringLiteral("Top N % Delivery Quantity"), Exchange::Bse, QStringLiteral("1"));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Alpha Ltd", "Beta Ltd", "Epsilon Ltd"}));
    EXPECT_EQ(numbers(outcome, "Prev % Delivery"), (QList<double>{25, 20, 20}));
}

TEST_F(RankingQueries, CombinedPercentageOfBothExchanges)
{
    const auto outcome = rank(QStringLiteral("Top N % Delivery Quantity"), Exchange::Combined, QStringLiteral("2"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome),
              (QStringList{"Stock", "TotalDelyQty%", "Prev % Delivery", QString(QChar(0x00A0))}));
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Gamma Ltd", "Epsilon Ltd"}));
    EXPECT_EQ(numbers(outcome, "TotalDelyQty%"), (QList<double>{75, 50}));
    EXPECT_EQ(numbers(outcome, "Prev % Delivery"), (QList<double>{30, 20}));  // Gamma 150 of 500
}

TEST_F(RankingQueries, RangeAndGroupFiltersApplyToTheDay)
{
    auto in = F::inputs(4, QStringLiteral("Top N Delivery Quantity"), F::D1, {}, Exchange::Combined, QStringLiteral("5"));
    in.range(RangeMeasure::Price) = {true, 20, 60};
    auto outcome = market.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Gamma Ltd", "Beta Ltd"}));
    EXPECT_EQ(numbers(outcome, "TotalDeliveryQty"), (QList<double>{600 * F::kLot, 325 * F::kLot}));
    EXPECT_EQ(numbers(outcome, "PrevTotalDelyQty"), (QList<double>{150 * F::kLot, 320 * F::kLot}));

    // The bounds apply to the day's figures, not the previous day's.
    in = F::inputs(4, QStringLiteral("Bottom N Delivery Quantity"), F::D1, {}, Exchange::Nse, QStringLiteral("5"));
    in.range(RangeMeasure::DeliveryQty) = {true, 300 * F::kLot, 9999999999.0};
    outcome = market.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Alpha Ltd", "Gamma Ltd"}));

    in = F::inputs(4, QStringLiteral("Top N Traded Quantity"), F::D1, {}, Exchange::Nse, QStringLiteral("5"));
    in.groupCode = QStringLiteral("BANK");
    outcome = market.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Alpha Ltd", "Gamma Ltd"}));
}

TEST_F(RankingQueries, DeliveryValueInCroresRoundsHalvesToEven)
{
    auto outcome = rank(QStringLiteral("Top N by Delivery Value"), Exchange::Nse, QStringLiteral("3"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Alpha Ltd", "Gamma Ltd", "Beta Ltd"}));
    // Beta: 225,000 delivered at 50 is 1.125 crores.
    EXPECT_EQ(numbers(outcome, "Dely Value In Crs"), (QList<double>{4, 1.2, 1.12}));
    EXPECT_EQ(numbers(outcome, "PrevDelyValueInCrs"), (QList<double>{3.42, 0.25, 1.65}));
    EXPECT_EQ(numbers(outcome, "TodaysPrice"), (QList<double>{100, 20, 50}));

    outcome = rank(QStringLiteral("Top N by Delivery Value"), Exchange::Combined, QStringLiteral("2"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    // Epsilon trades on BSE only: 350,000 at 300; Alpha 6.525 crores on both.
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Epsilon Ltd", "Alpha Ltd"}));
    EXPECT_EQ(numbers(outcome, "Dely Value In Crs"), (QList<double>{10.5, 6.52}));
    EXPECT_EQ(numbers(outcome, "TodaysPrice"), (QList<double>{0, 100}));
}

TEST_F(RankingQueries, TopNCombinedQueryIsNumberedByDeliveryPercentage)
{
    const auto outcome = rank(QStringLiteral("Top N Combined Query"), Exchange::Nse, QStringLiteral("3"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(outcome.viewerSelect, "select * from QueryResult order by srno");
    EXPECT_EQ(texts(outcome, "NameOfSecurity"), (QStringList{"Gamma Ltd", "Alpha Ltd", "Beta Ltd"}));
    EXPECT_EQ(numbers(outcome, "SrNo"), (QList<double>{1, 2, 3}));
    EXPECT_EQ(numbers(outcome, "NetChangeInRsTerms"), (QList<double>{-5, 5, -5}));
    // The numbers are in the table itself, for the viewer's refresh and print.
    EXPECT_EQ(market.db().scalar(QStringLiteral("SELECT SrNo FROM QueryResult WHERE NameOfSecurity = 'Beta Ltd'")).toInt(), 3);
}

TEST_F(RankingQueries, TopNCombinedQueryRefusesBothExchanges)
{
    const auto outcome = rank(QStringLiteral("Top N Combined Query"), Exchange::Combined, QStringLiteral("3"));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, "Option Not Allowed");
    EXPECT_EQ(outcome.icon, ui::Icon::Critical);
    EXPECT_FALSE(market.db().tableExists(QStringLiteral("QueryResult")));
}

TEST_F(RankingQueries, RankingNeedsAPreviousTradingDayAndANumber)
{
    auto outcome = market.run(F::inputs(4, QStringLiteral("Top N Traded Quantity"), F::D5, {}, Exchange::Nse, "3"));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, "There are not enough trading days before 01/Jan/2024 for this query.");

    outcome = market.run(F::inputs(4, QStringLiteral("Top N Traded Quantity"), QDate(2024, 1, 6), {}, Exchange::Nse, "3"));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, "06/Jan/2024 is not a trading day.");
}

TEST_F(RankingQueries, TradesRangeIsRefusedInsteadOfGivingNothing)
{
    auto in = F::inputs(4, QStringLiteral("Top N Traded Quantity"), F::D1, {}, Exchange::Nse, QStringLiteral("3"));
    in.range(RangeMeasure::Trades) = {true, 1, 100};
    const auto outcome = market.run(in);
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, query::refusals::noTradesData());
}

}  // namespace
