#include "query/plainstatements.h"
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

// The pairs the one pass over the day rows keeps go through the statement's
// own test and columns: the same rows as the statement's, in its order, at
// the edge of 5 per cent, among companies named alike, and with empty or
// zero figures.
TEST(RateChange, OnePassGivesTheStatementsRows)
{
    F fixture;
    auto addCloses = [&fixture](const char* company, const QList<std::pair<QDate, double>>& closes) {
        QList<F::Day> days;
        for (const auto& [day, close] : closes)
            days.append({day, 1000, 400, 40, close});
        return fixture.addScrip(company, "", "", days);
    };
    // Exactly 5 per cent either way, 5.004, and 5.00500000000001 that the
    // store's round() takes for a half and rounds to even: all 5.00, none
    // listed; 5.01 is.
    addCloses("Edge Ltd", {{F::D3, 100}, {F::D2, 105}, {F::D1, 99.75}});
    addCloses("Near Ltd", {{F::D3, 100}, {F::D2, 105.004}});
    addCloses("Half Ltd", {{F::D3, 60}, {F::D2, 63.003}});
    addCloses("Just Ltd", {{F::D3, 100}, {F::D2, 105.01}, {F::D1, 105.01}});
    // Companies named alike, added out of name order; a close of three
    // decimals.
    addCloses("SAME LTD", {{F::D2, 100}, {F::D1, 110}});
    addCloses("Samf Ltd", {{F::D2, 100}, {F::D1, 110}});
    addCloses("same ltd", {{F::D2, 100}, {F::D1, 111}});
    addCloses("Sam Ltd", {{F::D2, 100}, {F::D1, 112.006}});
    addCloses("Same Ltd", {{F::D2, 100}, {F::D1, 113}});
    // No row on the earlier day of a pair; a close of 0 before the move.
    addCloses("Gap Ltd", {{F::D4, 100}, {F::D2, 120}, {F::D1, 121}});
    addCloses("Zero Ltd", {{F::D2, 0}, {F::D1, 10}});
    // Nothing traded the day before, an empty delivered quantity, and an
    // empty NSE close that leaves the BSE close.
    const qint64 thin = fixture.addScrip("Thin Ltd", "THIN", "", {{F::D2, 0, 0, 0, 50}, {F::D1, 1000, 400, 40, 60, 5, 2}});
    const qint64 blank = fixture.addScrip("Blank Ltd", "", "500010",
                                          {{F::D2, 10, 5, 50, 0, 10, 5, 50, 100}, {F::D1, 10, 5, 50, 94, 10, 5, 50, 94}});
    fixture.db().exec(QStringLiteral("update mto set BSEDelyQty = null where scriptcode = %1 and TransDate = '2024-01-04'")
                          .arg(thin));
    fixture.db().exec(QStringLiteral("update mto set NSEClPrice = null where scriptcode = %1 and TransDate = '2024-01-03'")
                          .arg(blank));

    const query::RunInputs in = F::inputs(8, "Rate Change", F::D1, Exchange::Nse, "2");
    query::setPlainStatementsOnly(true);
    const query::RunOutcome plain = fixture.run(in);
    query::setPlainStatementsOnly(false);
    const query::RunOutcome onePass = fixture.run(in);
    expectRun(onePass, {},
              {{"Company", Texts{"Blank Ltd", "Sam Ltd", "SAME LTD", "same ltd", "Same Ltd", "Samf Ltd", "Thin Ltd",
                                 "Just Ltd"}},
               {"% Rate Chg", Numbers{-6, 12.01, 10, 11, 13, 10, 20, 5.01}},
               {"Rate", Numbers{94, 112.01, 110, 111, 113, 110, 60, 105.01}},
               {"% Vol Chg", Numbers{0, 0, 0, 0, 0, 0, 100400, 0}}});
    EXPECT_EQ(texts(onePass, "Delivery").at(6), QString());
    EXPECT_EQ(headings(onePass), headings(plain));
    EXPECT_TRUE(onePass.rows.rows == plain.rows.rows);
}

}  // namespace
