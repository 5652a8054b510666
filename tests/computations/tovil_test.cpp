#include "query/runstate.h"
#include "scanfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RunStatus;
using F = ScanFixture;

namespace {

const int kMiscGroup = 7;
const QString kNbsp(1, QChar(0x00A0));

class Tovil : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Quantities split over NSE and BSE; the day before is D2.
        fixture.addScrip("Alpha Ltd", "ALPHA", "500001",
                         {{F::D2, 1500000, 700000, 35, 100, 500000, 300000, 60, 99},
                          {F::D1, 3000000, 1500000, 50, 110, 1000000, 500000, 50, 109}});
        fixture.addScrip("Bravo Industries Limited India", "BRAVO", "",
                         {{F::D2, 500000, 100000, 20, 25}, {F::D1, 0, 0, 0, 20}});
        fixture.addScrip("Delta Ltd", "DELTA", "", {{F::D2, 1000000, 1000000, 100, 10}, {F::D1, 3000000, 2900000, 96.67, 10}});
        fixture.addScrip("Charlie Ltd", "CHARLIE", "", {{F::D1, 9000000, 9000000, 100, 10}});
    }

    query::RunOutcome run(const QString& label, const QDate& day = F::D1)
    {
        return fixture.run(F::inputs(kMiscGroup, label, day, Exchange::Nse));
    }

    F fixture;
};

TEST_F(Tovil, ComparesEachFigureWithThePreviousDay)
{
    const auto outcome = run("Tovil Query - Cash Volume");
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Company"), QStringList({"Alpha Ltd", "Delta Ltd", "Bravo Industries Limited "}));
    EXPECT_EQ(numbers(outcome, "Cl Price"), QList<double>({110, 10, 20}));
    EXPECT_EQ(numbers(outcome, "%C"), QList<double>({10, 0, -20}));
    EXPECT_EQ(numbers(outcome, "Cash Vol"), QList<double>({4000000, 3000000, 0}));
    EXPECT_EQ(numbers(outcome, "%C" + kNbsp), QList<double>({100, 200, -100}));
    EXPECT_EQ(numbers(outcome, "Del Vol"), QList<double>({2000000, 2900000, 0}));
    EXPECT_EQ(numbers(outcome, "%C" + kNbsp + kNbsp), QList<double>({100, 190, -100}));
    // A day without trades or delivery shows 1 %: 0.01 over 0.01.
    EXPECT_EQ(numbers(outcome, "Del %"), QList<double>({50, 96.67, 1}));
    EXPECT_EQ(numbers(outcome, "%C" + kNbsp + kNbsp + kNbsp), QList<double>({0, -3, -95}));
    EXPECT_EQ(numbers(outcome, "Del Value"), QList<double>({220, 29, 0.01}));
    EXPECT_EQ(numbers(outcome, "%C" + kNbsp + kNbsp + kNbsp + kNbsp), QList<double>({120, 190, -100}));
}

TEST_F(Tovil, EachItemHasItsOwnOrder)
{
    EXPECT_EQ(texts(run("Tovil Query - Delivery Volume"), "Company"),
              QStringList({"Delta Ltd", "Alpha Ltd", "Bravo Industries Limited "}));
    EXPECT_EQ(texts(run("Tovil Query - Delivery Value"), "Company"),
              QStringList({"Alpha Ltd", "Delta Ltd", "Bravo Industries Limited "}));
}

TEST_F(Tovil, NeedsAPreviousTradingDay)
{
    const auto outcome = run("Tovil Query - Cash Volume", F::D2);
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, query::refusals::tooFewTradingDays(F::D2));
}

}  // namespace
