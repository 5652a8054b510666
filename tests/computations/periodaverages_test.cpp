#include "scanmarket.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RunStatus;
using scantest::nbsp;
using scantest::ScanMarket;

namespace {

const QDate kQueryDay = ScanMarket::day(3);

TEST(StrevQuery, TheDayAgainstThePreviousDayAndThePeriodsAverageVolume)
{
    ScanMarket market;
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
    auto strev = [&market](const char* n) { return market.inputs(2, "Strev Query", kQueryDay, n, Exchange::Bse); };
    expectRuns(market,
               {// The two days before the query's day: (100 + 100) / 2 and (20 + 50) / 2.
                {strev("2"),
                 {"company", "ClosingPrice", "%ChgInPrice", "BSEDely", "NSEDely", "TotalDely", "BSEVol", "NSEVol", "TotalVol",
                  "7Days AvgVol", nbsp(1)},
                 {{"company", Texts{"Alpha Ltd", "Beta Ltd"}}, {"ClosingPrice", Numbers{110, 50}},
                  {"%ChgInPrice", Numbers{10, 25}}, {"TotalDely", Numbers{50, 3}}, {"TotalVol", Numbers{150, 10}},
                  {"7Days AvgVol", Numbers{100, 35}}}},
                // N = 3 takes day 0 into the average.
                {strev("3"), {}, {{"7Days AvgVol", Numbers{733, 35}}}},
                {inGroup(strev("2"), "BANK"), {}, {{"company", Texts{"Alpha Ltd"}}}},
                {onScrips(strev("2"), {2}), {}, {{"company", Texts{"Beta Ltd"}}}},
                // The range judges the query day's row on the chosen exchange (BSE close).
                {inRange(strev("2"), query::RangeMeasure::Price, 100, 200), {}, {{"company", Texts{"Alpha Ltd"}}}},
                {strev("4"), {}, {}, query::refusals::tooFewTradingDays(kQueryDay)}});
}

TEST(AbnormalTrading, TradingBelowTheAverageTradedQuantityWithinThePercentage)
{
    ScanMarket market;
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
    auto in = [&market](const char* percent, Exchange exchange) {
        return withNumber2(market.inputs(2, "Abnormal Change in Trading qty below Average Trading Qty", kQueryDay,
                                         percent, exchange),
                           "3");
    };
    expectRuns(market,
               {{in("999999", Exchange::Nse),
                 {"Stock", "Trading Qty", "Avg Trd Qty", "Difference", "Trd Chg %", "Rate", "% Rate Chg From Avg Rate",
                  nbsp(1), nbsp(2)},
                 {{"Stock", Texts{"Alpha Ltd", "Gamma Ltd"}}, {"Trading Qty", Numbers{150, 10}},
                  {"Avg Trd Qty", Numbers{200, 100}}, {"Difference", Numbers{-50, -90}}, {"Trd Chg %", Numbers{-25, -90}},
                  {"% Rate Chg From Avg Rate", Numbers{33.33, 0}}}},
                {in("50", Exchange::Nse), {}, {{"Stock", Texts{"Alpha Ltd"}}}},
                // BSE labels the change as delivery; both exchanges sum their figures.
                {in("999999", Exchange::Bse), {"Stock", "Trading Qty", "Avg Trd Qty", "Difference", "Dely Chg %"},
                 {{"Dely Chg %", Numbers{-25, -90}}}},
                {in("999999", Exchange::Combined), {},
                 {{"Trading Qty", Numbers{300, 20}}, {"Avg Trd Qty", Numbers{400, 200}},
                  {"% Rate Chg From Avg Rate", Numbers{33.33, 0}}}}});
    EXPECT_EQ(market.run(in("999999", Exchange::Bse)).rows.columnIndex(QStringLiteral("Trd Chg %")), -1);
    // "ALL" still goes through the membership that lists every scrip.
    market.db().exec(QStringLiteral("DELETE FROM LinkDetails WHERE GrpCode = 'ALL' AND ScrCode = 3"));
    expectRuns(market, {{in("999999", Exchange::Nse), {}, {{"Stock", Texts{"Alpha Ltd"}}}}});
}

TEST(DeliveryValueSummary, OneRowPerDayWithBothExchangesSideBySide)
{
    ScanMarket market;
    market.addScrip(1, QStringLiteral("Alpha Ltd"), QStringLiteral("ALPHA"), QStringLiteral("500001"));
    market.addScrip(2, QStringLiteral("Beta Ltd"), QStringLiteral("BETA"), QString());
    const double crore = 10000000;
    market.addDay(1, ScanMarket::day(1), {crore, crore / 2, 50, 2}, {2 * crore, crore / 2, 25, 2});
    for (int k = 1; k <= 3; ++k)
        market.addDay(2, ScanMarket::day(k), {crore, crore, 100, 1});
    const auto outcome =
        market.run(withSecondDate(market.inputs(7, "Delivery Value - Summary", ScanMarket::day(2)), ScanMarket::day(1)));
    expectRun(outcome,
              {"transdate", "BTradedQty", "BTradedValue", "BDelyQty", "BDelyValue", "BSE%Dely", "BSE%DelyValue",
               "NTradedQty", "NTradedValue", "NDelyQty", "NDelyValue", "NSE%Dely", "NSE%DelyValue"},
              {{"BTradedQty", Numbers{2, 0}}, {"BTradedValue", Numbers{4, 0}}, {"BSE%Dely", Numbers{25, 0}},
               {"NTradedQty", Numbers{2, 1}}, {"NTradedValue", Numbers{3, 1}}, {"NDelyValue", Numbers{2, 1}},
               {"NSE%Dely", Numbers{75, 100}}, {"NSE%DelyValue", Numbers{66.67, 100}}});
    ASSERT_EQ(outcome.rows.size(), 2);
    EXPECT_EQ(outcome.rows.value(0, QStringLiteral("transdate")).toDate(), ScanMarket::day(1));
    EXPECT_EQ(outcome.rows.value(1, QStringLiteral("transdate")).toDate(), ScanMarket::day(2));
}

}  // namespace
