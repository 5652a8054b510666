#include "query/runstate.h"
#include "scanfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using F = ScanFixture;

namespace {

TEST(RateChange, ListsMovesOfMoreThanFivePerCentPassByPass)
{
    F fixture;
    auto addCloses = [&fixture](const char* company, const char* symbol, const QList<std::pair<QDate, double>>& closes) {
        QList<F::Day> days;
        for (const auto& [day, close] : closes)
            days.append({day, 1000, 400, 40, close});
        return fixture.addScrip(company, symbol, "", days);
    };
    fixture.link("JMP", addCloses("Jump Ltd", "JUMP", {{F::D4, 100}, {F::D3, 100}, {F::D2, 110}, {F::D1, 112}}));
    addCloses("Drop Ltd", "DROP", {{F::D2, 100}, {F::D1, 94}});
    addCloses("Five Ltd", "FIVE", {{F::D2, 100}, {F::D1, 105}});
    // Listed on BSE only: its close is the BSE one and it has no NSE symbol.
    fixture.addScrip("Bse Only Ltd", "", "500009",
                     {{F::D3, 0, 0, 0, 0, 10, 5, 50, 100}, {F::D2, 0, 0, 0, 0, 10, 5, 50, 120},
                      {F::D1, 0, 0, 0, 0, 10, 5, 50, 121}});
    auto in = [](const char* days) { return F::inputs(8, "Rate Change", F::D1, Exchange::Nse, days); };

    const auto outcome = fixture.run(in("2"));
    // The closes after the later day, looked up by scrip number: the BSE-only
    // scrip has its BSE close; none follow the newest day.
    expectRun(outcome, {},
              {{"Company", Texts{"Drop Ltd", "Bse Only Ltd", "Jump Ltd"}}, {"Rate", Numbers{94, 120, 110}},
               {"PrevRate", Numbers{100, 100, 100}}, {"% Rate Chg", Numbers{-6, 20, 10}},
               {"Volume", Numbers{1000, 10, 1000}}, {"% Vol Chg", Numbers{0, 0, 0}}, {"day1", Numbers{0.01, 121, 112}},
               {"day2", Numbers{0.01, 0.01, 0.01}}});
    EXPECT_EQ(columnDates(outcome, "a_transdate"), QList<QDate>({F::D1, F::D2, F::D2}));
    EXPECT_EQ(columnDates(outcome, "b_transdate"), QList<QDate>({F::D2, F::D3, F::D3}));
    EXPECT_EQ(outcome.state.secondDate, F::D3);
    // Only the group's scrips, and only enough days.
    expectRuns(fixture, {{inGroup(in("3"), "JMP"), {}, {{"Company", Texts{"Jump Ltd"}}, {"day1", Numbers{112}}}},
                         {in("4"), {}, {}, query::refusals::tooFewTradingDays(F::D1)}});
}

}  // namespace
