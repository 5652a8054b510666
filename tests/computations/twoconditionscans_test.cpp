#include "scanmarket.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RunStatus;
using scantest::headings;
using scantest::nbsp;
using scantest::numbers;
using scantest::ScanMarket;
using scantest::texts;

namespace {

using Figures = ScanMarket::Figures;

const QDate kQueryDay = ScanMarket::day(4);

// Four trading days (1 to 4); a window of N = 3 covers days 2 to 4. Each
// scrip's figures are given oldest first for days 2, 3 and 4.
class TwoConditionScans : public ::testing::Test {
protected:
    ScanMarket market;

    void addWindow(int code, const Figures (&nse)[3], const Figures (&bse)[3], bool skipMiddle = false)
    {
        market.addDay(code, ScanMarket::day(1), {1, 1, 1, 1}, {1, 1, 1, 1});
        for (int k = 0; k < 3; ++k)
            if (!(skipMiddle && k == 1))
                market.addDay(code, ScanMarket::day(k + 2), nse[k], bse[k]);
    }

    void SetUp() override
    {
        market.addScrip(1, QStringLiteral("Alpha Ltd"), QStringLiteral("ALPHA"), QStringLiteral("500001"));
        market.addScrip(2, QStringLiteral("Beta Ltd"), QStringLiteral("BETA"), QStringLiteral("500002"));
        market.addScrip(3, QStringLiteral("Gamma Ltd"), QStringLiteral("GAMMA"), QStringLiteral("500003"));
        market.addScrip(4, QStringLiteral("Delta Ltd"), QStringLiteral("DELTA"), QStringLiteral("500004"));
        // Traded and delivered rising, percentage flat, price falling.
        addWindow(1, {{100, 10, 10, 5}, {200, 20, 10, 4}, {300, 30, 10, 3}},
                  {{1, 1, 50, 9}, {2, 2, 50, 9}, {3, 3, 50, 9}});
        // Traded flat on the last step.
        addWindow(2, {{100, 10, 10, 5}, {200, 20, 10, 6}, {200, 30, 10, 7}}, {{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}});
        // Would pass, but has no row on day 3.
        addWindow(3, {{100, 10, 10, 5}, {200, 20, 10, 4}, {300, 30, 10, 3}}, {{1, 1, 1, 1}, {2, 2, 2, 2}, {3, 3, 3, 3}},
                  true);
        // Traded falling, delivered rising.
        addWindow(4, {{300, 10, 10, 5}, {200, 20, 10, 5}, {100, 30, 10, 5}}, {{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}});
    }

    query::RunInputs inputs(const char* label, Exchange exchange = Exchange::Nse, const QString& n = QStringLiteral("3"))
    {
        return market.inputs(6, QString::fromUtf8(label), kQueryDay, n, exchange);
    }
};

TEST_F(TwoConditionScans, ListsEveryDayOfTheScripsThatMovedStrictlyBothWays)
{
    QStringList progress;
    auto outcome = market.run(inputs("Rising Traded Qty and Rising Delivery Qty"), &progress);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome), (QStringList{"Stock", "TrnDate", "NSETrdQty", "NSEDelyQty", "NSEPrice", "BSETrdQty",
                                              "BSEDelQty", "BSEPrice"}));
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Alpha Ltd", "Alpha Ltd", "Alpha Ltd"}));
    ASSERT_EQ(outcome.rows.size(), 3);
    EXPECT_EQ(outcome.rows.value(0, QStringLiteral("TrnDate")).toDate(), kQueryDay);
    EXPECT_EQ(outcome.rows.value(2, QStringLiteral("TrnDate")).toDate(), ScanMarket::day(2));
    EXPECT_EQ(numbers(outcome, "NSETrdQty"), (QList<double>{300, 200, 100}));
    EXPECT_EQ(numbers(outcome, "BSETrdQty"), (QList<double>{3, 2, 1}));
    EXPECT_TRUE(progress.contains(QStringLiteral("Processing for Stock Alpha Ltd")));

    outcome = market.run(inputs("Falling Traded Qty and Rising Delivery Qty"));
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Delta Ltd", "Delta Ltd", "Delta Ltd"}));

    // A flat percentage fails both directions.
    outcome = market.run(inputs("Rising Traded Qty and Rising % Delivery Qty"));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_TRUE(outcome.rows.isEmpty());
    EXPECT_EQ(headings(outcome).at(3), QStringLiteral("NSEDely %"));

    outcome = market.run(inputs("Falling price & Rising Delivery Quantity"));
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Alpha Ltd", "Alpha Ltd", "Alpha Ltd"}));
}

TEST_F(TwoConditionScans, BseTestsItsOwnFiguresAndShowsTheNseOnesBeside)
{
    const auto outcome = market.run(inputs("Rising Traded Qty and Rising Delivery Qty", Exchange::Bse));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(headings(outcome), (QStringList{"Stock", "TrnDate", "BSETrdQty", "BSEDelyQty", "BSEPrice", "NSETrdQty",
                                              "NSEDelyQty", "NSEPrice"}));
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Alpha Ltd", "Alpha Ltd", "Alpha Ltd"}));
    EXPECT_EQ(numbers(outcome, "BSETrdQty"), (QList<double>{3, 2, 1}));
    EXPECT_EQ(numbers(outcome, "NSETrdQty"), (QList<double>{300, 200, 100}));
}

TEST_F(TwoConditionScans, CombinedTestsTheSumsAndRecomputesTheDeliveryPercentage)
{
    const auto outcome = market.run(inputs("Rising Traded Qty and Rising Delivery Qty", Exchange::Combined));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(headings(outcome), (QStringList{"Stock", "TrnDate", "TotalTrdQty", "TotalDelyQty", "Price", "Dely %",
                                              nbsp(1), nbsp(2), nbsp(3)}));
    EXPECT_EQ(numbers(outcome, "TotalTrdQty"), (QList<double>{303, 202, 101}));
    EXPECT_EQ(numbers(outcome, "Dely %"), (QList<double>{10.89, 10.89, 10.89}));
}

TEST_F(TwoConditionScans, OneDayMakesNoStepAndGivesNothing)
{
    const auto outcome = market.run(inputs("Rising Traded Qty and Rising Delivery Qty", Exchange::Nse, "1"));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_TRUE(outcome.rows.isEmpty());
}

TEST_F(TwoConditionScans, RangesJudgeTheQueryDaysRowAndKeepEveryDay)
{
    auto in = inputs("Rising Traded Qty and Rising Delivery Qty");
    in.range(query::RangeMeasure::TradedQty) = {true, 250, 1000};
    auto outcome = market.run(in);
    EXPECT_EQ(outcome.rows.size(), 3);

    in.range(query::RangeMeasure::TradedQty) = {true, 0, 250};
    outcome = market.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_TRUE(outcome.rows.isEmpty());

    in.range(query::RangeMeasure::Trades) = {true, 0, 1};
    EXPECT_EQ(market.run(in).status, RunStatus::Refused);
}

TEST_F(TwoConditionScans, IncreasingDeliveryQueriesSetTheQueryDayBesideTheWindowsFirst)
{
    auto in = inputs("Increasing Delivery Qty & Decreasing Price");
    in.group = 6;
    const auto outcome = market.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome), (QStringList{"Scrip", "TodayDely", "PrevDely", "TodayPerc", "PrevPerc", "TodayRate",
                                              "PrevRate", "TodayTrdQty", "PrevTrdQty"}));
    EXPECT_EQ(texts(outcome, "Scrip"), QStringList{"Alpha Ltd"});
    EXPECT_EQ(numbers(outcome, "TodayDely"), QList<double>{30});
    EXPECT_EQ(numbers(outcome, "PrevDely"), QList<double>{10});
    EXPECT_EQ(numbers(outcome, "PrevRate"), QList<double>{5});

    // Rising price: only Beta's price and delivery both rise.
    const auto rising = market.run(inputs("Increasing Delivery Qty & Increasing Price"));
    EXPECT_EQ(texts(rising, "Scrip"), QStringList{"Beta Ltd"});
}

}  // namespace
