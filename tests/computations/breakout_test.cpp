#include "query/runstate.h"
#include "scanfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RunStatus;
using F = ScanFixture;

namespace {

const int kKelvarnGroup = 8;
const QString kUp = QStringLiteral("Delivery breakout with upward price (Previous Day)");
const QString kDown = QStringLiteral("Delivery breakout with downward price (Previous Day)");

class Breakouts : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Delivery and NSE close on the previous day (D2) and the day (D1).
        add("Up Ltd", 100, 50, 200, 55);      // +100 % delivery, close up
        add("Small Ltd", 100, 50, 130, 60);   // +30 % only
        add("Flat Ltd", 100, 50, 300, 50);    // close unchanged
        add("Down Ltd", 100, 50, 250, 45);    // +150 %, close down
        add("Down Two Ltd", 100, 50, 120, 40);  // +20 %, close down
        add("Fresh Ltd", 0, 50, 500, 60);     // nothing delivered the day before
        fixture.addScrip("New Ltd", "NEW", "", {{F::D1, 1000, 900, 90, 70}});
    }

    void add(const char* company, double before, double closeBefore, double today, double closeToday)
    {
        fixture.addScrip(company, QString::fromLatin1(company).left(4).toUpper(), "",
                         {{F::D2, before * 2, before, 50, closeBefore}, {F::D1, today * 2, today, 50, closeToday}});
    }

    query::RunOutcome run(const QString& label, const QString& percent, const QDate& day = F::D1)
    {
        return fixture.run(F::inputs(kKelvarnGroup, label, day, Exchange::Nse, "10", percent));
    }

    F fixture;
};

TEST_F(Breakouts, UpwardListsDeliveryRisesAboveThePercentageWithARisingClose)
{
    const auto outcome = run(kUp, "40");
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Security"), QStringList({"Up Ltd"}));
    EXPECT_EQ(numbers(outcome, "Today Dely"), QList<double>({200}));
    EXPECT_EQ(numbers(outcome, "YDay Dely"), QList<double>({100}));
    EXPECT_EQ(numbers(outcome, "%ChgInDely"), QList<double>({100}));
    EXPECT_EQ(numbers(outcome, "Today Volume"), QList<double>({400}));
    EXPECT_EQ(numbers(outcome, "%ChgInPrice"), QList<double>({10}));
    EXPECT_EQ(outcome.rows.columns.size(), 8);
}

TEST_F(Breakouts, DownwardListsTheLargestRiseFirstAndATextThresholdCountsAsZero)
{
    const auto outcome = run(kDown, "abc");
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Security"), QStringList({"Down Ltd", "Down Two Ltd"}));
    EXPECT_EQ(numbers(outcome, "%ChgInPrice"), QList<double>({-10, -20}));
}

TEST_F(Breakouts, NeedsAPreviousTradingDay)
{
    EXPECT_EQ(run(kUp, "40", F::D2).message, query::refusals::tooFewTradingDays(F::D2));
    const QDate holiday(2024, 1, 7);
    const auto outcome = run(kUp, "40", holiday);
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, query::refusals::notATradingDay(holiday));
}

TEST(BreakoutsCombined, TheCloseIsTheNseOneWhenThereIsOne)
{
    F fixture;
    // Today no NSE close: the BSE close 66 against yesterday's NSE close 60.
    fixture.addScrip("Both Ltd", "BOTH", "500001",
                     {{F::D2, 100, 40, 40, 60, 100, 10, 10, 58}, {F::D1, 100, 90, 90, 0, 100, 60, 60, 66}});
    auto in = F::inputs(kKelvarnGroup, kUp, F::D1, Exchange::Combined, "10", "100");
    const auto outcome = fixture.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(numbers(outcome, "Today Dely"), QList<double>({150}));
    EXPECT_EQ(numbers(outcome, "%ChgInDely"), QList<double>({200}));
    EXPECT_EQ(numbers(outcome, "Today Price"), QList<double>({66}));
    EXPECT_EQ(numbers(outcome, "%ChgInPrice"), QList<double>({10}));
    EXPECT_TRUE(fixture.run(F::inputs(kKelvarnGroup, kDown, F::D1, Exchange::Combined, "10", "0")).rows.isEmpty());
}

}  // namespace
