#include "daystore.h"
#include "marketfixture.h"

#include <gtest/gtest.h>
#include <optional>

using query::Exchange;
using query::RunStatus;
using F = MarketFixture;

namespace {

const QString kNbsp1(1, QChar(0x00A0));
const QString kNbsp2(2, QChar(0x00A0));

class AbnormalChangeQueries : public ::testing::Test {
protected:
    MarketFixture market;

    // An "over previous day" query on the last day: `percent` is the number box.
    query::RunOutcome overPreviousDay(const QString& label, Exchange exchange, const QString& percent,
                                      const QString& group = QStringLiteral("ALL"))
    {
        auto in = F::inputs(2, label, F::D1, {}, exchange, percent);
        in.groupCode = group;
        return market.run(in);
    }

    // An "above average" query on the last day over a window of `days`.
    query::RunOutcome aboveAverage(const QString& label, Exchange exchange, const QString& percent, const QString& days)
    {
        auto in = F::inputs(2, label, F::D1, {}, exchange, percent);
        in.number2Text = days;
        return market.run(in);
    }
};

const QString kDeliveryOverDay = QStringLiteral("Abnormal Change in delivery qty over previous day");
const QString kPercentOverDay = QStringLiteral("Abnormal Change in % delivery qty over previous day");
const QString kTradingOverDay = QStringLiteral("Abnormal Change in Trading qty over previous day");
const QString kDeliveryAboveAverage = QStringLiteral("Abnormal Change in delivery qty above Average Delivery Qty");
const QString kTradingAboveAverage = QStringLiteral("Abnormal Change in Trading qty above Average Trading Qty");

TEST_F(AbnormalChangeQueries, DeliveryOverPreviousDayOnNse)
{
    auto outcome = overPreviousDay(kDeliveryOverDay, Exchange::Nse, QStringLiteral("50"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome), (QStringList{"Stock", "NSECode", "DelyQty", "PrevDelyQty", "Difference", "PerChange", "rate",
                                              "% Chg", "Volume", "PrevVolume", kNbsp1, kNbsp2}));
    EXPECT_EQ(texts(outcome, "Stock"), QStringList{"Gamma Ltd"});
    EXPECT_EQ(texts(outcome, "NSECode"), QStringList{"GAMMA"});
    EXPECT_EQ(texts(outcome, "PerChange"), QStringList{"500 % "});
    EXPECT_EQ(numbers(outcome, "Difference"), QList<double>{500 * F::kLot});
    EXPECT_EQ(numbers(outcome, "% Chg"), QList<double>{-20});
    EXPECT_EQ(outcome.state.secondDate, F::D2);

    // A previous day without delivery counts as 1: Delta and Epsilon fall by
    // 100 %; Zeta has no previous day and never shows.
    outcome = overPreviousDay(kDeliveryOverDay, Exchange::Nse, QStringLiteral("-100"));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Gamma Ltd", "Alpha Ltd", "Beta Ltd", "Delta Ltd", "Epsilon Ltd"}));
    EXPECT_EQ(texts(outcome, "PerChange"), (QStringList{"500 % ", "11.11 % ", "-25 % ", "-100 % ", "-100 % "}));
}

TEST_F(AbnormalChangeQueries, PercentDeliveryOverPreviousDayOnBse)
{
    const auto outcome = overPreviousDay(kPercentOverDay, Exchange::Bse, QStringLiteral("0"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome).mid(0, 7),
              (QStringList{"Stock", "% DelyQty", "Prev % DelyQty", "Diff", "% change", "Rate", "% Chg"}));
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Beta Ltd", "Epsilon Ltd", "Alpha Ltd"}));
    EXPECT_EQ(numbers(outcome, "% change"), (QList<double>{150, 150, 100}));
    EXPECT_EQ(numbers(outcome, "Diff"), (QList<double>{30, 30, 25}));
    EXPECT_EQ(numbers(outcome, "% Chg"), (QList<double>{-5.56, 20, 5.21}));
}

TEST_F(AbnormalChangeQueries, PercentDeliveryOverPreviousDayOfBothExchanges)
{
    auto outcome = overPreviousDay(kPercentOverDay, Exchange::Combined, QStringLiteral("0"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome).mid(0, 6), (QStringList{"Stock", "% Dely", "Prev % Dely", "NSE % chg", "Rate", "% Chg"}));
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Epsilon Ltd", "Gamma Ltd", "Alpha Ltd"}));
    EXPECT_EQ(numbers(outcome, "% Dely"), (QList<double>{50, 75, 43.33}));
    EXPECT_EQ(numbers(outcome, "Prev % Dely"), (QList<double>{20, 30, 35.38}));
    EXPECT_EQ(numbers(outcome, "NSE % chg"), (QList<double>{150, 150, 22.47}));
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
    const struct {
        const QString& label;
        const char* company;
        const char* change;
        std::optional<double> value;  // empty: not listed, the change has no value
    } cases[] = {
        {kPercentOverDay, "Idle Ltd", "NSE % chg", std::nullopt},
        {kPercentOverDay, "Undelivered Ltd", "NSE % chg", std::nullopt},
        {kPercentOverDay, "Steady Ltd", "NSE % chg", 0},
        {kTradingOverDay, "Idle Ltd", "PerChange", std::nullopt},
        {kTradingOverDay, "Undelivered Ltd", "PerChange", 0},
        {kTradingOverDay, "Steady Ltd", "PerChange", 0},
    };
    for (const auto& c : cases) {
        const auto outcome = store.run(DayStore::inputs(2, c.label, Exchange::Combined, QStringLiteral("-1000")));
        ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
        const qsizetype row = texts(outcome, "Stock").indexOf(QString::fromLatin1(c.company));
        EXPECT_EQ(row >= 0, c.value.has_value()) << c.label.toStdString() << " " << c.company;
        if (row >= 0 && c.value) {
            EXPECT_EQ(numbers(outcome, c.change).at(row), *c.value) << c.label.toStdString() << " " << c.company;
        }
        // The work table keeps the scrip with an empty change.
        const QString column = c.label == kPercentOverDay ? QStringLiteral("[NSE % chg]") : QStringLiteral("[% change]");
        const QVariant kept = store.db().scalar(
            QStringLiteral("select %1 from queryresult1 where Stock = ?").arg(column), {QString::fromLatin1(c.company)});
        EXPECT_EQ(kept.isNull(), !c.value.has_value()) << c.label.toStdString() << " " << c.company;
    }
    // Undelivered Ltd's delivery change divides by nothing delivered yesterday.
    const auto trading = store.run(DayStore::inputs(2, kTradingOverDay, Exchange::Combined, QStringLiteral("-1000")));
    const qsizetype undelivered = texts(trading, "Stock").indexOf(QStringLiteral("Undelivered Ltd"));
    ASSERT_GE(undelivered, 0);
    EXPECT_TRUE(trading.rows.value(static_cast<int>(undelivered), QStringLiteral("%ChgInDely")).isNull());
}

TEST_F(AbnormalChangeQueries, TradingOverPreviousDayOnNseAndInTheGroup)
{
    auto outcome = overPreviousDay(kTradingOverDay, Exchange::Nse, QStringLiteral("10"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome).mid(0, 9), (QStringList{"Stock", "TradingQty", "PrevTradingQty", "Difference", "% change",
                                                        "rate", "% Chg", "DelyQty", "PrevDelyQty"}));
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Gamma Ltd", "Beta Ltd", "Alpha Ltd"}));
    EXPECT_EQ(numbers(outcome, "% change"), (QList<double>{100, 33.33, 11.11}));

    outcome = overPreviousDay(kTradingOverDay, Exchange::Nse, QStringLiteral("0"), QStringLiteral("BANK"));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Gamma Ltd", "Alpha Ltd"}));
}

TEST_F(AbnormalChangeQueries, TradingOverPreviousDayOfBothExchanges)
{
    const auto outcome = overPreviousDay(kTradingOverDay, Exchange::Combined, QStringLiteral("0"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome).mid(0, 10), (QStringList{"Stock", "TradingQty", "PrevTradingQty", "Difference", "PerChange",
                                                         "Rate", "% Chg", "DelyQty", "PrevDelyQty", "%ChgInDely"}));
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Gamma Ltd", "Beta Ltd", "Epsilon Ltd", "Alpha Ltd"}));
    EXPECT_EQ(numbers(outcome, "PerChange"), (QList<double>{60, 42.86, 40, 15.38}));
    // Epsilon trades on BSE only: its rate is the BSE close.
    EXPECT_EQ(numbers(outcome, "Rate"), (QList<double>{20, 50, 300, 100}));
    EXPECT_EQ(numbers(outcome, "% Chg").mid(0, 3), (QList<double>{-20, -9.09, 20}));
    EXPECT_EQ(numbers(outcome, "%ChgInDely").at(0), 300);
}

TEST_F(AbnormalChangeQueries, DeliveryAboveTheAverageOfTheWindow)
{
    auto outcome = aboveAverage(kDeliveryAboveAverage, Exchange::Nse, QStringLiteral("0"), QStringLiteral("3"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome), (QStringList{"nsescrip", "bsescrip", "Stock", "DelyQty", "AvgDelyQty", "Difference",
                                              "Dely Chg %", "rate", "% Rate Chg From Avg Rate", kNbsp1, kNbsp2}));
    EXPECT_EQ(outcome.state.secondDate, F::D3);
    // Zeta's window is its one day, so its delivery equals its average.
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Gamma Ltd", "Alpha Ltd", "Beta Ltd", "Zeta Ltd"}));
    EXPECT_EQ(numbers(outcome, "AvgDelyQty"), (QList<double>{316667, 360000, 221667, 99999 * F::kLot}));
    EXPECT_EQ(numbers(outcome, "Dely Chg %"), (QList<double>{89.47, 11.11, 1.5, 0}));
    EXPECT_EQ(numbers(outcome, "% Rate Chg From Avg Rate").mid(0, 2), (QList<double>{-10.43, 5.26}));

    outcome = aboveAverage(kDeliveryAboveAverage, Exchange::Combined, QStringLiteral("50"), QStringLiteral("2"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Gamma Ltd", "Epsilon Ltd"}));
    EXPECT_EQ(numbers(outcome, "Dely Chg %"), (QList<double>{60, 55.56}));
    EXPECT_EQ(numbers(outcome, "Rate"), (QList<double>{20, 300}));
    EXPECT_EQ(numbers(outcome, "% Rate Chg From Avg Rate"), (QList<double>{-11.11, 9.09}));
}

TEST_F(AbnormalChangeQueries, TradingAboveTheAverageOnBse)
{
    const auto outcome = aboveAverage(kTradingAboveAverage, Exchange::Bse, QStringLiteral("10"), QStringLiteral("2"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome).mid(0, 7), (QStringList{"Stock", "Trading Qty", "Avg Trd Qty", "Difference", "Trd Chg %",
                                                        "rate", "% Rate Chg From Avg Rate"}));
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Beta Ltd", "Epsilon Ltd", "Alpha Ltd"}));
    EXPECT_EQ(numbers(outcome, "Trd Chg %"), (QList<double>{33.33, 16.67, 11.11}));
    EXPECT_EQ(numbers(outcome, "Avg Trd Qty"), (QList<double>{150000, 600000, 450000}));
    EXPECT_EQ(numbers(outcome, "% Rate Chg From Avg Rate"), (QList<double>{-2.86, 9.09, 2.54}));
}

TEST_F(AbnormalChangeQueries, RefusesMissingDaysAndWindows)
{
    auto outcome = market.run(F::inputs(2, kTradingOverDay, F::D5, {}, Exchange::Nse, QStringLiteral("0")));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, query::refusals::tooFewTradingDays(F::D5));

    outcome = aboveAverage(kDeliveryAboveAverage, Exchange::Nse, QStringLiteral("0"), QStringLiteral("6"));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, query::refusals::tooFewTradingDays(F::D1));

    outcome = aboveAverage(kTradingAboveAverage, Exchange::Nse, QStringLiteral("0"), QStringLiteral("0"));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_FALSE(market.db().tableExists(QStringLiteral("QueryResult")));
}

}  // namespace
