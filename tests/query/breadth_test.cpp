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

class MarketBreadthQueries : public ::testing::Test {
protected:
    MarketFixture market;

    static query::RunInputs on(const QString& label, Exchange exchange, const QString& days)
    {
        return F::inputs(8, label, F::D1, {}, exchange, days);
    }
    query::RunOutcome run(const QString& label, Exchange exchange, const QString& days)
    {
        return market.run(on(label, exchange, days));
    }
};

TEST_F(MarketBreadthQueries, TotalsOfTheRisingFallingAndUnchangedScripsOnNse)
{
    auto outcome = run(kRising, Exchange::Nse, QStringLiteral("2"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome).mid(0, 7),
              (QStringList{"TradingDate", "NSE Total TurnOver In Crs", "NSE Total Dely Val In Crs", "BSE Total TurnOver In Crs",
                           "BSE Total Dely Val In Crs", "Total TurnOver In Crs", "Total Dely Val In Crs"}));
    EXPECT_EQ(headings(outcome).size(), 11);
    // Only Alpha's NSE close rose against the day before.
    ASSERT_EQ(outcome.rows.rows.size(), 1);
    EXPECT_EQ(outcome.rows.value(0, "TradingDate").toDate(), F::D1);
    EXPECT_EQ(numbers(outcome, "NSE Total TurnOver In Crs"), QList<double>{10});
    EXPECT_EQ(numbers(outcome, "BSE Total TurnOver In Crs"), QList<double>{5.05});
    EXPECT_NEAR(numbers(outcome, "Total TurnOver In Crs").value(0), 15.05, 1e-9);
    EXPECT_EQ(numbers(outcome, "NSE Total Dely Val In Crs"), QList<double>{4});

    outcome = run(kFalling, Exchange::Nse, QStringLiteral("2"));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(numbers(outcome, "NSE Total TurnOver In Crs"), QList<double>{5.6});  // Beta, Gamma, Delta
    EXPECT_EQ(numbers(outcome, "BSE Total Dely Val In Crs"), QList<double>{0.51});

    // Epsilon has no NSE close on either day: unchanged.
    outcome = run(kUnchanged, Exchange::Nse, QStringLiteral("2"));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(numbers(outcome, "BSE Total TurnOver In Crs"), QList<double>{21});
    EXPECT_EQ(numbers(outcome, "Total Dely Val In Crs"), QList<double>{10.5});
}

TEST_F(MarketBreadthQueries, OneDayWindowComparesTheDayWithItself)
{
    auto outcome = run(kRising, Exchange::Nse, QStringLiteral("1"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_TRUE(outcome.rows.rows.isEmpty());

    outcome = run(kUnchanged, Exchange::Nse, QStringLiteral("1"));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(numbers(outcome, "NSE Total TurnOver In Crs"), QList<double>{10015.5});
}

TEST_F(MarketBreadthQueries, FallingOnBseShowsItsFirstTotalsAsText)
{
    const auto outcome = run(kFalling, Exchange::Bse, QStringLiteral("2"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    // Beta and Gamma closed lower on BSE.
    EXPECT_EQ(texts(outcome, "NSE Total TurnOver In Crs"), QStringList{"5.60"});
    EXPECT_EQ(texts(outcome, "BSE Total TurnOver In Crs"), QStringList{"1.02"});
    EXPECT_EQ(numbers(outcome, "BSE Total Dely Val In Crs"), QList<double>{0.51});
}

TEST_F(MarketBreadthQueries, TotalsKeepOnlyTheChosenScripsAndGroup)
{
    auto in = on(kFalling, Exchange::Nse, QStringLiteral("2"));
    in.scripCodes = {3};
    auto outcome = market.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(numbers(outcome, "NSE Total TurnOver In Crs"), QList<double>{1.6});
    EXPECT_EQ(numbers(outcome, "NSE Total Dely Val In Crs"), QList<double>{1.2});

    in = on(kFalling, Exchange::Nse, QStringLiteral("2"));
    in.groupCode = QStringLiteral("BANK");
    outcome = market.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(numbers(outcome, "NSE Total TurnOver In Crs"), QList<double>{1.6});
}

TEST_F(MarketBreadthQueries, TotalsRefuseBothExchanges)
{
    for (const QString& label : {kRising, kFalling, kUnchanged}) {
        const auto outcome = run(label, Exchange::Combined, QStringLiteral("2"));
        EXPECT_EQ(outcome.status, RunStatus::Refused) << label.toStdString();
        EXPECT_EQ(outcome.message, "Option Not Allowed");
        EXPECT_EQ(outcome.icon, ui::Icon::Critical);
        EXPECT_FALSE(market.db().tableExists(QStringLiteral("QueryResult")));
    }
}

TEST_F(MarketBreadthQueries, StocksByDeliveryValueOnNse)
{
    auto outcome = run(kStocksUp, Exchange::Nse, QStringLiteral("2"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome), (QStringList{"Stock", "DelyQty", "AvgDelyQty", "% Chg", "Rate", "PrevDay Rate", "% RateChg",
                                              "NSE TurnOver In Crs", QString(1, QChar(0x00A0)), QString(2, QChar(0x00A0))}));
    // Averages over the first date and the two days before it; Zeta has no
    // previous day and Epsilon no NSE delivery at all.
    EXPECT_EQ(outcome.state.secondDate, F::D3);
    EXPECT_EQ(outcome.state.fifthDate, F::D2);
    EXPECT_EQ(texts(outcome, "Stock"), QStringList{"Alpha Ltd"});
    EXPECT_EQ(numbers(outcome, "AvgDelyQty"), QList<double>{360000});
    EXPECT_EQ(numbers(outcome, "% Chg"), QList<double>{11.11});
    EXPECT_EQ(numbers(outcome, "% RateChg"), QList<double>{5.26});

    outcome = run(kStocksDown, Exchange::Nse, QStringLiteral("2"));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Gamma Ltd", "Beta Ltd", "Delta Ltd"}));
    EXPECT_EQ(numbers(outcome, "NSE TurnOver In Crs"), (QList<double>{1.2, 1.12, 0}));
    EXPECT_EQ(numbers(outcome, "% Chg"), (QList<double>{89.47, 1.5, -100}));
    EXPECT_EQ(numbers(outcome, "PrevDay Rate"), (QList<double>{25, 55, 11}));
}

TEST_F(MarketBreadthQueries, StocksByDeliveryValueOnBseAndBothExchanges)
{
    auto outcome = run(kStocksUp, Exchange::Bse, QStringLiteral("2"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome).at(7), "BSE TurnOver In Crs");
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Epsilon Ltd", "Alpha Ltd"}));
    EXPECT_EQ(numbers(outcome, "BSE TurnOver In Crs"), (QList<double>{10.5, 2.52}));

    outcome = run(kStocksUp, Exchange::Combined, QStringLiteral("2"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome).at(7), "TurnOver In Crs");
    // Epsilon's rise is read from its BSE close, having no NSE close.
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Epsilon Ltd", "Alpha Ltd"}));
    EXPECT_EQ(numbers(outcome, "TurnOver In Crs"), (QList<double>{10.5, 6.5}));
    EXPECT_EQ(numbers(outcome, "PrevDay Rate"), (QList<double>{250, 95}));
    EXPECT_EQ(numbers(outcome, "% RateChg"), (QList<double>{20, 5.26}));
}

TEST_F(MarketBreadthQueries, StocksByDeliveryValueLeavesOutScripsWithoutABseCode)
{
    // Delta has no BSE code; its BSE figures are zeros and never count.
    market.db().exec(QStringLiteral("UPDATE mto SET bsedelyqty = 5000, bseclprice = 9 WHERE scriptcode = 4"));
    market.db().exec(QStringLiteral("UPDATE mto SET bseclprice = 10 WHERE scriptcode = 4 AND TransDate = ?"), {F::D2});
    const auto outcome = run(kStocksDown, Exchange::Bse, QStringLiteral("2"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Beta Ltd", "Gamma Ltd"}));

    auto in = on(kStocksDown, Exchange::Nse, QStringLiteral("2"));
    in.groupCode = QStringLiteral("BANK");
    EXPECT_EQ(texts(market.run(in), "Stock"), QStringList{"Gamma Ltd"});
}

TEST_F(MarketBreadthQueries, StocksByDeliveryValueShowsTheFortyLargest)
{
    // 45 more risers, scrip 100 + k delivering k lots at a close of 900:
    // 0.09 k crores.
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
    const auto outcome = run(kStocksUp, Exchange::Nse, QStringLiteral("1"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    const QStringList stocks = texts(outcome, "Stock");
    ASSERT_EQ(stocks.size(), 40);
    // Riser 45 (4.05 crores), Alpha (4), then the risers down to Riser 07.
    EXPECT_EQ(stocks.first(), "Riser 45");
    EXPECT_EQ(stocks.at(1), "Alpha Ltd");
    EXPECT_EQ(stocks.at(2), "Riser 44");
    EXPECT_EQ(stocks.last(), "Riser 07");
}

TEST_F(MarketBreadthQueries, MarketStrengthCountsEachScripInOneBand)
{
    auto outcome = run(kMarketStrength, Exchange::Nse, QStringLiteral("2"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome),
              (QStringList{"Condition", QStringLiteral("Count") + QChar(0x00A0), QString(1, QChar(0x00A0))}));
    const QStringList conditions = texts(outcome, "Condition");
    ASSERT_EQ(conditions.size(), 10);
    EXPECT_EQ(conditions.at(0), "No. of Stocks where the price has gone up and the delivery > avg delivery ( 2 days) by atleast 160 %");
    EXPECT_EQ(conditions.at(9),
              "No. of Stocks where the price has gone down and the delivery > avg delivery ( 2 days) by less than 60 %");
    const QString count = QStringLiteral("Count") + QChar(0x00A0);
    // Alpha rose 11 % above its average; Gamma (89 %) and Beta (1.5 %) fell;
    // Delta delivered nothing and counts nowhere.
    EXPECT_EQ(numbers(outcome, count), (QList<double>{0, 0, 0, 0, 1, 0, 0, 1, 0, 1}));

    // On BSE Beta delivers exactly twice its average and falls: it counts in
    // the "100 % to 140 %" band only, not also in "80 % to 100 %".
    outcome = run(kMarketStrength, Exchange::Bse, QStringLiteral("2"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(numbers(outcome, count), (QList<double>{0, 0, 0, 0, 2, 0, 1, 0, 0, 0}));

    outcome = run(kMarketStrength, Exchange::Combined, QStringLiteral("2"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(numbers(outcome, count), (QList<double>{0, 0, 0, 0, 2, 0, 0, 0, 1, 1}));
}

TEST_F(MarketBreadthQueries, WindowsBeyondTheStoredDaysAreRefused)
{
    for (const QString& label : {kStocksUp, kMarketStrength}) {
        auto outcome = run(label, Exchange::Nse, QStringLiteral("5"));
        EXPECT_EQ(outcome.status, RunStatus::Refused) << label.toStdString();
        EXPECT_EQ(outcome.message, query::refusals::tooFewTradingDays(F::D1));

        outcome = market.run(F::inputs(8, label, F::D5, {}, Exchange::Nse, QStringLiteral("1")));
        EXPECT_EQ(outcome.status, RunStatus::Refused) << label.toStdString();
        EXPECT_EQ(outcome.message, query::refusals::tooFewTradingDays(F::D5));
    }
}

}  // namespace
