#include "computations/scanbranches.h"
#include "query/runstate.h"
#include "scanfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using F = ScanFixture;

namespace {

const QDate D5{2023, 12, 29};

TEST(MixedRuns, ScripsThatFellThenRoseWithTheWholeWindow)
{
    F fixture;
    // NSE delivery, oldest first D5 .. D1; 0 for no row.
    const struct {
        const char* company;
        QList<double> delivered;
    } scrips[] = {
        {"Vee Ltd", {50, 40, 30, 35, 45}},
        {"Flat Ltd", {50, 40, 30, 30, 45}},
        {"Rise Ltd", {10, 20, 30, 35, 45}},
        {"Gap Ltd", {0, 0, 50, 40, 45}},
    };
    const QDate window[] = {D5, F::D4, F::D3, F::D2, F::D1};
    for (const auto& s : scrips) {
        QList<F::Day> days;
        for (int k = 0; k < 5; ++k)
            if (s.delivered[k] > 0)
                days.append({window[k], s.delivered[k] * 2, s.delivered[k], 50, 100});
        fixture.addScrip(s.company, QString::fromLatin1(s.company).left(3).toUpper(), "", days);
    }
    auto in = [](const char* rising, const char* falling, Exchange exchange = Exchange::Nse) {
        return F::inputs(9, "Delivery Quantity", F::D1, exchange, rising, falling);
    };
    const auto outcome = fixture.run(in("3", "2"));
    expectRun(outcome, {}, {{"Stock", Texts(5, "Vee Ltd")}, {"NSEDelQty", Numbers{45, 35, 30, 40, 50}}});
    EXPECT_EQ(columnDates(outcome, "TradingDate"), QList<QDate>({F::D1, F::D2, F::D3, F::D4, D5}));
    EXPECT_EQ(outcome.state.secondDate, D5);
    expectRuns(fixture,
               {// Without falling days the rise alone decides.
                {in("3", "0"), {}, {{"Stock", Texts{"Rise Ltd", "Rise Ltd", "Rise Ltd", "Vee Ltd", "Vee Ltd", "Vee Ltd"}}}},
                // Gap Ltd's 50 on D3 leaves the window: 45 over 40 over nothing rises.
                {inRange(in("3", "0"), query::RangeMeasure::DeliveryQty, 0, 48), {},
                 {{"Stock", Texts{"Gap Ltd", "Gap Ltd", "Rise Ltd", "Rise Ltd", "Rise Ltd", "Vee Ltd", "Vee Ltd", "Vee Ltd"}}}},
                // One rising day makes no run.
                {in("1", "2"), {}, {{"Stock", Texts{}}}},
                {in("3", "2", Exchange::Combined), {}, {}, query::refusals::optionNotAllowed()}});
}

TEST(FellThenRose, EqualNeighboursFailBothParts)
{
    EXPECT_TRUE(computations::fellThenRose({45, 35, 30, 40, 50}, 3, 2));
    EXPECT_FALSE(computations::fellThenRose({45, 30, 30, 40, 50}, 3, 2));
    EXPECT_FALSE(computations::fellThenRose({45, 35, 30, 30, 50}, 3, 2));
    // A missing older day counts as 0 and cannot be a fall.
    EXPECT_FALSE(computations::fellThenRose({45, 35, 30, 40}, 3, 2));
    EXPECT_FALSE(computations::fellThenRose({45, 35}, 1, 1));
}

}  // namespace
