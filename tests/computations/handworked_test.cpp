#include "query/plainstatements.h"
#include "scanfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using F = ScanFixture;

namespace {

// Last N Days Movement and Rate Change on a store small enough to work out
// by hand, through the plain statements and the quick ways alike: two scrips
// of one company name, each compared with its own days only; a later day
// whose NSE close is 0 and whose BSE close is empty.
TEST(HandWorked, ScripsOfOneNameAndALaterDayWithoutAClose)
{
    F fixture;
    // Traded, delivered, percentage and close on NSE.
    fixture.addScrip("Twin Ltd", "TWINA", "",
                     {{F::D4, 100, 50, 50, 10}, {F::D3, 200, 50, 25, 12}, {F::D2, 150, 100, 60, 15},
                      {F::D1, 300, 80, 25, 12}});
    fixture.addScrip("Twin Ltd", "TWINB", "", {{F::D3, 1000, 400, 40, 100}, {F::D2, 800, 400, 50, 100},
                                               {F::D1, 500, 500, 90, 110}});
    fixture.addScrip("Alpha Ltd", "ALPHA", "", {{F::D1, 70, 7, 10, 7}});
    // Up 20 per cent on D2; D1 has a close on neither exchange.
    const qint64 blank = fixture.addScrip("Blank Close Ltd", "BLANK", "500004",
                                          {{F::D3, 10, 5, 50, 100}, {F::D2, 10, 5, 50, 120}, {F::D1, 10, 5, 50, 0}});
    fixture.db().exec(QStringLiteral("update mto set BSEClPrice = null where scriptcode = %1 and TransDate = '2024-01-04'")
                          .arg(blank));

    for (const bool plain : {true, false}) {
        const std::string where = plain ? "plain statements" : "quick ways";
        query::setPlainStatementsOnly(plain);

        // D2 and D1 shown, by company, then scrip, then day; each change
        // against the scrip's own previous row (D3 for the first day shown).
        expectRun(fixture.run(F::inputs(8, "Last N Days Movement", F::D1, Exchange::Nse, "2")), {},
                  {{"Stock", Texts{"Alpha Ltd", "Blank Close Ltd", "Blank Close Ltd", "Twin Ltd", "Twin Ltd",
                                   "Twin Ltd", "Twin Ltd"}},
                   {"Volume", Numbers{70, 10, 10, 150, 300, 800, 500}},
                   {"%ChgIn Vol", Numbers{0.01, 0, 0, -25, 100, -20, -37.5}},
                   {"%ChgInDely", Numbers{0.01, 0, 0, 100, -20, 0, 25}},
                   // A fall to 0 counts as a fall to 1.
                   {"%ChgInPrice", Numbers{0.01, 20, -99.17, 25, -20, 0, 10}}},
                  where);

        // Pass 1 (D1 against D2), then pass 2 (D2 against D3), each by
        // company. A day after the later day without any close shows empty;
        // 0.01 stays where no later day was found.
        const query::RunOutcome change = fixture.run(F::inputs(8, "Rate Change", F::D1, Exchange::Nse, "2"));
        expectRun(change, {},
                  {{"Company", Texts{"Twin Ltd", "Twin Ltd", "Blank Close Ltd", "Twin Ltd"}},
                   {"nsescrip", Texts{"TWINA", "TWINB", "BLANK", "TWINA"}},
                   {"% Rate Chg", Numbers{-20, 10, 20, 25}},
                   {"day1", Texts{"0.01", "0.01", "", "12"}},
                   {"day2", Texts{"0.01", "0.01", "0.01", "0.01"}}},
                  where);
    }
    query::setPlainStatementsOnly(false);
}

}  // namespace
