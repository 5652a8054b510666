#include "query/runstate.h"
#include "scanfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using F = ScanFixture;

namespace {

const QString kNbsp(1, QChar(0x00A0));

TEST(Tovil, ComparesEachFigureWithThePreviousDayInEachItemsOrder)
{
    F fixture;
    // Quantities split over NSE and BSE; the day before is D2.
    fixture.addScrip("Alpha Ltd", "ALPHA", "500001",
                     {{F::D2, 1500000, 700000, 35, 100, 500000, 300000, 60, 99},
                      {F::D1, 3000000, 1500000, 50, 110, 1000000, 500000, 50, 109}});
    fixture.addScrip("Bravo Industries Limited India", "BRAVO", "",
                     {{F::D2, 500000, 100000, 20, 25}, {F::D1, 0, 0, 0, 20}});
    fixture.addScrip("Delta Ltd", "DELTA", "", {{F::D2, 1000000, 1000000, 100, 10}, {F::D1, 3000000, 2900000, 96.67, 10}});
    fixture.addScrip("Charlie Ltd", "CHARLIE", "", {{F::D1, 9000000, 9000000, 100, 10}});
    auto in = [](const char* label, const QDate& day = F::D1) { return F::inputs(7, label, day, Exchange::Nse); };
    expectRuns(fixture,
               {// A day without trades or delivery shows 1 %: 0.01 over 0.01.
                {in("Tovil Query - Cash Volume"), {},
                 {{"Company", Texts{"Alpha Ltd", "Delta Ltd", "Bravo Industries Limited "}},
                  {"Cl Price", Numbers{110, 10, 20}}, {"%C", Numbers{10, 0, -20}},
                  {"Cash Vol", Numbers{4000000, 3000000, 0}}, {"%C" + kNbsp, Numbers{100, 200, -100}},
                  {"Del Vol", Numbers{2000000, 2900000, 0}}, {"%C" + kNbsp + kNbsp, Numbers{100, 190, -100}},
                  {"Del %", Numbers{50, 96.67, 1}}, {"%C" + kNbsp + kNbsp + kNbsp, Numbers{0, -3, -95}},
                  {"Del Value", Numbers{220, 29, 0.01}}, {"%C" + kNbsp + kNbsp + kNbsp + kNbsp, Numbers{120, 190, -100}}}},
                {in("Tovil Query - Delivery Volume"), {},
                 {{"Company", Texts{"Delta Ltd", "Alpha Ltd", "Bravo Industries Limited "}}}},
                {in("Tovil Query - Delivery Value"), {},
                 {{"Company", Texts{"Alpha Ltd", "Delta Ltd", "Bravo Industries Limited "}}}},
                {in("Tovil Query - Cash Volume", F::D2), {}, {}, query::refusals::tooFewTradingDays(F::D2)}});
}

}  // namespace
