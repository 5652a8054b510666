#include "openinterestfixture.h"
#include "support/scriptedprompt.h"

#include <gtest/gtest.h>

using openinterest_test::column;
using openinterest_test::columnTexts;
using openinterest_test::resultHeadings;
using query::RangeMeasure;
using query::RunStatus;

namespace {

const QString kLabel = QStringLiteral("Belmora - Price Query");
const QDate kDay{2024, 1, 5};
const QDate kPrevious{2024, 1, 4};

// Scrips and their two days, each chosen to test one rule. Thresholds as
// the query screen presets them: close 50, traded 25000, delivery 30 %.
class BelmoraQuery : public ::testing::Test {
protected:
    openinterest_test::TwoStores stores;
    ScriptedPrompt prompt;  // answers No to the export question

    void SetUp() override
    {
        stores.db().exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('BSE100', 'Bse 100'), ('BSE500', 'Bse 500')"));
        // Alpha: in both index groups; BSE close rose, NSE close fell.
        stores.addScrip(1, QStringLiteral("Alpha Ltd"), QStringLiteral("ALPHA"), QStringLiteral("500001"));
        stores.link(QStringLiteral("BSE100"), 1);
        stores.link(QStringLiteral("BSE500"), 1);
        stores.addDay(1, kPrevious, 200000, 80000, 100.2, 100000, 40000, 100);
        stores.addDay(1, kDay, 300000, 100000, 99.5, 120000, 50000, 110);
        // Beta: BSE only, close fell.
        stores.addScrip(2, QStringLiteral("Beta Ltd"), QString(), QStringLiteral("500002"));
        stores.addDay(2, kPrevious, 0, 0, 0, 50000, 20000, 60);
        stores.addDay(2, kDay, 0, 0, 0, 60000, 30000, 55);
        // Gamma: delivery of 20 % on the previous day, below the threshold.
        stores.addScrip(3, QStringLiteral("Gamma Ltd"), QStringLiteral("GAMMA"), QString());
        stores.addDay(3, kPrevious, 100000, 20000, 80, 0, 0, 0);
        stores.addDay(3, kDay, 200000, 100000, 90, 0, 0, 0);
        // Delta: delivery unchanged. Epsilon: close unchanged.
        stores.addScrip(4, QStringLiteral("Delta Ltd"), QStringLiteral("DELTA"), QString());
        stores.addDay(4, kPrevious, 100000, 50000, 70, 0, 0, 0);
        stores.addDay(4, kDay, 150000, 50000, 75, 0, 0, 0);
        stores.addScrip(5, QStringLiteral("Epsilon Ltd"), QStringLiteral("EPSILON"), QString());
        stores.addDay(5, kPrevious, 100000, 40000, 80, 0, 0, 0);
        stores.addDay(5, kDay, 120000, 60000, 80, 0, 0, 0);
        // Zeta: the day's close of 45 is below 50.
        stores.addScrip(6, QStringLiteral("Zeta Ltd"), QStringLiteral("ZETA"), QString());
        stores.addDay(6, kPrevious, 100000, 50000, 52, 0, 0, 0);
        stores.addDay(6, kDay, 120000, 60000, 45, 0, 0, 0);
    }

    query::RunInputs presetInputs(const QDate& day = kDay) const
    {
        query::RunInputs in = stores.inputs(kLabel, day, 6);
        in.numberText = QStringLiteral("2");
        in.range(RangeMeasure::Price) = {false, 50, 0};
        in.range(RangeMeasure::TradedQty) = {false, 25000, 0};
        in.range(RangeMeasure::DeliveryPercent) = {false, 30, 0};
        return in;
    }
};

TEST_F(BelmoraQuery, ListsEachGroupsRisingDeliveriesByDirectionOfTheClose)
{
    const auto outcome = stores.run(presetInputs());
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(resultHeadings(outcome), (QStringList{"company", "groupcode", "query", "tvol", "pvol", "tdely", "pdely",
                                                    "tdelyperc", "TPrice", "PPrice"}));
    EXPECT_EQ(outcome.state.secondDate, kPrevious);
    // Rising closes first (BSE100, BSE500, BSE, NSE), then falling closes.
    EXPECT_EQ(columnTexts(outcome, "company"),
              (QStringList{"Alpha Ltd", "Alpha Ltd", "Alpha Ltd", "Beta Ltd", "Alpha Ltd"}));
    EXPECT_EQ(columnTexts(outcome, "groupcode"), (QStringList{"BSE100", "BSE500", "BSE", "BSE", "NSE"}));
    EXPECT_EQ(columnTexts(outcome, "query"), (QStringList{"1", "1", "1", "2", "2"}));
    // The index groups and 'BSE' show BSE figures, 'NSE' the NSE figures.
    EXPECT_EQ(column(outcome, "tvol"), (QVariantList{120000.0, 120000.0, 120000.0, 60000.0, 300000.0}));
    EXPECT_EQ(column(outcome, "pdely"), (QVariantList{40000.0, 40000.0, 40000.0, 20000.0, 80000.0}));
    EXPECT_EQ(column(outcome, "tdelyperc"), (QVariantList{41.67, 41.67, 41.67, 50.0, 33.33}));
    EXPECT_EQ(column(outcome, "PPrice"), (QVariantList{100.0, 100.0, 100.0, 60.0, 100.2}));

    // The work table keeps the previous day's percentage and the close's change.
    const store::Rows kept = stores.db().query(
        QStringLiteral("SELECT groupcode, PDelyPerc, PriceChg FROM TBelmoraResult WHERE Query = '2' ORDER BY groupcode"));
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(kept.rows.at(0), (QVariantList{"BSE", 40.0, -8.33}));   // 55 against 60
    EXPECT_EQ(kept.rows.at(1), (QVariantList{"NSE", 40.0, -0.7}));    // 99.5 against 100.2
}

TEST_F(BelmoraQuery, ThresholdsComeFromTheRangeBoxesTickedOrNot)
{
    query::RunInputs in = presetInputs();
    in.range(RangeMeasure::Price) = {false, 0, 0};
    auto outcome = stores.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    // Without the close threshold Zeta's fall is listed, after Alpha's larger delivery.
    EXPECT_EQ(columnTexts(outcome, "company").mid(3), (QStringList{"Beta Ltd", "Alpha Ltd", "Zeta Ltd"}));

    in = presetInputs();
    in.range(RangeMeasure::DeliveryPercent) = {true, 45, 100};
    outcome = stores.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    // Alpha's previous day held 40 % delivery on both exchanges; Beta's 40 % too.
    EXPECT_TRUE(outcome.rows.isEmpty());
    EXPECT_TRUE(stores.db().tableExists(QStringLiteral("TBelmoraResult")));
}

TEST_F(BelmoraQuery, KeepsTenPerListWithEveryScripTiedWithTheTenth)
{
    for (int k = 0; k < 12; ++k) {
        const int code = 100 + k;
        stores.addScrip(code, QStringLiteral("Scrip %1").arg(k, 2, 10, QLatin1Char('0')), QStringLiteral("S%1").arg(k), QString());
        const double delivered = k <= 9 ? 200000 - k * 1000 : k == 10 ? 191000 : 150000;
        stores.addDay(code, kPrevious, 200000, 70000, 100, 0, 0, 0);
        stores.addDay(code, kDay, 400000, delivered, 101, 0, 0, 0);
    }
    const auto outcome = stores.run(presetInputs());
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    QStringList risingNse;
    const QStringList groups = columnTexts(outcome, "groupcode");
    const QStringList companies = columnTexts(outcome, "company");
    for (int row = 0; row < groups.size(); ++row)
        if (groups.at(row) == QLatin1String("NSE") && columnTexts(outcome, "query").at(row) == QLatin1String("1"))
            risingNse.append(companies.at(row));
    EXPECT_EQ(risingNse.size(), 11);
    EXPECT_EQ(risingNse.first(), QStringLiteral("Scrip 00"));
    EXPECT_EQ(risingNse.mid(9), (QStringList{"Scrip 09", "Scrip 10"}));
}

TEST_F(BelmoraQuery, ASecondRunKeepsOnlyItsOwnRows)
{
    ASSERT_EQ(stores.run(presetInputs()).status, RunStatus::Completed);
    const auto outcome = stores.run(presetInputs());
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(outcome.rows.size(), 5);
    EXPECT_EQ(stores.db().scalar(QStringLiteral("SELECT count(*) FROM TBelmoraResult")).toInt(), 5);
    EXPECT_EQ(stores.db().scalar(QStringLiteral("SELECT count(*) FROM Tdely")).toInt(), 16);
}

TEST_F(BelmoraQuery, RefusesTheOldestTradingDay)
{
    const auto outcome = stores.run(presetInputs(kPrevious));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, query::refusals::tooFewTradingDays(kPrevious));
}

}  // namespace
