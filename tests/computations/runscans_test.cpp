#include "computations/scanbranches.h"
#include "computations/scanframe.h"
#include "query/runstate.h"
#include "scanfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RunStatus;
using F = ScanFixture;

namespace {

const int kRisingGroup = 3;

// Delivery (NSE) per day, oldest first D4 .. D1; traded = 10 x delivery.
QList<F::Day> deliveries(const QList<std::pair<QDate, double>>& values, double close = 100)
{
    QList<F::Day> days;
    for (const auto& [day, delivered] : values)
        days.append({day, delivered * 10, delivered, 10, close});
    return days;
}

class RunScans : public ::testing::Test {
protected:
    void SetUp() override
    {
        up = fixture.addScrip("Asc Ltd", "ASC", "500001",
                              deliveries({{F::D4, 100}, {F::D3, 200}, {F::D2, 300}, {F::D1, 400}}));
        down = fixture.addScrip("Desc Ltd", "DESC", "500002",
                                deliveries({{F::D4, 500}, {F::D3, 300}, {F::D2, 200}, {F::D1, 100}}));
        flat = fixture.addScrip("Flat Ltd", "FLAT", "500003",
                                deliveries({{F::D3, 100}, {F::D2, 200}, {F::D1, 200}}));
        // Listed only from D2: a rising run of two days over a zero third day.
        young = fixture.addScrip("Young Ltd", "YOUNG", "", deliveries({{F::D2, 50}, {F::D1, 60}}));
        fixture.addScrip("Bse Only Ltd", "", "500009",
                         deliveries({{F::D3, 1}, {F::D2, 2}, {F::D1, 3}}));
    }

    query::RunOutcome run(const QString& label, const QString& days, Exchange exchange = Exchange::Nse)
    {
        return fixture.run(F::inputs(kRisingGroup, label, F::D1, exchange, days));
    }

    F fixture;
    qint64 up = 0, down = 0, flat = 0, young = 0;
};

TEST_F(RunScans, RisingDeliveryListsEveryDayOfEachPassingScrip)
{
    const auto outcome = run("Rising Delivery Quantity for N days", "3");
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Stock"),
              QStringList({"Asc Ltd", "Asc Ltd", "Asc Ltd", "Young Ltd", "Young Ltd"}));
    EXPECT_EQ(columnDates(outcome, "TradingDate"), QList<QDate>({F::D1, F::D2, F::D3, F::D1, F::D2}));
    EXPECT_EQ(numbers(outcome, "NSEDelQty"), QList<double>({400, 300, 200, 60, 50}));
}

TEST_F(RunScans, FallingNeedsEveryStepDownAndAFullWindow)
{
    const auto outcome = run("Falling Delivery Quantity for N days", "3");
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), QStringList({"Desc Ltd", "Desc Ltd", "Desc Ltd"}));

    // Over four days the flat step of Flat Ltd and the missing days of Young
    // Ltd keep them out of both lists.
    const auto rising = run("Rising Delivery Quantity for N days", "4");
    EXPECT_EQ(texts(rising, "Stock"), QStringList({"Asc Ltd", "Asc Ltd", "Asc Ltd", "Asc Ltd"}));
}

TEST_F(RunScans, OneDayMakesNoRun)
{
    const auto outcome = run("Rising Delivery Quantity for N days", "1");
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_TRUE(outcome.rows.isEmpty());
}

TEST_F(RunScans, GroupAndRangeRestrictTheScrips)
{
    fixture.link("TECH", young);
    fixture.link("TECH", down);
    auto in = F::inputs(kRisingGroup, "Rising Delivery Quantity for N days", F::D1, Exchange::Nse, "3");
    in.groupCode = "TECH";
    EXPECT_EQ(texts(fixture.run(in), "Stock"), QStringList({"Young Ltd", "Young Ltd"}));

    // Delivery on the first date between 300 and 500 keeps Asc Ltd (400) only.
    in.groupCode = "ALL";
    in.range(query::RangeMeasure::DeliveryQty) = {true, 300, 500};
    EXPECT_EQ(texts(fixture.run(in), "Stock"), QStringList({"Asc Ltd", "Asc Ltd", "Asc Ltd"}));

    in.range(query::RangeMeasure::Trades) = {true, 1, 2};
    const auto refused = fixture.run(in);
    EXPECT_EQ(refused.status, RunStatus::Refused);
    EXPECT_EQ(refused.message, query::refusals::noTradesData());
}

TEST_F(RunScans, ReportsEachScripScanned)
{
    QStringList lines;
    fixture.run(F::inputs(kRisingGroup, "Rising Price for N days", F::D1, Exchange::Nse, "3"),
                [&lines](const QString& text, int, int) { lines.append(text); });
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
    const auto outcome = fixture.run(F::inputs(kRisingGroup, "Rising Price for N days", F::D1, Exchange::Combined, "3"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Stock"), QStringList({"Both Ltd", "Both Ltd", "Both Ltd"}));
    EXPECT_EQ(numbers(outcome, "Rate"), QList<double>({99, 95, 90}));
    EXPECT_EQ(numbers(outcome, "TotalDelyQty"), QList<double>({10, 10, 10}));
    EXPECT_EQ(numbers(outcome, "TotalDelyQty%"), QList<double>({50, 50, 50}));
}

TEST(RunEntries, CountOnlyTheDaysTheExchangeTraded)
{
    using computations::RunMeasure;
    computations::ScanDay day;
    day.nseTraded = 1000;
    day.nseDelivered = 0;
    day.nsePercent = 0;
    day.nseClose = 0;
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

TEST(RunTest, EqualDaysBreakBothRuns)
{
    EXPECT_TRUE(computations::isRun({3, 2, 1}, 3, true));
    EXPECT_FALSE(computations::isRun({3, 2, 2}, 3, true));
    EXPECT_FALSE(computations::isRun({1, 2, 2}, 3, false));
    EXPECT_TRUE(computations::isRun({1, 2, 3}, 3, false));
    // A missing oldest day counts as 0: a rise over it, never a fall.
    EXPECT_TRUE(computations::isRun({3, 2}, 3, true));
    EXPECT_FALSE(computations::isRun({1, 2}, 3, false));
}

}  // namespace
