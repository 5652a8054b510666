#include "marketfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RunStatus;
using F = MarketFixture;

namespace {

class PriceQueries : public ::testing::Test {
protected:
    MarketFixture market;

    query::RunOutcome price(const QString& label, const QDate& day = F::D1, Exchange exchange = Exchange::Nse)
    {
        return market.run(F::inputs(5, label, day, {}, exchange));
    }
};

TEST_F(PriceQueries, GainersSortByTheNumberNotItsText)
{
    const auto outcome = price(QStringLiteral("Top Gainer in price (%)"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome), (QStringList{"Stock", "ClosePrice", "PrevClose", "Perc", QString(2, QChar(0x00A0))}));
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"BBB", "CCC", "AAA"}));
    EXPECT_EQ(texts(outcome, "Perc"), (QStringList{"50 % ", "12.5 % ", "9 % "}));
}

TEST_F(PriceQueries, LosersAndNewHighsAndLowsOfTheDay)
{
    auto outcome = price(QStringLiteral("Top Loser in price (%)"));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"EEE", "DDD"}));
    EXPECT_EQ(texts(outcome, "Perc"), (QStringList{"-20 % ", "-10 % "}));

    outcome = price(QStringLiteral("New 52 Week High in price"), F::D1, Exchange::Bse);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), QStringList{"FFF"});
    EXPECT_EQ(numbers(outcome, "NewHigh"), QList<double>{200});
    EXPECT_EQ(numbers(outcome, "PrevHigh"), QList<double>{190});

    outcome = price(QStringLiteral("New 52 Week Low in price"), F::D1, Exchange::Combined);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), QStringList{"GGG"});

    outcome = price(QStringLiteral("Top Gainer in price (%)"), F::D2);
    EXPECT_EQ(texts(outcome, "Stock"), QStringList{"HHH"});
}

TEST_F(PriceQueries, WeekHighLowListsTheWholeTableWhateverTheChoices)
{
    auto in = F::inputs(5, QStringLiteral("52 Week High / Low"), F::D4, {}, Exchange::Bse);
    in.groupCode = QStringLiteral("BANK");
    const auto outcome = market.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"AAA", "ZZZ"}));
    EXPECT_EQ(numbers(outcome, "HighPrice"), (QList<double>{120, 30}));
    EXPECT_EQ(numbers(outcome, "LowPrice"), (QList<double>{60, 10}));
}

TEST_F(PriceQueries, TopFiveGainersAndLosersOfTheGroup)
{
    // NSE closes D1 against D2: Alpha 100/95, Beta 50/55, Gamma 20/25, Delta
    // 10/11. Epsilon has no NSE close, Zeta no previous day. With fewer than
    // five movers every one is both a gainer and a loser, so listed twice.
    auto outcome = price(QStringLiteral("Top 5 Gainer & Loser"), F::D1, Exchange::Combined);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome).mid(0, 6), (QStringList{"Scrip", "Price", "%ChgInPrice", "DelyQty", "%ChgInDely", "% DelyQty"}));
    EXPECT_EQ(texts(outcome, "Scrip"),
              (QStringList{"ALPHA", "ALPHA", "BETA", "BETA", "DELTA", "DELTA", "GAMMA", "GAMMA"}));
    EXPECT_EQ(numbers(outcome, "%ChgInPrice"), (QList<double>{5.26, 5.26, -9.09, -9.09, -9.09, -9.09, -20, -20}));
    EXPECT_EQ(numbers(outcome, "%ChgInDely").first(), 11);  // 400 against 360, whole per cent
    EXPECT_TRUE(market.db().tableExists(QStringLiteral("tqr")));

    auto in = F::inputs(7, QStringLiteral("Top 5 Gainer & Loser"), F::D1, F::D3);
    in.groupCode = QStringLiteral("BANK");
    outcome = market.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Scrip"), (QStringList{"ALPHA", "ALPHA", "GAMMA", "GAMMA"}));
}

TEST_F(PriceQueries, TopFiveKeepsExactlyFiveOfEachSide)
{
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
    const auto outcome = price(QStringLiteral("Top 5 Gainer & Loser"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    ASSERT_EQ(outcome.rows.size(), 10);
    EXPECT_EQ(texts(outcome, "Scrip").first(), "ALPHA");
    EXPECT_EQ(texts(outcome, "Scrip").last(), "GAMMA");
}

}  // namespace
