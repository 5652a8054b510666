#include "scanmarket.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RunStatus;
using scantest::headings;
using scantest::nbsp;
using scantest::numbers;
using scantest::ScanMarket;
using scantest::texts;

namespace {

const QDate kQueryDay = ScanMarket::day(3);

class StrevQuery : public ::testing::Test {
protected:
    ScanMarket market;

    void SetUp() override
    {
        market.addScrip(1, QStringLiteral("Alpha Ltd"), QStringLiteral("ALPHA"), QStringLiteral("500001"));
        market.addScrip(2, QStringLiteral("Beta Ltd"), QStringLiteral("BETA"), QStringLiteral("500002"));
        market.addScrip(3, QStringLiteral("Gamma Ltd"), QStringLiteral("GAMMA"), QStringLiteral("500003"));
        market.link(QStringLiteral("BANK"), 1);
        market.addDay(1, ScanMarket::day(0), {999, 0, 0, 1}, {999, 0, 0, 1});
        market.addDay(1, ScanMarket::day(1), {60, 0, 0, 90}, {40, 0, 0, 90});
        market.addDay(1, ScanMarket::day(2), {80, 0, 0, 100}, {20, 0, 0, 99});
        market.addDay(1, kQueryDay, {100, 40, 40, 110}, {50, 10, 20, 111});
        // No NSE close: the BSE close counts.
        market.addDay(2, ScanMarket::day(1), {10, 0, 0, 0}, {10, 0, 0, 30});
        market.addDay(2, ScanMarket::day(2), {20, 0, 0, 0}, {30, 0, 0, 40});
        market.addDay(2, kQueryDay, {5, 1, 20, 0}, {5, 2, 40, 50});
        // No row on the previous trading day.
        market.addDay(3, ScanMarket::day(1), {10, 0, 0, 10});
        market.addDay(3, kQueryDay, {10, 0, 0, 10});
    }

    query::RunInputs strev(const QString& n) const
    {
        return market.inputs(2, QStringLiteral("Strev Query"), kQueryDay, n, Exchange::Bse);
    }
};

TEST_F(StrevQuery, ListsTheDayAgainstThePreviousDayAndThePeriodsAverageVolume)
{
    const auto outcome = market.run(strev(QStringLiteral("2")));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome), (QStringList{"company", "ClosingPrice", "%ChgInPrice", "BSEDely", "NSEDely", "TotalDely",
                                              "BSEVol", "NSEVol", "TotalVol", "7Days AvgVol", nbsp(1)}));
    EXPECT_EQ(texts(outcome, "company"), (QStringList{"Alpha Ltd", "Beta Ltd"}));
    EXPECT_EQ(numbers(outcome, "ClosingPrice"), (QList<double>{110, 50}));
    EXPECT_EQ(numbers(outcome, "%ChgInPrice"), (QList<double>{10, 25}));
    EXPECT_EQ(numbers(outcome, "TotalDely"), (QList<double>{50, 3}));
    EXPECT_EQ(numbers(outcome, "TotalVol"), (QList<double>{150, 10}));
    // The two days before the query's day: (100 + 100) / 2 and (20 + 50) / 2.
    EXPECT_EQ(numbers(outcome, "7Days AvgVol"), (QList<double>{100, 35}));

    // N = 3 takes day 0 into the average.
    const auto longer = market.run(strev(QStringLiteral("3")));
    ASSERT_EQ(longer.status, RunStatus::Completed);
    EXPECT_EQ(numbers(longer, "7Days AvgVol").first(), 733);
}

TEST_F(StrevQuery, GroupScripsAndRangesNarrowTheListAndTooFewDaysAreRefused)
{
    auto in = strev(QStringLiteral("2"));
    in.groupCode = QStringLiteral("BANK");
    EXPECT_EQ(texts(market.run(in), "company"), QStringList{"Alpha Ltd"});

    in = strev(QStringLiteral("2"));
    in.scripCodes = {2};
    EXPECT_EQ(texts(market.run(in), "company"), QStringList{"Beta Ltd"});

    // The range judges the query day's row on the chosen exchange (BSE close).
    in = strev(QStringLiteral("2"));
    in.range(query::RangeMeasure::Price) = {true, 100, 200};
    EXPECT_EQ(texts(market.run(in), "company"), QStringList{"Alpha Ltd"});

    EXPECT_EQ(market.run(strev(QStringLiteral("4"))).status, RunStatus::Refused);
}

class AbnormalTrading : public ::testing::Test {
protected:
    ScanMarket market;

    void SetUp() override
    {
        const struct {
            int code;
            const char* company;
            double traded[3];
            double closes[3];
            double delivered;
        } scrips[] = {
            // The query day's traded quantity is set against the average; its
            // delivery plays no part. A day without a trade has no close and
            // stays out of the average close.
            {1, "Alpha Ltd", {0, 450, 150}, {0, 15, 30}, 300},   // 25 % below 200; close 33.33 % above 22.5
            {2, "Beta Ltd", {100, 100, 130}, {10, 10, 10}, 10},  // above the average 110, little delivered
            {3, "Gamma Ltd", {145, 145, 10}, {10, 10, 10}, 5},   // 90 % below 100
        };
        for (const auto& scrip : scrips) {
            market.addScrip(scrip.code, QString::fromLatin1(scrip.company), QStringLiteral("S%1").arg(scrip.code),
                            QStringLiteral("5%1").arg(scrip.code));
            market.addDay(scrip.code, ScanMarket::day(0), {5000, 5000, 1, 999}, {5000, 5000, 1, 999});
            for (int k = 0; k < 3; ++k) {
                const double delivered = k == 2 ? scrip.delivered : 0;
                market.addDay(scrip.code, ScanMarket::day(k + 1), {scrip.traded[k], delivered, 0, scrip.closes[k]},
                              {scrip.traded[k], delivered, 0, scrip.closes[k]});
            }
        }
    }

    query::RunOutcome run(const QString& percent, Exchange exchange)
    {
        auto in = market.inputs(2, QStringLiteral("Abnormal Change in Trading qty below Average Trading Qty"), kQueryDay,
                                percent, exchange);
        in.number2Text = QStringLiteral("3");
        return market.run(in);
    }
};

TEST_F(AbnormalTrading, ListsTradingBelowTheAverageTradedQuantityWithinThePercentage)
{
    auto outcome = run(QStringLiteral("999999"), Exchange::Nse);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome), (QStringList{"Stock", "Trading Qty", "Avg Trd Qty", "Difference", "Trd Chg %", "Rate",
                                              "% Rate Chg From Avg Rate", nbsp(1), nbsp(2)}));
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Alpha Ltd", "Gamma Ltd"}));
    EXPECT_EQ(numbers(outcome, "Trading Qty"), (QList<double>{150, 10}));
    EXPECT_EQ(numbers(outcome, "Avg Trd Qty"), (QList<double>{200, 100}));
    EXPECT_EQ(numbers(outcome, "Difference"), (QList<double>{-50, -90}));
    EXPECT_EQ(numbers(outcome, "Trd Chg %"), (QList<double>{-25, -90}));
    EXPECT_EQ(numbers(outcome, "% Rate Chg From Avg Rate"), (QList<double>{33.33, 0}));

    outcome = run(QStringLiteral("50"), Exchange::Nse);
    EXPECT_EQ(texts(outcome, "Stock"), QStringList{"Alpha Ltd"});
}

TEST_F(AbnormalTrading, BseLabelsTheChangeAsDeliveryAndCombinedSumsBothExchanges)
{
    auto outcome = run(QStringLiteral("999999"), Exchange::Bse);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(headings(outcome).at(4), QStringLiteral("Dely Chg %"));
    EXPECT_EQ(outcome.rows.columnIndex(QStringLiteral("Trd Chg %")), -1);
    EXPECT_EQ(numbers(outcome, "Dely Chg %"), (QList<double>{-25, -90}));

    outcome = run(QStringLiteral("999999"), Exchange::Combined);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(numbers(outcome, "Trading Qty"), (QList<double>{300, 20}));
    EXPECT_EQ(numbers(outcome, "Avg Trd Qty"), (QList<double>{400, 200}));
    EXPECT_EQ(numbers(outcome, "% Rate Chg From Avg Rate"), (QList<double>{33.33, 0}));

    // "ALL" still goes through the membership that lists every scrip.
    market.db().exec(QStringLiteral("DELETE FROM LinkDetails WHERE GrpCode = 'ALL' AND ScrCode = 3"));
    outcome = run(QStringLiteral("999999"), Exchange::Nse);
    EXPECT_EQ(texts(outcome, "Stock"), QStringList{"Alpha Ltd"});
}

TEST(DeliveryValueSummary, OneRowPerDayWithBothExchangesSideBySide)
{
    ScanMarket market;
    market.addScrip(1, QStringLiteral("Alpha Ltd"), QStringLiteral("ALPHA"), QStringLiteral("500001"));
    market.addScrip(2, QStringLiteral("Beta Ltd"), QStringLiteral("BETA"), QString());
    const double crore = 10000000;
    market.addDay(1, ScanMarket::day(1), {crore, crore / 2, 50, 2}, {2 * crore, crore / 2, 25, 2});
    market.addDay(2, ScanMarket::day(1), {crore, crore, 100, 1});
    market.addDay(2, ScanMarket::day(2), {crore, crore, 100, 1});
    market.addDay(2, ScanMarket::day(3), {crore, crore, 100, 1});

    auto in = market.inputs(7, QStringLiteral("Delivery Value - Summary"), ScanMarket::day(2));
    in.secondDate = ScanMarket::day(1);
    const auto outcome = market.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome), (QStringList{"transdate", "BTradedQty", "BTradedValue", "BDelyQty", "BDelyValue", "BSE%Dely",
                                              "BSE%DelyValue", "NTradedQty", "NTradedValue", "NDelyQty", "NDelyValue",
                                              "NSE%Dely", "NSE%DelyValue"}));
    ASSERT_EQ(outcome.rows.size(), 2);
    EXPECT_EQ(outcome.rows.value(0, QStringLiteral("transdate")).toDate(), ScanMarket::day(1));
    EXPECT_EQ(outcome.rows.value(1, QStringLiteral("transdate")).toDate(), ScanMarket::day(2));
    EXPECT_EQ(numbers(outcome, "BTradedQty"), (QList<double>{2, 0}));
    EXPECT_EQ(numbers(outcome, "BTradedValue"), (QList<double>{4, 0}));
    EXPECT_EQ(numbers(outcome, "BSE%Dely"), (QList<double>{25, 0}));
    EXPECT_EQ(numbers(outcome, "NTradedQty"), (QList<double>{2, 1}));
    EXPECT_EQ(numbers(outcome, "NTradedValue"), (QList<double>{3, 1}));
    EXPECT_EQ(numbers(outcome, "NDelyValue"), (QList<double>{2, 1}));
    EXPECT_EQ(numbers(outcome, "NSE%Dely"), (QList<double>{75, 100}));
    EXPECT_EQ(numbers(outcome, "NSE%DelyValue"), (QList<double>{66.67, 100}));
}

}  // namespace
