#include "query/runstate.h"
#include "scanfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RunStatus;
using F = ScanFixture;

namespace {

const int kKelvarnGroup = 8;
const QString kLabel = QStringLiteral("Last N Days Movement");

class DaysMovement : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Traded quantity per day; delivery 10 and close 20 throughout.
        fixture.addScrip("Alpha Ltd", "ALPHA", "",
                         {{F::D4, 100, 10, 10, 20}, {F::D3, 200, 10, 5, 20}, {F::D2, 0, 10, 0, 20}, {F::D1, 50, 10, 20, 20}});
        // No row on D2: D1 is compared with D3.
        fixture.addScrip("Beta Ltd", "BETA", "", {{F::D3, 100, 10, 10, 20}, {F::D1, 150, 10, 10, 22}});
    }

    query::RunOutcome run(const QString& days)
    {
        return fixture.run(F::inputs(kKelvarnGroup, kLabel, F::D1, Exchange::Nse, days));
    }

    F fixture;
};

TEST_F(DaysMovement, ComparesEachDayWithTheSecuritysPreviousRow)
{
    const auto outcome = run("2");
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Stock"), QStringList({"Alpha Ltd", "Alpha Ltd", "Beta Ltd"}));
    EXPECT_EQ(columnDates(outcome, "Date"), QList<QDate>({F::D2, F::D1, F::D1}));
    EXPECT_EQ(numbers(outcome, "Volume"), QList<double>({0, 50, 150}));
    // A fall to 0 counts as a fall to 1; after a 0 no change is worked out.
    EXPECT_EQ(numbers(outcome, "%ChgIn Vol"), QList<double>({-99.5, 0.01, 50}));
    EXPECT_EQ(numbers(outcome, "%ChgInDely"), QList<double>({0, 0, 0}));
    EXPECT_EQ(numbers(outcome, "%ChgInPrice"), QList<double>({0, 0, 10}));
    EXPECT_EQ(outcome.state.secondDate, F::D2);
}

TEST_F(DaysMovement, TheFirstRowOfASecurityHasNoChange)
{
    fixture.addScrip("Gamma Ltd", "GAMMA", "", {{F::D1, 500, 10, 2, 30}});
    const auto outcome = run("2");
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Stock").last(), "Gamma Ltd");
    EXPECT_EQ(outcome.rows.rows.last().mid(3, 5),
              QVariantList({0.01, 10.0, 0.01, 30.0, 0.01}));
}

TEST_F(DaysMovement, RefusesWithoutEnoughDays)
{
    EXPECT_EQ(run("3").message, query::refusals::tooFewTradingDays(F::D1));
}

}  // namespace
