#include "computations/scanbranches.h"
#include "query/runstate.h"
#include "scanfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RunStatus;
using F = ScanFixture;

namespace {

const int kCombinedGroup = 6;
const QString kRisingPrice = QStringLiteral("Rising Traded Qty, Rising Delivery Qty, Rising Price");
const QString kFallingPrice = QStringLiteral("Rising Traded Qty, Rising Delivery Qty, Falling Price");

struct Figures {
    QDate day;
    double traded, delivered, close;
};

class CombinedScans : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Oldest first; BSE trades and delivers twice the NSE figures at the same close.
        add("Pass Ltd", "PASS", {{F::D3, 10, 5, 100}, {F::D2, 20, 6, 90}, {F::D1, 30, 7, 80}});
        add("Stall Ltd", "STALL", {{F::D3, 10, 5, 100}, {F::D2, 20, 6, 100}, {F::D1, 30, 7, 80}});
        add("Up Ltd", "UP", {{F::D3, 10, 5, 80}, {F::D2, 20, 6, 90}, {F::D1, 30, 7, 100}});
        add("Short Ltd", "SHORT", {{F::D2, 20, 6, 90}, {F::D1, 30, 7, 95}});
        fixture.db().exec("INSERT INTO nnf_security VALUES (11, 'PASS', 'EQ'), (12, 'UP', 'EQ'), (13, 'SHORT', 'EQ'),"
                          " (14, 'STALL', 'EQ'), (15, 'UP', 'BE')");
    }

    void add(const char* company, const char* symbol, const QList<Figures>& figures)
    {
        QList<F::Day> days;
        for (const Figures& f : figures)
            days.append({f.day, f.traded, f.delivered, f.delivered * 100 / f.traded, f.close, f.traded * 2,
                         f.delivered * 2, f.delivered * 100 / f.traded, f.close});
        fixture.addScrip(company, symbol, QStringLiteral("5%1").arg(symbol), days);
    }

    query::RunOutcome run(const QString& label, Exchange exchange = Exchange::Nse, const QString& days = "3")
    {
        return fixture.run(F::inputs(kCombinedGroup, label, F::D1, exchange, days));
    }

    F fixture;
};

TEST_F(CombinedScans, FallingPriceWithRisingQuantities)
{
    const auto outcome = run(kFallingPrice);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Stock"), QStringList(3, "Pass Ltd"));
    EXPECT_EQ(numbers(outcome, "srno"), QList<double>({11, 11, 11}));
    EXPECT_EQ(columnDates(outcome, "TrnDate"), QList<QDate>({F::D1, F::D2, F::D3}));
    EXPECT_EQ(numbers(outcome, "NSETrdQty"), QList<double>({30, 20, 10}));
    EXPECT_EQ(numbers(outcome, "NSEPrice"), QList<double>({80, 90, 100}));
    EXPECT_EQ(numbers(outcome, "BSETrdQty"), QList<double>({60, 40, 20}));
}

TEST_F(CombinedScans, OnlyScripsWithEveryDayAreTested)
{
    // Short Ltd would rise over a missing third day; it is not tested.
    EXPECT_EQ(texts(run(kRisingPrice), "Stock"), QStringList(3, "Up Ltd"));
    EXPECT_TRUE(run(kRisingPrice, Exchange::Nse, "3.5").rows.isEmpty());
}

TEST_F(CombinedScans, BseShowsTheNseFiguresBesideItsOwn)
{
    const auto outcome = run(kFallingPrice, Exchange::Bse);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Stock"), QStringList(3, "Pass Ltd"));
    EXPECT_EQ(numbers(outcome, "BSETrdQty"), QList<double>({60, 40, 20}));
    EXPECT_EQ(numbers(outcome, "NSETrdQty"), QList<double>({30, 20, 10}));
}

TEST_F(CombinedScans, BothExchangesSumTheQuantities)
{
    const auto outcome = run(kFallingPrice, Exchange::Combined);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(numbers(outcome, "TotalTrdQty"), QList<double>({90, 60, 30}));
    EXPECT_EQ(numbers(outcome, "Dely %"), QList<double>({23.33, 30, 50}));
}

TEST_F(CombinedScans, RangeTestsTheCloseOnTheFirstDate)
{
    auto in = F::inputs(kCombinedGroup, kFallingPrice, F::D1, Exchange::Nse, "3");
    in.range(query::RangeMeasure::Price) = {true, 0, 85};
    EXPECT_EQ(texts(fixture.run(in), "Stock"), QStringList(3, "Pass Ltd"));
    in.range(query::RangeMeasure::Price) = {true, 85, 200};
    const auto outcome = fixture.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_TRUE(outcome.rows.isEmpty());
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
