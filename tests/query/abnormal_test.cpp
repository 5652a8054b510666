#include "daystore.h"
#include "marketfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RunStatus;
using F = MarketFixture;

namespace {

const QString kNbsp1(1, QChar(0x00A0));
const QString kNbsp2(2, QChar(0x00A0));

const QString kDeliveryOverDay = QStringLiteral("Abnormal Change in delivery qty over previous day");
const QString kPercentOverDay = QStringLiteral("Abnormal Change in % delivery qty over previous day");
const QString kTradingOverDay = QStringLiteral("Abnormal Change in Trading qty over previous day");
const QString kDeliveryAboveAverage = QStringLiteral("Abnormal Change in delivery qty above Average Delivery Qty");
const QString kTradingAboveAverage = QStringLiteral("Abnormal Change in Trading qty above Average Trading Qty");

// The abnormal changes on the last day of MarketFixture: the number box holds
// the percentage, the second one the window of an "above average" query.
query::RunInputs abnormal(const QString& label, Exchange exchange, const char* percent, const char* days = "",
                          const QDate& day = F::D1)
{
    return withNumber2(F::inputs(2, label, day, {}, exchange, QString::fromLatin1(percent)), QString::fromLatin1(days));
}

TEST(AbnormalChangeQueries, ListTheChangesReachingThePercentageLargestFirst)
{
    MarketFixture market;
    expectRuns(
        market,
        {{abnormal(kDeliveryOverDay, Exchange::Nse, "50"),
          {"Stock", "NSECode", "DelyQty", "PrevDelyQty", "Difference", "PerChange", "rate", "% Chg", "Volume", "PrevVolume",
           kNbsp1, kNbsp2},
          {{"Stock", Texts{"Gamma Ltd"}}, {"NSECode", Texts{"GAMMA"}}, {"PerChange", Texts{"500 % "}},
           {"Difference", Numbers{500 * F::kLot}}, {"% Chg", Numbers{-20}}},
          {},
          F::D2},
         // A previous day without delivery counts as 1: Delta and Epsilon fall
         // by 100 %; Zeta has no previous day and never shows.
         {abnormal(kDeliveryOverDay, Exchange::Nse, "-100"), {},
          {{"Stock", Texts{"Gamma Ltd", "Alpha Ltd", "Beta Ltd", "Delta Ltd", "Epsilon Ltd"}},
           {"PerChange", Texts{"500 % ", "11.11 % ", "-25 % ", "-100 % ", "-100 % "}}}},
         {abnormal(kPercentOverDay, Exchange::Bse, "0"),
          {"Stock", "% DelyQty", "Prev % DelyQty", "Diff", "% change", "Rate", "% Chg"},
          {{"Stock", Texts{"Beta Ltd", "Epsilon Ltd", "Alpha Ltd"}}, {"% change", Numbers{150, 150, 100}},
           {"Diff", Numbers{30, 30, 25}}, {"% Chg", Numbers{-5.56, 20, 5.21}}}},
         {abnormal(kPercentOverDay, Exchange::Combined, "0"),
          {"Stock", "% Dely", "Prev % Dely", "NSE % chg", "Rate", "% Chg"},
          {{"Stock", Texts{"Epsilon Ltd", "Gamma Ltd", "Alpha Ltd"}}, {"% Dely", Numbers{50, 75, 43.33}},
           {"Prev % Dely", Numbers{20, 30, 35.38}}, {"NSE % chg", Numbers{150, 150, 22.47}}}},
         {abnormal(kTradingOverDay, Exchange::Nse, "10"),
          {"Stock", "TradingQty", "PrevTradingQty", "Difference", "% change", "rate", "% Chg", "DelyQty", "PrevDelyQty"},
          {{"Stock", Texts{"Gamma Ltd", "Beta Ltd", "Alpha Ltd"}}, {"% change", Numbers{100, 33.33, 11.11}}}},
         {inGroup(abnormal(kTradingOverDay, Exchange::Nse, "0"), "BANK"), {}, {{"Stock", Texts{"Gamma Ltd", "Alpha Ltd"}}}},
         // Epsilon trades on BSE only: its rate is the BSE close.
         {abnormal(kTradingOverDay, Exchange::Combined, "0"),
          {"Stock", "TradingQty", "PrevTradingQty", "Difference", "PerChange", "Rate", "% Chg", "DelyQty", "PrevDelyQty",
           "%ChgInDely"},
          {{"Stock", Texts{"Gamma Ltd", "Beta Ltd", "Epsilon Ltd", "Alpha Ltd"}},
           {"PerChange", Numbers{60, 42.86, 40, 15.38}}, {"Rate", Numbers{20, 50, 300, 100}},
           {"% Chg", Numbers{-20, -9.09, 20, 5.26}}, {"%ChgInDely", Numbers{300, 1.56, 250, 41.3}}}},
         // Zeta's window is its one day, so its delivery equals its average.
         {abnormal(kDeliveryAboveAverage, Exchange::Nse, "0", "3"),
          {"nsescrip", "bsescrip", "Stock", "DelyQty", "AvgDelyQty", "Difference", "Dely Chg %", "rate",
           "% Rate Chg From Avg Rate", kNbsp1, kNbsp2},
          {{"Stock", Texts{"Gamma Ltd", "Alpha Ltd", "Beta Ltd", "Zeta Ltd"}},
           {"AvgDelyQty", Numbers{316667, 360000, 221667, 99999 * F::kLot}}, {"Dely Chg %", Numbers{89.47, 11.11, 1.5, 0}},
           {"% Rate Chg From Avg Rate", Numbers{-10.43, 5.26, -4.45, 0}}},
          {},
          F::D3},
         {abnormal(kDeliveryAboveAverage, Exchange::Combined, "50", "2"), {},
          {{"Stock", Texts{"Gamma Ltd", "Epsilon Ltd"}}, {"Dely Chg %", Numbers{60, 55.56}}, {"Rate", Numbers{20, 300}},
           {"% Rate Chg From Avg Rate", Numbers{-11.11, 9.09}}}},
         {abnormal(kTradingAboveAverage, Exchange::Bse, "10", "2"),
          {"Stock", "Trading Qty", "Avg Trd Qty", "Difference", "Trd Chg %", "rate", "% Rate Chg From Avg Rate"},
          {{"Stock", Texts{"Beta Ltd", "Epsilon Ltd", "Alpha Ltd"}}, {"Trd Chg %", Numbers{33.33, 16.67, 11.11}},
           {"Avg Trd Qty", Numbers{150000, 600000, 450000}}, {"% Rate Chg From Avg Rate", Numbers{-2.86, 9.09, 2.54}}}},
         // Refused: a first day without a day before it and a window longer
         // than the stored days.
         {abnormal(kTradingOverDay, Exchange::Nse, "0", "", F::D5), {}, {}, query::refusals::tooFewTradingDays(F::D5)},
         {abnormal(kDeliveryAboveAverage, Exchange::Nse, "0", "6"), {}, {}, query::refusals::tooFewTradingDays(F::D1)}});
    // An empty window is refused too, and no result is left behind.
    EXPECT_EQ(market.run(abnormal(kTradingAboveAverage, Exchange::Nse, "0", "0")).status, RunStatus::Refused);
    EXPECT_FALSE(market.db().tableExists(QStringLiteral("QueryResult")));
}

TEST(AbnormalChangeOfBothExchanges, AZeroSumGivesAnEmptyChangeAndNoListing)
{
    // Yesterday and today on NSE and BSE (traded, delivered); a low threshold
    // lists every change that has a value.
    using Fig = DayStore::Figures;
    DayStore store(2);
    const struct {
        const char* company;
        Fig yesterday, today;
    } scrips[] = {
        {"Idle Ltd", {0, 0, 10, 0, 0, 10}, {600, 300, 10, 400, 200, 10}},      // nothing traded yesterday
        {"Undelivered Ltd", {500, 0, 10, 500, 0, 10}, {500, 250, 10, 500, 250, 10}},  // traded, nothing delivered
        {"Steady Ltd", {500, 100, 10, 500, 100, 10}, {600, 150, 10, 400, 50, 10}},   // 20 % both days
    };
    int code = 0;
    for (const auto& scrip : scrips) {
        ++code;
        store.scrip(code, QString::fromLatin1(scrip.company), QStringLiteral("S%1").arg(code), QStringLiteral("5%1").arg(code));
        store.day(code, 1, scrip.yesterday);
        store.day(code, 0, scrip.today);
    }
    // Only the changes with a value are listed (the anchor and Steady Ltd are
    // unchanged); the work table keeps the scrips whose change is empty.
    const struct {
        const QString& label;
        const char* change;
        QStringList listed;
        QStringList empty;
    } cases[] = {
        {kPercentOverDay, "NSE % chg", {"Anchor Ltd", "Steady Ltd"}, {"Idle Ltd", "Undelivered Ltd"}},
        {kTradingOverDay, "% change", {"Anchor Ltd", "Steady Ltd", "Undelivered Ltd"}, {"Idle Ltd"}},
    };
    for (const auto& c : cases) {
        const auto outcome = store.run(DayStore::inputs(2, c.label, Exchange::Combined, QStringLiteral("-1000")));
        const QString shown = c.label == kPercentOverDay ? QStringLiteral("NSE % chg") : QStringLiteral("PerChange");
        expectRun(outcome, {}, {{"Stock", c.listed}, {shown, Numbers(c.listed.size(), 0)}}, c.label.toStdString());
        QStringList kept;
        for (const auto& row : store.db()
                                   .query(QStringLiteral("select Stock from queryresult1 where [%1] is null order by Stock")
                                              .arg(QLatin1String(c.change)))
                                   .rows)
            kept.append(row.at(0).toString());
        EXPECT_EQ(kept, c.empty) << c.label.toStdString();
        // Undelivered Ltd's delivery change divides by nothing delivered yesterday.
        if (c.label == kTradingOverDay) {
            EXPECT_TRUE(outcome.rows.value(2, QStringLiteral("%ChgInDely")).isNull());
        }
    }
}

}  // namespace
