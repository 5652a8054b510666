#include "computations/scanbranches.h"
#include "computations/scanframe.h"
#include "scanfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using F = ScanFixture;

namespace {

const int kStatisticalGroup = 2;

TEST(AverageChange, TheNewestDayAgainstItsAverageLargestChangeFirst)
{
    // NSE delivery on D3, D2, D1 (oldest first), percentage half of it.
    F fixture;
    const struct {
        const char* company;
        QList<double> delivered;
    } scrips[] = {
        {"Above Ltd", {10, 20, 60}},  // 60 against 30
        {"Below Ltd", {30, 30, 3}},   // 3 against 21
        {"Equal Ltd", {10, 10, 10}},  // on its average
        {"Tiny Ltd", {50, 1, 100}},   // day before holds only 1
        {"Short Ltd", {0, 40, 100}},  // no row on D3: 140 / 3 = 46.67
    };
    const QDate window[] = {F::D3, F::D2, F::D1};
    for (const auto& scrip : scrips) {
        QList<F::Day> days;
        for (int k = 0; k < 3; ++k)
            if (scrip.delivered[k] > 0)
                days.append({window[k], scrip.delivered[k] * 4, scrip.delivered[k], scrip.delivered[k] / 2, 10});
        fixture.addScrip(scrip.company, QString::fromLatin1(scrip.company).left(4).toUpper(), "", days);
    }
    auto in = [](const char* label) { return F::inputs(kStatisticalGroup, label, F::D1, Exchange::Nse, "3"); };
    expectRuns(fixture,
               {{in("Delivery Qty moving above Average Delivery Qty"), {},
                 {{"Stock", Texts{"Short Ltd", "Above Ltd"}}, {"Symbol", Texts{"SHOR", "ABOV"}},
                  {"NSEAvgQty", Numbers{46.67, 30}}, {"NSEDelQty", Numbers{100, 60}}, {"%Chg", Numbers{114.27, 100}}}},
                {in("Delivery Qty moving below Average Delivery Qty"), {},
                 {{"Stock", Texts{"Below Ltd"}}, {"NSEAvgQty", Numbers{21}}, {"%Chg", Numbers{-85.71}}}},
                // Percentages are half the deliveries: the same scrips, halved averages.
                {in("Delivery % Qty moving above its Average % Delivery Qty"), {},
                 {{"Stock", Texts{"Short Ltd", "Above Ltd"}}, {"NSEAvgDely %", Numbers{23.33, 15}}}}});
}

TEST(AverageChangeOfBothExchanges, ADayWithoutTradesCountsAsNoDelivery)
{
    // Both exchanges deliver 20 % on D3 and D2; the newest day differs.
    F fixture;
    const F::Day d3{F::D3, 500, 100, 20, 10, 500, 100, 20, 10}, d2{F::D2, 500, 100, 20, 10, 500, 100, 20, 10};
    fixture.addScrip("Idle Ltd", "", "", {d3, d2, {F::D1, 0, 0, 0, 10, 0, 0, 0, 10}});              // no trades: 0 %
    fixture.addScrip("Undelivered Ltd", "", "", {d3, d2, {F::D1, 500, 0, 0, 10, 500, 0, 0, 10}});   // floored at 1 of 1000: 0.1 %
    fixture.addScrip("Busy Ltd", "", "", {d3, d2, {F::D1, 500, 150, 30, 10, 500, 150, 30, 10}});    // 30 %: above
    expectRuns(fixture, {{F::inputs(kStatisticalGroup, "Delivery % Qty moving below its Average % Delivery Qty", F::D1,
                                    Exchange::Combined, "3"),
                          {},
                          {{"Stock", Texts{"Idle Ltd", "Undelivered Ltd"}}, {"AvgDely %", Numbers{13.33, 13.37}}}}});
}

TEST(AveragedFigure, ANegativeDeliveryCountsAsNone)
{
    computations::ScanDay day;
    day.nseDelivered = -5;
    day.bseDelivered = 7;
    EXPECT_EQ(computations::averagedFigure(false, Exchange::Combined, day), 7);
}

}  // namespace
