#include "computations/scanbranches.h"
#include "computations/scanframe.h"
#include "scanfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RunStatus;
using F = ScanFixture;

namespace {

const int kStatisticalGroup = 2;
const QString kQtyAbove = QStringLiteral("Delivery Qty moving above Average Delivery Qty");
const QString kQtyBelow = QStringLiteral("Delivery Qty moving below Average Delivery Qty");
const QString kPercAbove = QStringLiteral("Delivery % Qty moving above its Average % Delivery Qty");

class AverageChange : public ::testing::Test {
protected:
    void SetUp() override
    {
        // NSE delivery on D3, D2, D1 (oldest first), percentage alongside.
        add("Above Ltd", {{F::D3, 10}, {F::D2, 20}, {F::D1, 60}});   // 60 against 30
        add("Below Ltd", {{F::D3, 30}, {F::D2, 30}, {F::D1, 3}});    // 3 against 21
        add("Equal Ltd", {{F::D3, 10}, {F::D2, 10}, {F::D1, 10}});   // on its average
        add("Tiny Ltd", {{F::D3, 50}, {F::D2, 1}, {F::D1, 100}});    // day before holds only 1
        add("Short Ltd", {{F::D2, 40}, {F::D1, 100}});               // 140 / 3 = 46.67
    }

    void add(const char* company, const QList<std::pair<QDate, double>>& deliveries)
    {
        QList<F::Day> days;
        for (const auto& [day, delivered] : deliveries)
            days.append({day, delivered * 4, delivered, delivered / 2, 10});
        fixture.addScrip(company, QString::fromLatin1(company).left(4).toUpper(), "", days);
    }

    query::RunOutcome run(const QString& label, const QString& days = "3")
    {
        return fixture.run(F::inputs(kStatisticalGroup, label, F::D1, Exchange::Nse, days));
    }

    F fixture;
};

TEST_F(AverageChange, AboveListsTheNewestDayOverItsAverageLargestChangeFirst)
{
    const auto outcome = run(kQtyAbove);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Stock"), QStringList({"Short Ltd", "Above Ltd"}));
    EXPECT_EQ(numbers(outcome, "NSEAvgQty"), QList<double>({46.67, 30}));
    EXPECT_EQ(numbers(outcome, "NSEDelQty"), QList<double>({100, 60}));
    EXPECT_EQ(numbers(outcome, "%Chg"), QList<double>({114.27, 100}));
    EXPECT_EQ(texts(outcome, "Symbol"), QStringList({"SHOR", "ABOV"}));
}

TEST_F(AverageChange, BelowListsTheNewestDayUnderItsAverage)
{
    const auto outcome = run(kQtyBelow);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), QStringList({"Below Ltd"}));
    EXPECT_EQ(numbers(outcome, "NSEAvgQty"), QList<double>({21}));
    EXPECT_EQ(numbers(outcome, "%Chg"), QList<double>({-85.71}));
}

TEST_F(AverageChange, PercentageAveragesTheDeliveryPercentage)
{
    // Percentages are half the deliveries: the same scrips, halved averages.
    const auto outcome = run(kPercAbove);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Stock"), QStringList({"Short Ltd", "Above Ltd"}));
    EXPECT_EQ(numbers(outcome, "NSEAvgDely %"), QList<double>({23.33, 15}));
}

TEST(AverageChangeOfBothExchanges, ADayWithoutTradesCountsAsNoDelivery)
{
    // Both exchanges deliver 20 % on D3 and D2; the newest day differs.
    F fixture;
    const struct {
        const char* company;
        F::Day newest;
        bool below;
        double average;
    } scrips[] = {
        {"Idle Ltd", {F::D1, 0, 0, 0, 10, 0, 0, 0, 10}, true, 13.33},        // no trades: 0 %
        {"Undelivered Ltd", {F::D1, 500, 0, 0, 10, 500, 0, 0, 10}, true, 13.37},  // floored at 1 of 1000: 0.1 %
        {"Busy Ltd", {F::D1, 500, 150, 30, 10, 500, 150, 30, 10}, false, 23.33},  // 30 %
    };
    QStringList below;
    QList<double> averages;
    for (const auto& scrip : scrips) {
        F::Day older{F::D3, 500, 100, 20, 10, 500, 100, 20, 10};
        F::Day before = older;
        before.day = F::D2;
        fixture.addScrip(QString::fromLatin1(scrip.company), "", "", {older, before, scrip.newest});
        if (scrip.below) {
            below.append(QString::fromLatin1(scrip.company));
            averages.append(scrip.average);
        }
    }
    const auto outcome = fixture.run(
        F::inputs(kStatisticalGroup, "Delivery % Qty moving below its Average % Delivery Qty", F::D1, Exchange::Combined, "3"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    QStringList listed = texts(outcome, "Stock");
    listed.sort();
    below.sort();
    EXPECT_EQ(listed, below);
    QList<double> listedAverages = numbers(outcome, "AvgDely %");
    std::sort(listedAverages.begin(), listedAverages.end());
    EXPECT_EQ(listedAverages, averages);
}

TEST(DayAverage, DividesByTheNumberOfDaysAndRoundsTheResult)
{
    // Missing days count as 0 but still divide.
    EXPECT_EQ(computations::dayAverage({30, 20}, 5), 10.0);
    EXPECT_EQ(computations::dayAverage({10.001, 10.011, 10.0}, 3), 10.0);
    EXPECT_FALSE(computations::dayAverage({500, 1, 300}, 3).has_value());
    EXPECT_FALSE(computations::dayAverage({500}, 3).has_value());
}

TEST(AveragedFigure, CombinedPercentageOfADayWithoutTradesIsZero)
{
    // NSE and BSE traded, NSE and BSE delivered, the day's percentage: a day
    // without trades counts 0 %, as it does on one exchange; a delivery of
    // nothing is floored at 1.
    const struct {
        double nseTraded, bseTraded, nseDelivered, bseDelivered, percent;
    } days[] = {{0, 0, 0, 0, 0}, {0, 0, 40, 0, 0}, {5000, 0, 0, 0, 0.02}, {600, 400, 300, 200, 50}};
    for (const auto& d : days) {
        computations::ScanDay day;
        day.nseTraded = d.nseTraded;
        day.bseTraded = d.bseTraded;
        day.nseDelivered = d.nseDelivered;
        day.bseDelivered = d.bseDelivered;
        EXPECT_DOUBLE_EQ(computations::averagedFigure(true, Exchange::Combined, day), d.percent) << d.nseTraded;
    }
    computations::ScanDay day;
    day.nseDelivered = -5;
    day.bseDelivered = 7;
    EXPECT_EQ(computations::averagedFigure(false, Exchange::Combined, day), 7);
}

}  // namespace
