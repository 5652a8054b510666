#include "scanmarket.h"

#include <gtest/gtest.h>

using query::Exchange;
using scantest::nbsp;
using scantest::ScanMarket;

namespace {

using Figures = ScanMarket::Figures;

const QDate kQueryDay = ScanMarket::day(4);
const char* const kRisingBoth = "Rising Traded Qty and Rising Delivery Qty";

// Four trading days (1 to 4); a window of N = 3 covers days 2 to 4. Each
// scrip's figures are given oldest first for days 2, 3 and 4.
TEST(TwoConditionScans, ListEveryDayOfTheScripsThatMovedStrictlyBothWays)
{
    ScanMarket market;
    const struct {
        const char* company;
        Figures nse[3], bse[3];
        bool skipMiddle = false;
    } scrips[] = {
        // Traded and delivered rising, percentage flat, price falling.
        {"Alpha Ltd", {{100, 10, 10, 5}, {200, 20, 10, 4}, {300, 30, 10, 3}}, {{1, 1, 50, 9}, {2, 2, 50, 9}, {3, 3, 50, 9}}},
        // Traded flat on the last step.
        {"Beta Ltd", {{100, 10, 10, 5}, {200, 20, 10, 6}, {200, 30, 10, 7}}, {}},
        // Would pass, but has no row on day 3.
        {"Gamma Ltd", {{100, 10, 10, 5}, {200, 20, 10, 4}, {300, 30, 10, 3}}, {{1, 1, 1, 1}, {2, 2, 2, 2}, {3, 3, 3, 3}}, true},
        // Traded falling, delivered rising.
        {"Delta Ltd", {{300, 10, 10, 5}, {200, 20, 10, 5}, {100, 30, 10, 5}}, {}},
    };
    int code = 0;
    for (const auto& s : scrips) {
        ++code;
        const QString name = QString::fromLatin1(s.company);
        market.addScrip(code, name, name.left(name.indexOf(' ')).toUpper(), QStringLiteral("50000%1").arg(code));
        market.addDay(code, ScanMarket::day(1), {1, 1, 1, 1}, {1, 1, 1, 1});
        for (int k = 0; k < 3; ++k)
            if (!(s.skipMiddle && k == 1))
                market.addDay(code, ScanMarket::day(k + 2), s.nse[k], s.bse[k]);
    }
    auto in = [&market](const char* label, Exchange exchange = Exchange::Nse, const char* n = "3") {
        return market.inputs(6, QString::fromUtf8(label), kQueryDay, QString::fromLatin1(n), exchange);
    };
    QStringList progress;
    const auto outcome = market.run(in(kRisingBoth), &progress);
    expectRun(outcome,
              {"Stock", "TrnDate", "NSETrdQty", "NSEDelyQty", "NSEPrice", "BSETrdQty", "BSEDelQty", "BSEPrice"},
              {{"Stock", Texts(3, "Alpha Ltd")}, {"NSETrdQty", Numbers{300, 200, 100}}, {"BSETrdQty", Numbers{3, 2, 1}}});
    EXPECT_EQ(outcome.rows.value(0, QStringLiteral("TrnDate")).toDate(), kQueryDay);
    EXPECT_EQ(outcome.rows.value(2, QStringLiteral("TrnDate")).toDate(), ScanMarket::day(2));
    EXPECT_TRUE(progress.contains(QStringLiteral("Processing for Stock Alpha Ltd")));
    expectRuns(market,
               {{in("Falling Traded Qty and Rising Delivery Qty"), {}, {{"Stock", Texts(3, "Delta Ltd")}}},
                // A flat percentage fails both directions.
                {in("Rising Traded Qty and Rising % Delivery Qty"), {"Stock", "TrnDate", "NSETrdQty", "NSEDely %"},
                 {{"Stock", Texts{}}}},
                {in("Falling price & Rising Delivery Quantity"), {}, {{"Stock", Texts(3, "Alpha Ltd")}}},
                // BSE tests its own figures and shows the NSE ones beside.
                {in(kRisingBoth, Exchange::Bse),
                 {"Stock", "TrnDate", "BSETrdQty", "BSEDelyQty", "BSEPrice", "NSETrdQty", "NSEDelyQty", "NSEPrice"},
                 {{"Stock", Texts(3, "Alpha Ltd")}, {"BSETrdQty", Numbers{3, 2, 1}}, {"NSETrdQty", Numbers{300, 200, 100}}}},
                // Both exchanges test the sums and recompute the percentage.
                {in(kRisingBoth, Exchange::Combined),
                 {"Stock", "TrnDate", "TotalTrdQty", "TotalDelyQty", "Price", "Dely %", nbsp(1), nbsp(2), nbsp(3)},
                 {{"TotalTrdQty", Numbers{303, 202, 101}}, {"Dely %", Numbers{10.89, 10.89, 10.89}}}},
                // One day makes no step and gives nothing.
                {in(kRisingBoth, Exchange::Nse, "1"), {}, {{"Stock", Texts{}}}},
                // Ranges judge the query day's row and keep every day.
                {inRange(in(kRisingBoth), query::RangeMeasure::TradedQty, 250, 1000), {}, {{"Stock", Texts(3, "Alpha Ltd")}}},
                {inRange(in(kRisingBoth), query::RangeMeasure::TradedQty, 0, 250), {}, {{"Stock", Texts{}}}},
                {inRange(in(kRisingBoth), query::RangeMeasure::Trades, 0, 1), {}, {}, query::refusals::noTradesData()},
                // The increasing-delivery queries set the query day beside the
                // window's first; with a rising price only Beta's price and
                // delivery both rise.
                {in("Increasing Delivery Qty & Decreasing Price"),
                 {"Scrip", "TodayDely", "PrevDely", "TodayPerc", "PrevPerc", "TodayRate", "PrevRate", "TodayTrdQty",
                  "PrevTrdQty"},
                 {{"Scrip", Texts{"Alpha Ltd"}}, {"TodayDely", Numbers{30}}, {"PrevDely", Numbers{10}},
                  {"PrevRate", Numbers{5}}}},
                {in("Increasing Delivery Qty & Increasing Price"), {}, {{"Scrip", Texts{"Beta Ltd"}}}}});
}

}  // namespace
