#include "computations/scanbranches.h"
#include "computations/scanframe.h"
#include "query/runstate.h"
#include "scanfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using F = ScanFixture;

namespace {

const int kRisingGroup = 3;
const QString kRisingDelivery = QStringLiteral("Rising Delivery Quantity for N days");

// Delivery (NSE) per day, oldest first D4 .. D1; traded = 10 x delivery.
QList<F::Day> deliveries(const QList<std::pair<QDate, double>>& values, double close = 100)
{
    QList<F::Day> days;
    for (const auto& [day, delivered] : values)
        days.append({day, delivered * 10, delivered, 10, close});
    return days;
}

TEST(RunScans, ListEveryDayOfEachScripThatMovedStrictlyOnEveryStep)
{
    F fixture;
    fixture.addScrip("Asc Ltd", "ASC", "500001", deliveries({{F::D4, 100}, {F::D3, 200}, {F::D2, 300}, {F::D1, 400}}));
    const qint64 down =
        fixture.addScrip("Desc Ltd", "DESC", "500002", deliveries({{F::D4, 500}, {F::D3, 300}, {F::D2, 200}, {F::D1, 100}}));
    fixture.addScrip("Flat Ltd", "FLAT", "500003", deliveries({{F::D3, 100}, {F::D2, 200}, {F::D1, 200}}));
    // Listed only from D2: a rising run of two days over a zero third day.
    const qint64 young = fixture.addScrip("Young Ltd", "YOUNG", "", deliveries({{F::D2, 50}, {F::D1, 60}}));
    fixture.addScrip("Bse Only Ltd", "", "500009", deliveries({{F::D3, 1}, {F::D2, 2}, {F::D1, 3}}));
    fixture.link("TECH", young);
    fixture.link("TECH", down);
    auto in = [](const QString& label, const char* days) {
        return F::inputs(kRisingGroup, label, F::D1, Exchange::Nse, days);
    };

    const auto rising = fixture.run(in(kRisingDelivery, "3"));
    expectRun(rising, {},
              {{"Stock", Texts{"Asc Ltd", "Asc Ltd", "Asc Ltd", "Young Ltd", "Young Ltd"}},
               {"NSEDelQty", Numbers{400, 300, 200, 60, 50}}});
    EXPECT_EQ(columnDates(rising, "TradingDate"), QList<QDate>({F::D1, F::D2, F::D3, F::D1, F::D2}));
    expectRuns(fixture,
               {{in("Falling Delivery Quantity for N days", "3"), {}, {{"Stock", Texts(3, "Desc Ltd")}}},
                // Over four days the flat step of Flat Ltd and the missing days
                // of Young Ltd keep them out of both lists.
                {in(kRisingDelivery, "4"), {}, {{"Stock", Texts(4, "Asc Ltd")}}},
                // One day makes no run.
                {in(kRisingDelivery, "1"), {}, {{"Stock", Texts{}}}},
                {inGroup(in(kRisingDelivery, "3"), "TECH"), {}, {{"Stock", Texts(2, "Young Ltd")}}},
                // Delivery on the first date between 300 and 500 keeps Asc Ltd (400) only.
                {inRange(in(kRisingDelivery, "3"), query::RangeMeasure::DeliveryQty, 300, 500), {},
                 {{"Stock", Texts(3, "Asc Ltd")}}},
                {inRange(in(kRisingDelivery, "3"), query::RangeMeasure::Trades, 1, 2), {}, {},
                 query::refusals::noTradesData()}});

    // Each scrip scanned is reported.
    QStringList lines;
    fixture.run(in("Rising Price for N days", "3"), [&lines](const QString& text, int, int) { lines.append(text); });
    EXPECT_EQ(lines, QStringList({"Processing for Stock Asc Ltd", "Processing for Stock Desc Ltd",
                                  "Processing for Stock Flat Ltd", "Processing for Stock Young Ltd"}));
}

TEST(RunScansCombined, PriceTakesTheNseCloseWhenThereIsOne)
{
    F fixture;
    // NSE closes 0 on D3: the BSE close 90 stands in, so 90 < 95 < 99 rises.
    fixture.addScrip("Both Ltd", "BOTH", "500001",
                     {{F::D3, 10, 5, 50, 0, 10, 5, 50, 90},
                      {F::D2, 10, 5, 50, 95, 10, 5, 50, 80},
                      {F::D1, 10, 5, 50, 99, 10, 5, 50, 70}});
    fixture.addScrip("Nse Only Ltd", "NSEO", "", {{F::D3, 1, 1, 1, 1}, {F::D2, 1, 1, 1, 2}, {F::D1, 1, 1, 1, 3}});
    expectRuns(fixture, {{F::inputs(kRisingGroup, "Rising Price for N days", F::D1, Exchange::Combined, "3"), {},
                          {{"Stock", Texts(3, "Both Ltd")}, {"Rate", Numbers{99, 95, 90}},
                           {"TotalDelyQty", Numbers{10, 10, 10}}, {"TotalDelyQty%", Numbers{50, 50, 50}}}}});
}

TEST(RunEntries, CountOnlyTheDaysTheExchangeTraded)
{
    using computations::RunMeasure;
    computations::ScanDay day;
    day.nseTraded = 1000;
    day.bseTraded = 3;
    day.bseDelivered = 0.375;
    day.bsePercent = 12.5;
    day.bseClose = 40;
    EXPECT_EQ(computations::runEntry(RunMeasure::TradedQty, Exchange::Nse, day), 0);
    EXPECT_EQ(computations::runEntry(RunMeasure::DeliveryPercent, Exchange::Nse, day), 0);
    EXPECT_EQ(computations::runEntry(RunMeasure::TradedQty, Exchange::Bse, day), 3);
    EXPECT_EQ(computations::runEntry(RunMeasure::Price, Exchange::Combined, day), 40);
    // (0.375 * 100) / 1003 = 0.0373...
    EXPECT_DOUBLE_EQ(computations::runEntry(RunMeasure::DeliveryPercent, Exchange::Combined, day), 0.04);
    day.nseTraded = 0;
    day.bseTraded = 100;
    day.bseDelivered = 0.125;  // 0.125 %: the half goes to the even 0.12
    EXPECT_DOUBLE_EQ(computations::runEntry(RunMeasure::DeliveryPercent, Exchange::Combined, day), 0.12);
}

}  // namespace
