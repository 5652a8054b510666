#include "query/runstate.h"
#include "scanfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using F = ScanFixture;

namespace {

TEST(DaysMovement, ComparesEachDayWithTheSecuritysPreviousRow)
{
    F fixture;
    // Traded quantity per day; delivery 10 and close 20 throughout.
    fixture.addScrip("Alpha Ltd", "ALPHA", "",
                     {{F::D4, 100, 10, 10, 20}, {F::D3, 200, 10, 5, 20}, {F::D2, 0, 10, 0, 20}, {F::D1, 50, 10, 20, 20}});
    // No row on D2: D1 is compared with D3.
    fixture.addScrip("Beta Ltd", "BETA", "", {{F::D3, 100, 10, 10, 20}, {F::D1, 150, 10, 10, 22}});
    auto in = [](const char* days) { return F::inputs(8, "Last N Days Movement", F::D1, Exchange::Nse, days); };
    auto outcome = fixture.run(in("2"));
    // A fall to 0 counts as a fall to 1; after a 0 no change is worked out.
    expectRun(outcome, {},
              {{"Stock", Texts{"Alpha Ltd", "Alpha Ltd", "Beta Ltd"}}, {"Volume", Numbers{0, 50, 150}},
               {"%ChgIn Vol", Numbers{-99.5, 0.01, 50}}, {"%ChgInDely", Numbers{0, 0, 0}},
               {"%ChgInPrice", Numbers{0, 0, 10}}});
    EXPECT_EQ(columnDates(outcome, "Date"), QList<QDate>({F::D2, F::D1, F::D1}));
    EXPECT_EQ(outcome.state.secondDate, F::D2);
    EXPECT_EQ(fixture.run(in("3")).message, query::refusals::tooFewTradingDays(F::D1));

    // The first row of a security has no change.
    fixture.addScrip("Gamma Ltd", "GAMMA", "", {{F::D1, 500, 10, 2, 30}});
    outcome = fixture.run(in("2"));
    EXPECT_EQ(texts(outcome, "Stock").last(), "Gamma Ltd");
    EXPECT_EQ(outcome.rows.rows.last().mid(3, 5), QVariantList({0.01, 10.0, 0.01, 30.0, 0.01}));
}

}  // namespace
