#include "scanmarket.h"

#include "computations/emarebuild.h"
#include "store/database.h"

#include <gtest/gtest.h>

using query::RunStatus;
using scantest::headings;
using scantest::nbsp;
using scantest::numbers;
using scantest::ScanMarket;
using scantest::texts;

namespace {

// Two trading days (day 0 and day 1) with the bhavcopy averages set by hand.
class EmaCrossings : public ::testing::Test {
protected:
    ScanMarket market;
    const QDate previous = ScanMarket::day(0);
    const QDate today = ScanMarket::day(1);

    void SetUp() override
    {
        market.addScrip(1, QStringLiteral("Alpha Ltd"), QStringLiteral("UPA"), QStringLiteral("500001"));
        for (const QDate& day : {previous, today})
            market.addDay(1, day, {100, 50, 50, 10});
        auto both = [this](const char* symbol, double close0, QVariant ema0, double close1, QVariant ema1) {
            market.addBhav(QString::fromLatin1(symbol), previous, 0, 0, close0, ema0);
            market.addBhav(QString::fromLatin1(symbol), today, 0, 0, close1, ema1);
        };
        both("UPA", 9, 10, 12, 10);       // crosses up, 20 % above
        both("UPB", 9, 10, 11, 10);       // crosses up, 10 % above
        both("EQUAL", 10, 10, 12, 10);    // sat on its average the day before
        both("NOAVG", 9, {}, 12, 10);     // no average the day before
        both("DOWNA", 12, 10, 8, 10);     // crosses down, 20 % below
        both("DOWNB", 11, 10, 9.5, 10);   // crosses down, 5 % below
        market.addBhav(QStringLiteral("ONEDAY"), today, 0, 0, 12, 10);
        market.addBhav(QStringLiteral("BESER"), previous, 0, 0, 9, 10, {}, QStringLiteral("BE"));
        market.addBhav(QStringLiteral("BESER"), today, 0, 0, 12, 10, {}, QStringLiteral("BE"));
        // The 34-day average crosses for one symbol only.
        market.addBhav(QStringLiteral("LONG"), previous, 0, 0, 5, 10, 6);
        market.addBhav(QStringLiteral("LONG"), today, 0, 0, 7, 10, 6);
    }

    // The number box shows the average's period, as the screen proposes it.
    query::RunOutcome run(const char* label, const QDate& day)
    {
        return market.run(market.inputs(8, QString::fromLatin1(label), day, QString::fromLatin1(label).left(2)));
    }
};

TEST_F(EmaCrossings, PositiveListsUpwardCrossingsFurthestAboveFirst)
{
    const auto outcome = run("14 day EMA Positive", today);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome), (QStringList{"symbol", "EMA14Days", "Price", "%Change", nbsp(1), nbsp(2), nbsp(3), nbsp(4)}));
    // Equal to the average, a missing average, one day only or another series: no crossing.
    EXPECT_EQ(texts(outcome, "symbol"), (QStringList{"UPA", "UPB"}));
    EXPECT_EQ(numbers(outcome, "%Change"), (QList<double>{20, 10}));
    EXPECT_EQ(numbers(outcome, "Price"), (QList<double>{12, 11}));
}

TEST_F(EmaCrossings, NegativeListsDownwardCrossingsFurthestBelowFirst)
{
    const auto outcome = run("14 day EMA Negative", today);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "symbol"), (QStringList{"DOWNA", "DOWNB"}));
    EXPECT_EQ(numbers(outcome, "%Change"), (QList<double>{-20, -5}));
}

TEST_F(EmaCrossings, ThirtyFourDayItemsReadTheirOwnAverage)
{
    auto outcome = run("34 day EMA Positive", today);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(headings(outcome).at(1), QStringLiteral("EMA34Days"));
    EXPECT_EQ(texts(outcome, "symbol"), QStringList{"LONG"});
    EXPECT_EQ(numbers(outcome, "%Change"), QList<double>{16.67});

    outcome = run("34 day EMA Negative", today);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(headings(outcome).at(1), QStringLiteral("EMA34days"));
    EXPECT_TRUE(outcome.rows.isEmpty());
}

TEST_F(EmaCrossings, TheOldestDayHasNoPreviousDayAndIsRefused)
{
    const auto outcome = run("14 day EMA Positive", previous);
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_FALSE(market.db().tableExists(QStringLiteral("QueryResult")));
}

// Four trading days; "N" of 3 averages the query's day and the two before it.
class AverageCrossings : public ::testing::Test {
protected:
    ScanMarket market;

    void SetUp() override
    {
        const struct {
            int code;
            const char* name;
            double closes[4];
        } scrips[] = {
            {1, "AAA", {50, 12, 9, 12}},   // average 11: up through it
            {2, "BBB", {50, 10, 10, 16}},  // average 12: up through it
            {3, "CCC", {100, 20, 20, 10}}, // average 16.67: down through it
            {4, "DDD", {50, 10, 9, 12}},   // average 10.33: up through it, not a bank
            {5, "EEE", {50, 12, 12, 12}},  // unchanged
            {6, "FFF", {50, 0, 10, 14}},   // no trade on day 1: average 12, up through it
        };
        for (const auto& scrip : scrips) {
            market.addScrip(scrip.code, QString::fromLatin1(scrip.name) + QStringLiteral(" Ltd"),
                            QString::fromLatin1(scrip.name), QString());
            for (int k = 0; k < 4; ++k)
                market.addDay(scrip.code, ScanMarket::day(k), {100, 50, 50, scrip.closes[k]});
        }
        for (int code : {1, 2, 3})
            market.link(QStringLiteral("BANK"), code);
    }

    query::RunOutcome run(const char* label, const QString& n, const QString& group = QStringLiteral("ALL"))
    {
        auto in = market.inputs(8, QString::fromLatin1(label), ScanMarket::day(3), n);
        in.groupCode = group;
        return market.run(in);
    }
};

TEST_F(AverageCrossings, PositiveListsUpwardCrossingsOfTheGroup)
{
    auto outcome = run("200 day SMA Positive", QStringLiteral("3"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome), (QStringList{"Symbol", "200Day SMA", "Price", "%Change", nbsp(1), nbsp(2), nbsp(3), nbsp(4)}));
    EXPECT_EQ(texts(outcome, "Symbol"), (QStringList{"BBB", "FFF", "DDD", "AAA"}));
    EXPECT_EQ(numbers(outcome, "200Day SMA"), (QList<double>{12, 12, 10.33, 11}));
    EXPECT_EQ(numbers(outcome, "%Change"), (QList<double>{33.33, 16.67, 16.17, 9.09}));

    outcome = run("200 day SMA Positive", QStringLiteral("3"), QStringLiteral("BANK"));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Symbol"), (QStringList{"BBB", "AAA"}));
}

TEST_F(AverageCrossings, NegativeAndTheLengthOfThePeriod)
{
    auto outcome = run("200 day SMA Negative", QStringLiteral("3"));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Symbol"), QStringList{"CCC"});
    EXPECT_EQ(numbers(outcome, "%Change"), QList<double>{-40.01});

    // N of 4 reaches day 0, where CCC closed at 100: average 37.5, no crossing.
    outcome = run("200 day SMA Negative", QStringLiteral("4"));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_TRUE(outcome.rows.isEmpty());

    // The default 200 needs 200 trading days before the query's day.
    outcome = run("200 day SMA Positive", QStringLiteral("200"));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
}

// The derivative scrips' day high (low) against the period from the second
// date through the previous trading day.
class PeriodHighsAndLows : public ::testing::Test {
protected:
    ScanMarket market;

    void SetUp() override
    {
        const struct {
            int code;
            const char* symbol;
            double highs[4];
            double lows[4];
        } scrips[] = {
            {1, "AAA", {500, 100, 105, 110}, {1, 90, 95, 85}},
            {2, "BBB", {1, 50, 40, 60}, {1, 45, 35, 36}},
            {3, "CCC", {1, 30, 30, 30}, {1, 20, 25, 10}},
            {4, "DDD", {1, 10, 10, 50}, {1, 10, 10, 1}},  // not a derivative
        };
        for (const auto& scrip : scrips) {
            const QString symbol = QString::fromLatin1(scrip.symbol);
            market.addScrip(scrip.code, symbol + QStringLiteral(" Ltd"), symbol, QString());
            for (int k = 0; k < 4; ++k) {
                market.addDay(scrip.code, ScanMarket::day(k), {100, 50, 50, 10});
                market.addBhav(symbol, ScanMarket::day(k), scrip.highs[k], scrip.lows[k], 10);
            }
            if (scrip.code != 4)
                market.link(QStringLiteral("Derivative"), scrip.code);
        }
    }

    query::RunOutcome run(const char* label, const QDate& first, const QDate& second)
    {
        auto in = market.inputs(8, QString::fromLatin1(label), first, QStringLiteral("3"));
        in.secondDate = second;
        return market.run(in);
    }
};

TEST_F(PeriodHighsAndLows, HighsAboveThePeriodsHighestLargestRiseFirst)
{
    const auto outcome = run("Weekly High", ScanMarket::day(3), ScanMarket::day(1));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome), (QStringList{"symbol", "TodaysHigh", "MaxHigh", "%change", nbsp(1)}));
    // AAA's 500 of day 0 lies before the second date; CCC equals its high.
    EXPECT_EQ(texts(outcome, "symbol"), (QStringList{"BBB", "AAA"}));
    EXPECT_EQ(numbers(outcome, "MaxHigh"), (QList<double>{50, 105}));
    EXPECT_EQ(numbers(outcome, "%change"), (QList<double>{20, 4.76}));
}

TEST_F(PeriodHighsAndLows, LowsBelowThePeriodsLowestDeepestFallFirst)
{
    auto outcome = run("52 Week Low", ScanMarket::day(3), ScanMarket::day(1));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(headings(outcome), (QStringList{"symbol", "TodaysLow", "MaxLow", "%change", nbsp(1)}));
    EXPECT_EQ(texts(outcome, "symbol"), (QStringList{"CCC", "AAA"}));
    EXPECT_EQ(numbers(outcome, "%change"), (QList<double>{-50, -5.56}));

    // The period reaches back to day 0 whichever end is named first.
    outcome = run("Monthly Low", ScanMarket::day(3), ScanMarket::day(0));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_TRUE(outcome.rows.isEmpty());

    outcome = run("Weekly High", ScanMarket::day(0), ScanMarket::day(0));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
}

TEST(EmaRebuild, SeedsAndCarriesTheSeriesOfEveryDerivativeSymbolWithProgress)
{
    ScanMarket market;
    market.db().exec(QStringLiteral("INSERT INTO derisymbol VALUES ('AAA'), ('NOROWS')"));
    for (int k = 0; k < 15; ++k)
        market.addBhav(QStringLiteral("AAA"), ScanMarket::day(k), 0, 0, 10);
    market.addBhav(QStringLiteral("AAA"), ScanMarket::day(20), 0, 0, 10, {}, {}, QStringLiteral("BE"));
    QStringList lines;
    const qint64 written = computations::EMA14Day(market.db(), [&lines](const QString& text, int, int) {
        lines.append(text);
    });
    EXPECT_EQ(written, 2);
    EXPECT_EQ(lines, (QStringList{"Processing For Scrip  AAA", "Processing For Scrip  NOROWS"}));
    const store::Rows rows = market.db().query(
        QStringLiteral("SELECT EMA14Days FROM allbhavcopy WHERE symbol = 'AAA' ORDER BY TransDate"));
    ASSERT_EQ(rows.size(), 16);
    EXPECT_TRUE(rows.rows[12][0].isNull());
    EXPECT_DOUBLE_EQ(rows.rows[13][0].toDouble(), 10);
    EXPECT_DOUBLE_EQ(rows.rows[14][0].toDouble(), 10);
    EXPECT_TRUE(rows.rows[15][0].isNull());  // the BE row is never touched
}

}  // namespace
