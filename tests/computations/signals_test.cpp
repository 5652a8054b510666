#include "scanmarket.h"

#include "computations/emarebuild.h"
#include "store/database.h"

#include <gtest/gtest.h>

using query::RunStatus;
using scantest::nbsp;
using scantest::ScanMarket;

namespace {

// Two trading days (day 0 and day 1) with the bhavcopy averages set by hand.
TEST(EmaCrossings, ListTheCrossingsOfTheAverageFurthestFirst)
{
    ScanMarket market;
    const QDate previous = ScanMarket::day(0), today = ScanMarket::day(1);
    market.addScrip(1, QStringLiteral("Alpha Ltd"), QStringLiteral("UPA"), QStringLiteral("500001"));
    for (const QDate& day : {previous, today})
        market.addDay(1, day, {100, 50, 50, 10});
    const struct {
        const char* symbol;
        double close0;
        QVariant ema0;
        double close1;
        QVariant ema1;
    } symbols[] = {
        {"UPA", 9, 10, 12, 10},      // crosses up, 20 % above
        {"UPB", 9, 10, 11, 10},      // crosses up, 10 % above
        {"EQUAL", 10, 10, 12, 10},   // sat on its average the day before
        {"NOAVG", 9, {}, 12, 10},    // no average the day before
        {"DOWNA", 12, 10, 8, 10},    // crosses down, 20 % below
        {"DOWNB", 11, 10, 9.5, 10},  // crosses down, 5 % below
    };
    for (const auto& s : symbols) {
        market.addBhav(QString::fromLatin1(s.symbol), previous, 0, 0, s.close0, s.ema0);
        market.addBhav(QString::fromLatin1(s.symbol), today, 0, 0, s.close1, s.ema1);
    }
    market.addBhav(QStringLiteral("ONEDAY"), today, 0, 0, 12, 10);
    market.addBhav(QStringLiteral("BESER"), previous, 0, 0, 9, 10, {}, QStringLiteral("BE"));
    market.addBhav(QStringLiteral("BESER"), today, 0, 0, 12, 10, {}, QStringLiteral("BE"));
    // The 34-day average crosses for one symbol only.
    market.addBhav(QStringLiteral("LONG"), previous, 0, 0, 5, 10, 6);
    market.addBhav(QStringLiteral("LONG"), today, 0, 0, 7, 10, 6);
    // The number box shows the average's period, as the screen proposes it.
    auto in = [&market](const char* label, const QDate& day) {
        return market.inputs(8, QString::fromLatin1(label), day, QString::fromLatin1(label).left(2));
    };
    expectRuns(market,
               {// Equal to the average, a missing average, one day only or another series: no crossing.
                {in("14 day EMA Positive", today),
                 {"symbol", "EMA14Days", "Price", "%Change", nbsp(1), nbsp(2), nbsp(3), nbsp(4)},
                 {{"symbol", Texts{"UPA", "UPB"}}, {"%Change", Numbers{20, 10}}, {"Price", Numbers{12, 11}}}},
                {in("14 day EMA Negative", today), {},
                 {{"symbol", Texts{"DOWNA", "DOWNB"}}, {"%Change", Numbers{-20, -5}}}},
                // The 34-day items read their own average.
                {in("34 day EMA Positive", today), {"symbol", "EMA34Days"},
                 {{"symbol", Texts{"LONG"}}, {"%Change", Numbers{16.67}}}},
                {in("34 day EMA Negative", today), {"symbol", "EMA34days"}, {{"symbol", Texts{}}}},
                // The oldest day has no previous day.
                {in("14 day EMA Positive", previous), {}, {}, query::refusals::tooFewTradingDays(previous)}});
    EXPECT_FALSE(market.db().tableExists(QStringLiteral("QueryResult")));
}

// Four trading days; "N" of 3 averages the query's day and the two before it.
TEST(AverageCrossings, UpwardAndDownwardCrossingsOfTheGroupOverThePeriod)
{
    ScanMarket market;
    const struct {
        const char* name;
        double closes[4];
    } scrips[] = {
        {"AAA", {50, 12, 9, 12}},    // average 11: up through it
        {"BBB", {50, 10, 10, 16}},   // average 12: up through it
        {"CCC", {100, 20, 20, 10}},  // average 16.67: down through it
        {"DDD", {50, 10, 9, 12}},    // average 10.33: up through it, not a bank
        {"EEE", {50, 12, 12, 12}},   // unchanged
        {"FFF", {50, 0, 10, 14}},    // no trade on day 1: average 12, up through it
    };
    int code = 0;
    for (const auto& scrip : scrips) {
        market.addScrip(++code, QString::fromLatin1(scrip.name) + QStringLiteral(" Ltd"), QString::fromLatin1(scrip.name),
                        QString());
        for (int k = 0; k < 4; ++k)
            market.addDay(code, ScanMarket::day(k), {100, 50, 50, scrip.closes[k]});
        if (code <= 3)
            market.link(QStringLiteral("BANK"), code);
    }
    auto in = [&market](const char* label, const char* n) {
        return market.inputs(8, QString::fromLatin1(label), ScanMarket::day(3), QString::fromLatin1(n));
    };
    expectRuns(market,
               {{in("200 day SMA Positive", "3"),
                 {"Symbol", "200Day SMA", "Price", "%Change", nbsp(1), nbsp(2), nbsp(3), nbsp(4)},
                 {{"Symbol", Texts{"BBB", "FFF", "DDD", "AAA"}}, {"200Day SMA", Numbers{12, 12, 10.33, 11}},
                  {"%Change", Numbers{33.33, 16.67, 16.17, 9.09}}}},
                {inGroup(in("200 day SMA Positive", "3"), "BANK"), {}, {{"Symbol", Texts{"BBB", "AAA"}}}},
                {in("200 day SMA Negative", "3"), {}, {{"Symbol", Texts{"CCC"}}, {"%Change", Numbers{-40.01}}}},
                // N of 4 reaches day 0, where CCC closed at 100: average 37.5, no crossing.
                {in("200 day SMA Negative", "4"), {}, {{"Symbol", Texts{}}}},
                // The default 200 needs 200 trading days before the query's day.
                {in("200 day SMA Positive", "200"), {}, {}, query::refusals::tooFewTradingDays(ScanMarket::day(3))}});
}

// The derivative scrips' day high (low) against the period from the second
// date through the previous trading day.
TEST(PeriodHighsAndLows, TheDayBeyondThePeriodsExtremeLargestMoveFirst)
{
    ScanMarket market;
    const struct {
        const char* symbol;
        double highs[4];
        double lows[4];
    } scrips[] = {
        {"AAA", {500, 100, 105, 110}, {1, 90, 95, 85}},
        {"BBB", {1, 50, 40, 60}, {1, 45, 35, 36}},
        {"CCC", {1, 30, 30, 30}, {1, 20, 25, 10}},
        {"DDD", {1, 10, 10, 50}, {1, 10, 10, 1}},  // not a derivative
    };
    int code = 0;
    for (const auto& scrip : scrips) {
        const QString symbol = QString::fromLatin1(scrip.symbol);
        market.addScrip(++code, symbol + QStringLiteral(" Ltd"), symbol, QString());
        for (int k = 0; k < 4; ++k) {
            market.addDay(code, ScanMarket::day(k), {100, 50, 50, 10});
            market.addBhav(symbol, ScanMarket::day(k), scrip.highs[k], scrip.lows[k], 10);
        }
        if (code != 4)
            market.link(QStringLiteral("Derivative"), code);
    }
    auto in = [&market](const char* label, int first, int second) {
        return withSecondDate(market.inputs(8, QString::fromLatin1(label), ScanMarket::day(first), "3"),
                              ScanMarket::day(second));
    };
    expectRuns(market,
               {// AAA's 500 of day 0 lies before the second date; CCC equals its high.
                {in("Weekly High", 3, 1), {"symbol", "TodaysHigh", "MaxHigh", "%change", nbsp(1)},
                 {{"symbol", Texts{"BBB", "AAA"}}, {"MaxHigh", Numbers{50, 105}}, {"%change", Numbers{20, 4.76}}}},
                {in("52 Week Low", 3, 1), {"symbol", "TodaysLow", "MaxLow", "%change", nbsp(1)},
                 {{"symbol", Texts{"CCC", "AAA"}}, {"%change", Numbers{-50, -5.56}}}},
                // The period reaches back to day 0 whichever end is named first.
                {in("Monthly Low", 3, 0), {}, {{"symbol", Texts{}}}},
                {in("Weekly High", 0, 0), {}, {}, query::refusals::tooFewTradingDays(ScanMarket::day(0))}});
    // A store short of N days leaves the second date empty on the screen:
    // the period is refused, not cut down to the previous day.
    for (const auto& [label, days] : {std::pair{"52 Week High", "250"}, std::pair{"Monthly Low", "30"}}) {
        const query::RunInputs proposed = market.inputs(8, QString::fromLatin1(label), ScanMarket::day(3), days);
        expectRun(market.run(proposed), {proposed, {}, {}, query::refusals::tooFewTradingDays(ScanMarket::day(3))});
        EXPECT_FALSE(market.db().tableExists(QStringLiteral("QueryResult"))) << label;
    }
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
    EXPECT_DOUBLE_EQ(market.db().scalar(QStringLiteral("SELECT EMA14Days FROM allbhavcopy WHERE TransDate = ?"),
                                        {ScanMarket::day(14)}).toDouble(),
                     10);
}

}  // namespace
