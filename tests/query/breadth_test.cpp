#include "marketfixture.h"

#include "store/transaction.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RunStatus;
using F = MarketFixture;

namespace {

const QString kRising = QStringLiteral("Total Delivery Value for the rising scrips");
const QString kFalling = QStringLiteral("Total Delivery Value for the falling scrips");
const QString kUnchanged = QStringLiteral("Total Delivery Value for the unchanged scrips");
const QString kStocksUp = QStringLiteral("Stocks by Delivery Value ( price has gone up )");
const QString kStocksDown = QStringLiteral("Stocks by Delivery Value ( price has gone down )");
const QString kMarketStrength = QStringLiteral("Market Strength");
const QString kNbsp1(1, QChar(0x00A0));
const QString kCount = QStringLiteral("Count") + QChar(0x00A0);

query::RunInputs on(const QString& label, Exchange exchange, const char* days, const QDate& day = F::D1)
{
    return F::inputs(8, label, day, {}, exchange, QString::fromLatin1(days));
}

// The market breadth queries on the last day of MarketFixture.
TEST(MarketBreadthQueries, TotalsStocksAndStrengthOfTheMovers)
{
    MarketFixture market;
    const QStringList stocksHeadings{"Stock", "DelyQty", "AvgDelyQty", "% Chg", "Rate", "PrevDay Rate", "% RateChg"};
    const QString notEnoughDays = query::refusals::tooFewTradingDays(F::D1);
    expectRuns(
        market,
        {// Only Alpha's NSE close rose against the day before.
         {on(kRising, Exchange::Nse, "2"),
          {"TradingDate", "NSE Total TurnOver In Crs", "NSE Total Dely Val In Crs", "BSE Total TurnOver In Crs",
           "BSE Total Dely Val In Crs", "Total TurnOver In Crs", "Total Dely Val In Crs", kNbsp1,
           QString(2, QChar(0x00A0)), QString(3, QChar(0x00A0)), QString(4, QChar(0x00A0))},
          {{"NSE Total TurnOver In Crs", Numbers{10}}, {"BSE Total TurnOver In Crs", Numbers{5.05}},
           {"Total TurnOver In Crs", Numbers{15.05}}, {"NSE Total Dely Val In Crs", Numbers{4}}}},
         // Beta, Gamma and Delta fell.
         {on(kFalling, Exchange::Nse, "2"), {},
          {{"NSE Total TurnOver In Crs", Numbers{5.6}}, {"BSE Total Dely Val In Crs", Numbers{0.51}}}},
         // Epsilon has no NSE close on either day: unchanged.
         {on(kUnchanged, Exchange::Nse, "2"), {},
          {{"BSE Total TurnOver In Crs", Numbers{21}}, {"Total Dely Val In Crs", Numbers{10.5}}}},
         // A one-day window compares the day with itself.
         {on(kRising, Exchange::Nse, "1"), {}, {{"TradingDate", Texts{}}}},
         {on(kUnchanged, Exchange::Nse, "1"), {}, {{"NSE Total TurnOver In Crs", Numbers{10015.5}}}},
         // Falling on BSE (Beta and Gamma) shows its first totals as text.
         {on(kFalling, Exchange::Bse, "2"), {},
          {{"NSE Total TurnOver In Crs", Texts{"5.60"}}, {"BSE Total TurnOver In Crs", Texts{"1.02"}},
           {"BSE Total Dely Val In Crs", Numbers{0.51}}}},
         // The totals keep only the chosen scrips and group.
         {onScrips(on(kFalling, Exchange::Nse, "2"), {3}), {},
          {{"NSE Total TurnOver In Crs", Numbers{1.6}}, {"NSE Total Dely Val In Crs", Numbers{1.2}}}},
         {inGroup(on(kFalling, Exchange::Nse, "2"), "BANK"), {}, {{"NSE Total TurnOver In Crs", Numbers{1.6}}}},
         // Averages over the first date and the two days before it; Zeta has no
         // previous day and Epsilon no NSE delivery at all.
         {on(kStocksUp, Exchange::Nse, "2"), stocksHeadings + QStringList{"NSE TurnOver In Crs", kNbsp1, QString(2, QChar(0x00A0))},
          {{"Stock", Texts{"Alpha Ltd"}}, {"AvgDelyQty", Numbers{360000}}, {"% Chg", Numbers{11.11}},
           {"% RateChg", Numbers{5.26}}},
          {},
          F::D3},
         {on(kStocksDown, Exchange::Nse, "2"), {},
          {{"Stock", Texts{"Gamma Ltd", "Beta Ltd", "Delta Ltd"}}, {"NSE TurnOver In Crs", Numbers{1.2, 1.12, 0}},
           {"% Chg", Numbers{89.47, 1.5, -100}}, {"PrevDay Rate", Numbers{25, 55, 11}}}},
         {inGroup(on(kStocksDown, Exchange::Nse, "2"), "BANK"), {}, {{"Stock", Texts{"Gamma Ltd"}}}},
         {on(kStocksUp, Exchange::Bse, "2"), stocksHeadings + QStringList{"BSE TurnOver In Crs"},
          {{"Stock", Texts{"Epsilon Ltd", "Alpha Ltd"}}, {"BSE TurnOver In Crs", Numbers{10.5, 2.52}}}},
         // Epsilon's rise is read from its BSE close, having no NSE close.
         {on(kStocksUp, Exchange::Combined, "2"), stocksHeadings + QStringList{"TurnOver In Crs"},
          {{"Stock", Texts{"Epsilon Ltd", "Alpha Ltd"}}, {"TurnOver In Crs", Numbers{10.5, 6.5}},
           {"PrevDay Rate", Numbers{250, 95}}, {"% RateChg", Numbers{20, 5.26}}}},
         // Alpha rose 11 % above its average; Gamma (89 %) and Beta (1.5 %)
         // fell; Delta delivered nothing and counts nowhere.
         {on(kMarketStrength, Exchange::Nse, "2"), {"Condition", kCount, kNbsp1},
          {{kCount, Numbers{0, 0, 0, 0, 1, 0, 0, 1, 0, 1}}}},
         // On BSE Beta delivers exactly twice its average and falls: it counts
         // in the "100 % to 140 %" band only, not also in "80 % to 100 %".
         {on(kMarketStrength, Exchange::Bse, "2"), {}, {{kCount, Numbers{0, 0, 0, 0, 2, 0, 1, 0, 0, 0}}}},
         {on(kMarketStrength, Exchange::Combined, "2"), {}, {{kCount, Numbers{0, 0, 0, 0, 2, 0, 0, 0, 1, 1}}}},
         // Windows beyond the stored days are refused.
         {on(kStocksUp, Exchange::Nse, "5"), {}, {}, notEnoughDays},
         {on(kMarketStrength, Exchange::Nse, "5"), {}, {}, notEnoughDays},
         {on(kStocksUp, Exchange::Nse, "1", F::D5), {}, {}, query::refusals::tooFewTradingDays(F::D5)},
         {on(kMarketStrength, Exchange::Nse, "1", F::D5), {}, {}, query::refusals::tooFewTradingDays(F::D5)},
         // So are the totals', whatever trading day the hidden second date box holds.
         {withSecondDate(on(kRising, Exchange::Nse, "6"), F::D2), {}, {}, notEnoughDays},
         {withSecondDate(on(kFalling, Exchange::Bse, "50"), F::D2), {}, {}, notEnoughDays},
         {withSecondDate(on(kUnchanged, Exchange::Nse, "6"), F::D2), {}, {}, notEnoughDays}});
    EXPECT_EQ(market.run(on(kRising, Exchange::Nse, "2")).rows.value(0, "TradingDate").toDate(), F::D1);
    EXPECT_EQ(market.run(on(kStocksUp, Exchange::Nse, "2")).state.fifthDate, F::D2);
    const QStringList conditions = texts(market.run(on(kMarketStrength, Exchange::Nse, "2")), "Condition");
    ASSERT_EQ(conditions.size(), 10);
    EXPECT_EQ(conditions.at(0), "No. of Stocks where the price has gone up and the delivery > avg delivery ( 2 days) by atleast 160 %");
    EXPECT_EQ(conditions.at(9),
              "No. of Stocks where the price has gone down and the delivery > avg delivery ( 2 days) by less than 60 %");

    // The totals refuse both exchanges and leave no result.
    for (const QString& label : {kRising, kFalling, kUnchanged}) {
        const auto outcome = market.run(on(label, Exchange::Combined, "2"));
        EXPECT_EQ(outcome.status, RunStatus::Refused) << label.toStdString();
        EXPECT_EQ(outcome.message, "Option Not Allowed");
        EXPECT_EQ(outcome.icon, ui::Icon::Critical);
        EXPECT_FALSE(market.db().tableExists(QStringLiteral("QueryResult")));
    }

    // Delta has no BSE code; its BSE figures are zeros and never count.
    market.db().exec(QStringLiteral("UPDATE mto SET bsedelyqty = 5000, bseclprice = 9 WHERE scriptcode = 4"));
    market.db().exec(QStringLiteral("UPDATE mto SET bseclprice = 10 WHERE scriptcode = 4 AND TransDate = ?"), {F::D2});
    expectRuns(market, {{on(kStocksDown, Exchange::Bse, "2"), {}, {{"Stock", Texts{"Beta Ltd", "Gamma Ltd"}}}}});
}

// Over both exchanges, a scrip whose average delivery is nil (it rounds to
// 0) has no change against it: it is neither listed nor counted, and the
// run completes.
TEST(MarketBreadthQueries, BothExchangesLeaveOutAScripWithoutAverageDelivery)
{
    MarketFixture market;
    {
        store::Transaction transaction(market.db());
        market.db().exec(QStringLiteral("INSERT INTO ScripMaster (srno, company) VALUES (7, 'Eta Ltd')"));
        market.db().exec(QStringLiteral("INSERT INTO LinkDetails VALUES ('ALL', 7)"));
        store::Statement day(market.db(), QStringLiteral("INSERT INTO mto (TransDate, scriptcode, NSEScriptCode, BSEScriptCode,"
                                                         " NSETrdQty, BSETrdQty, NSEDelyQty, BSEDelyQty, NSEPerc, BSEPerc,"
                                                         " NSEClPrice, BSEClPrice) VALUES (?,7,'ETA','',10,0,?,0,10,0,?,0)"));
        // One share delivered over three days, the close rising on the last.
        day.run({F::D1, 1, 20});
        day.run({F::D2, 0, 10});
        day.run({F::D3, 0, 10});
        transaction.commit();
    }
    expectRuns(market, {{on(kStocksUp, Exchange::Combined, "2"), {}, {{"Stock", Texts{"Epsilon Ltd", "Alpha Ltd"}}}},
                        {on(kMarketStrength, Exchange::Combined, "2"), {},
                         {{kCount, Numbers{0, 0, 0, 0, 2, 0, 0, 0, 1, 1}}}}});
}

TEST(MarketBreadthQueries, StocksByDeliveryValueShowsTheFortyLargest)
{
    // 45 more risers, scrip 100 + k delivering k lots at a close of 900:
    // 0.09 k crores.
    MarketFixture market;
    {
        store::Transaction transaction(market.db());
        store::Statement scrip(market.db(), QStringLiteral("INSERT INTO ScripMaster (srno, company) VALUES (?, ?)"));
        store::Statement day(market.db(), QStringLiteral("INSERT INTO mto (TransDate, scriptcode, NSEScriptCode, BSEScriptCode,"
                                                         " NSETrdQty, BSETrdQty, NSEDelyQty, BSEDelyQty, NSEPerc, BSEPerc,"
                                                         " NSEClPrice, BSEClPrice) VALUES (?,?,'X','',?,0,?,0,50,0,?,0)"));
        for (int k = 1; k <= 45; ++k) {
            scrip.run({100 + k, QStringLiteral("Riser %1").arg(k, 2, 10, QLatin1Char('0'))});
            day.run({F::D1, 100 + k, 2 * k * F::kLot, k * F::kLot, 900});
            day.run({F::D2, 100 + k, 2 * k * F::kLot, k * F::kLot, 800});
        }
        market.db().exec(QStringLiteral("INSERT INTO LinkDetails SELECT 'ALL', srno FROM ScripMaster WHERE srno > 100"));
        transaction.commit();
    }
    const auto outcome = market.run(on(kStocksUp, Exchange::Nse, "1"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    const QStringList stocks = texts(outcome, "Stock");
    ASSERT_EQ(stocks.size(), 40);
    // Riser 45 (4.05 crores), Alpha (4), then the risers down to Riser 07.
    EXPECT_EQ(stocks.mid(0, 3), (QStringList{"Riser 45", "Alpha Ltd", "Riser 44"}));
    EXPECT_EQ(stocks.last(), "Riser 07");
}

}  // namespace
