#include "computations/scanbranches.h"
#include "query/runstate.h"
#include "scanfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using F = ScanFixture;

namespace {

const int kCombinedGroup = 6;
const QString kRisingPrice = QStringLiteral("Rising Traded Qty, Rising Delivery Qty, Rising Price");
const QString kFallingPrice = QStringLiteral("Rising Traded Qty, Rising Delivery Qty, Falling Price");

TEST(CombinedScans, RisingQuantitiesWithTheCloseMovingOnEveryDay)
{
    F fixture;
    // NSE traded, delivered and close on D3, D2, D1 (oldest first); BSE
    // trades and delivers twice the NSE figures at the same close.
    const struct {
        const char* company;
        const char* symbol;
        QList<double> closes;
    } scrips[] = {
        {"Pass Ltd", "PASS", {100, 90, 80}},
        {"Stall Ltd", "STALL", {100, 100, 80}},
        {"Up Ltd", "UP", {80, 90, 100}},
        {"Short Ltd", "SHORT", {0, 90, 95}},  // no row on D3
    };
    const QDate window[] = {F::D3, F::D2, F::D1};
    for (const auto& s : scrips) {
        QList<F::Day> days;
        for (int k = 0; k < 3; ++k) {
            const double traded = 10.0 * (k + 1), delivered = 5.0 + k;
            if (s.closes[k] > 0)
                days.append({window[k], traded, delivered, delivered * 100 / traded, s.closes[k], traded * 2, delivered * 2,
                             delivered * 100 / traded, s.closes[k]});
        }
        fixture.addScrip(s.company, s.symbol, QStringLiteral("5%1").arg(s.symbol), days);
    }
    fixture.db().exec("INSERT INTO nnf_security VALUES (11, 'PASS', 'EQ'), (12, 'UP', 'EQ'), (13, 'SHORT', 'EQ'),"
                      " (14, 'STALL', 'EQ'), (15, 'UP', 'BE')");
    auto in = [](const QString& label, Exchange exchange = Exchange::Nse, const char* days = "3") {
        return F::inputs(kCombinedGroup, label, F::D1, exchange, days);
    };
    const QList<QDate> listedDays{F::D1, F::D2, F::D3};
    const auto falling = fixture.run(in(kFallingPrice));
    expectRun(falling, {}, {{"Stock", Texts(3, "Pass Ltd")}, {"srno", Numbers{11, 11, 11}},
                            {"NSETrdQty", Numbers{30, 20, 10}}, {"NSEPrice", Numbers{80, 90, 100}},
                            {"BSETrdQty", Numbers{60, 40, 20}}});
    EXPECT_EQ(columnDates(falling, "TrnDate"), listedDays);
    expectRuns(fixture,
               {// Short Ltd would rise over a missing third day; it is not tested.
                {in(kRisingPrice), {}, {{"Stock", Texts(3, "Up Ltd")}}},
                // BSE shows the NSE figures beside its own; both exchanges sum them.
                {in(kFallingPrice, Exchange::Bse), {},
                 {{"Stock", Texts(3, "Pass Ltd")}, {"BSETrdQty", Numbers{60, 40, 20}}, {"NSETrdQty", Numbers{30, 20, 10}}}},
                {in(kFallingPrice, Exchange::Combined), {},
                 {{"TotalTrdQty", Numbers{90, 60, 30}}, {"Dely %", Numbers{23.33, 30, 50}}}},
                // The range tests the close on the first date.
                {inRange(in(kFallingPrice), query::RangeMeasure::Price, 0, 85), {}, {{"Stock", Texts(3, "Pass Ltd")}}},
                {inRange(in(kFallingPrice), query::RangeMeasure::Price, 85, 200), {}, {{"Stock", Texts{}}}}});
}

TEST(RisesWithPrice, AllThreeMustMoveOnEveryStep)
{
    using computations::CombinedDay;
    const QList<CombinedDay> passing{{30, 7, 80}, {20, 6, 90}, {10, 5, 100}};
    EXPECT_TRUE(computations::risesWithPrice(passing, 3, false));
    EXPECT_FALSE(computations::risesWithPrice(passing, 3, true));
    EXPECT_FALSE(computations::risesWithPrice({{30, 7, 80}, {20, 6, 100}, {10, 5, 100}}, 3, false));
    EXPECT_FALSE(computations::risesWithPrice({{30, 7, 80}, {20, 7, 90}, {10, 5, 100}}, 3, false));
    EXPECT_FALSE(computations::risesWithPrice(passing, 1, false));
}

}  // namespace
