#include "marketfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RunStatus;
using F = MarketFixture;

namespace {

// The price queries read the price tables of MarketFixture.
TEST(PriceQueries, GainersLosersAndNewHighsAndLowsOfTheDay)
{
    MarketFixture market;
    auto price = [](const char* label, const QDate& day = F::D1, Exchange exchange = Exchange::Nse) {
        return F::inputs(5, QString::fromLatin1(label), day, {}, exchange);
    };
    expectRuns(market,
               {// Sorted by the number, not its text.
                {price("Top Gainer in price (%)"), {"Stock", "ClosePrice", "PrevClose", "Perc", QString(2, QChar(0x00A0))},
                 {{"Stock", Texts{"BBB", "CCC", "AAA"}}, {"Perc", Texts{"50 % ", "12.5 % ", "9 % "}}}},
                {price("Top Gainer in price (%)", F::D2), {}, {{"Stock", Texts{"HHH"}}}},
                {price("Top Loser in price (%)"), {},
                 {{"Stock", Texts{"EEE", "DDD"}}, {"Perc", Texts{"-20 % ", "-10 % "}}}},
                {price("New 52 Week High in price", F::D1, Exchange::Bse), {},
                 {{"Stock", Texts{"FFF"}}, {"NewHigh", Numbers{200}}, {"PrevHigh", Numbers{190}}}},
                {price("New 52 Week Low in price", F::D1, Exchange::Combined), {}, {{"Stock", Texts{"GGG"}}}},
                // The whole table whatever the choices.
                {inGroup(price("52 Week High / Low", F::D4, Exchange::Bse), "BANK"), {},
                 {{"Stock", Texts{"AAA", "ZZZ"}}, {"HighPrice", Numbers{120, 30}}, {"LowPrice", Numbers{60, 10}}}}});
}

TEST(PriceQueries, TopFiveGainersAndLosersOfTheGroup)
{
    // NSE closes D1 against D2: Alpha 100/95, Beta 50/55, Gamma 20/25, Delta
    // 10/11. Epsilon has no NSE close, Zeta no previous day. With fewer than
    // five movers every one is both a gainer and a loser, so listed twice.
    MarketFixture market;
    auto outcome = market.run(F::inputs(5, QStringLiteral("Top 5 Gainer & Loser"), F::D1, {}, Exchange::Combined));
    expectRun(outcome, {"Scrip", "Price", "%ChgInPrice", "DelyQty", "%ChgInDely", "% DelyQty"},
              {{"Scrip", Texts{"ALPHA", "ALPHA", "BETA", "BETA", "DELTA", "DELTA", "GAMMA", "GAMMA"}},
               {"%ChgInPrice", Numbers{5.26, 5.26, -9.09, -9.09, -9.09, -9.09, -20, -20}},
               // Alpha: 400 against 360, whole per cent.
               {"%ChgInDely", Numbers{11, 11, -25, -25, -100, -100, 500, 500}}});
    EXPECT_TRUE(market.db().tableExists(QStringLiteral("tqr")));

    auto in = F::inputs(7, QStringLiteral("Top 5 Gainer & Loser"), F::D1, F::D3);
    in.groupCode = QStringLiteral("BANK");
    expectRun(market.run(in), {}, {{"Scrip", Texts{"ALPHA", "ALPHA", "GAMMA", "GAMMA"}}});

    // Six more NSE scrips that all rise by 1 per cent: ties do not stretch
    // the list beyond five gainers and five losers.
    store::Database& db = market.db();
    for (int code = 11; code <= 16; ++code) {
        db.exec(QStringLiteral("INSERT INTO ScripMaster VALUES (?, ?, ?, '')"),
                {code, QStringLiteral("Extra %1").arg(code), QStringLiteral("X%1").arg(code)});
        db.exec(QStringLiteral("INSERT INTO LinkDetails VALUES ('ALL', ?)"), {code});
        db.exec(QStringLiteral("INSERT INTO mto VALUES (?,?,'X','',10,0,5,0,50,0,101,0)"), {F::D1, code});
        db.exec(QStringLiteral("INSERT INTO mto VALUES (?,?,'X','',10,0,5,0,50,0,100,0)"), {F::D2, code});
    }
    outcome = market.run(F::inputs(5, QStringLiteral("Top 5 Gainer & Loser"), F::D1));
    ASSERT_EQ(outcome.rows.size(), 10);
    EXPECT_EQ(texts(outcome, "Scrip").first(), "ALPHA");
    EXPECT_EQ(texts(outcome, "Scrip").last(), "GAMMA");
}

}  // namespace
