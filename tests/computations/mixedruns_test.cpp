#include "computations/scanbranches.h"
#include "query/runstate.h"
#include "scanfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RunStatus;
using F = ScanFixture;

namespace {

const int kResearchGroup = 9;
const QDate D5{2023, 12, 29};

class MixedRuns : public ::testing::Test {
protected:
    void SetUp() override
    {
        // NSE delivery, oldest first D5 .. D1.
        add("Vee Ltd", {{D5, 50}, {F::D4, 40}, {F::D3, 30}, {F::D2, 35}, {F::D1, 45}});
        add("Flat Ltd", {{D5, 50}, {F::D4, 40}, {F::D3, 30}, {F::D2, 30}, {F::D1, 45}});
        add("Rise Ltd", {{D5, 10}, {F::D4, 20}, {F::D3, 30}, {F::D2, 35}, {F::D1, 45}});
        add("Gap Ltd", {{F::D3, 50}, {F::D2, 40}, {F::D1, 45}});
    }

    void add(const char* company, const QList<std::pair<QDate, double>>& deliveries)
    {
        QList<F::Day> days;
        for (const auto& [day, delivered] : deliveries)
            days.append({day, delivered * 2, delivered, 50, 100});
        fixture.addScrip(company, QString::fromLatin1(company).left(3).toUpper(), "", days);
    }

    query::RunInputs inputs(const QString& rising, const QString& falling, Exchange exchange = Exchange::Nse)
    {
        return F::inputs(kResearchGroup, "Delivery Quantity", F::D1, exchange, rising, falling);
    }

    F fixture;
};

TEST_F(MixedRuns, ListsTheWholeWindowOfScripsThatFellThenRose)
{
    const auto outcome = fixture.run(inputs("3", "2"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Stock"), QStringList(5, "Vee Ltd"));
    EXPECT_EQ(numbers(outcome, "NSEDelQty"), QList<double>({45, 35, 30, 40, 50}));
    EXPECT_EQ(columnDates(outcome, "TradingDate"), QList<QDate>({F::D1, F::D2, F::D3, F::D4, D5}));
    EXPECT_EQ(outcome.state.secondDate, D5);
}

TEST_F(MixedRuns, WithoutFallingDaysTheRiseAloneDecides)
{
    const auto outcome = fixture.run(inputs("3", "0"));
    EXPECT_EQ(texts(outcome, "Stock"), QStringList({"Rise Ltd", "Rise Ltd", "Rise Ltd", "Vee Ltd", "Vee Ltd", "Vee Ltd"}));
}

TEST_F(MixedRuns, DaysOutsideARangeCloseUpTheSeries)
{
    // Gap Ltd's 50 on D3 leaves the window: 45 over 40 over nothing rises.
    auto in = inputs("3", "0");
    in.range(query::RangeMeasure::DeliveryQty) = {true, 0, 48};
    const auto outcome = fixture.run(in);
    EXPECT_EQ(texts(outcome, "Stock"),
              QStringList({"Gap Ltd", "Gap Ltd", "Rise Ltd", "Rise Ltd", "Rise Ltd", "Vee Ltd", "Vee Ltd", "Vee Ltd"}));
}

TEST_F(MixedRuns, RefusesBothExchangesAndOneRisingDayMakesNoRun)
{
    EXPECT_EQ(fixture.run(inputs("3", "2", Exchange::Combined)).message, query::refusals::optionNotAllowed());
    EXPECT_TRUE(fixture.run(inputs("1", "2")).rows.isEmpty());
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
