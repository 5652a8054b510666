#include "openinterestfixture.h"
#include "support/scriptedprompt.h"

#include <gtest/gtest.h>


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
        // Alpha: in both index groups; BSE close rose, NSE close fell. Beta:
        // BSE only, close fell. Gamma: delivery of 20 % on the previous day,
        // below the threshold. Delta: delivery unchanged. Epsilon: close
        // unchanged. Zeta: the day's close of 45 is below 50.
        const struct {
            const char* company;
            const char* nse;
            const char* bse;
            double previous[6], day[6];  // NSE traded, delivered, close; BSE the same
        } scrips[] = {
            {"Alpha Ltd", "ALPHA", "500001", {200000, 80000, 100.2, 100000, 40000, 100}, {300000, 100000, 99.5, 120000, 50000, 110}},
            {"Beta Ltd", "", "500002", {0, 0, 0, 50000, 20000, 60}, {0, 0, 0, 60000, 30000, 55}},
            {"Gamma Ltd", "GAMMA", "", {100000, 20000, 80}, {200000, 100000, 90}},
            {"Delta Ltd", "DELTA", "", {100000, 50000, 70}, {150000, 50000, 75}},
            {"Epsilon Ltd", "EPSILON", "", {100000, 40000, 80}, {120000, 60000, 80}},
            {"Zeta Ltd", "ZETA", "", {100000, 50000, 52}, {120000, 60000, 45}},
        };
        int code = 0;
        for (const auto& s : scrips) {
            stores.addScrip(++code, s.company, s.nse, s.bse);
            for (const auto& [day, f] : {std::pair{kPrevious, s.previous}, {kDay, s.day}})
                stores.addDay(code, day, f[0], f[1], f[2], f[3], f[4], f[5]);
        }
        stores.link(QStringLiteral("BSE100"), 1);
        stores.link(QStringLiteral("BSE500"), 1);
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
    // Rising closes first (BSE100, BSE500, BSE, NSE), then falling closes.
    // The index groups and 'BSE' show BSE figures, 'NSE' the NSE figures.
    const QList<Expected> listed{
        {"company", Texts{"Alpha Ltd", "Alpha Ltd", "Alpha Ltd", "Beta Ltd", "Alpha Ltd"}},
        {"groupcode", Texts{"BSE100", "BSE500", "BSE", "BSE", "NSE"}}, {"query", Texts{"1", "1", "1", "2", "2"}},
        {"tvol", Numbers{120000, 120000, 120000, 60000, 300000}}, {"pdely", Numbers{40000, 40000, 40000, 20000, 80000}},
        {"tdelyperc", Numbers{41.67, 41.67, 41.67, 50, 33.33}}, {"PPrice", Numbers{100, 100, 100, 60, 100.2}}};
    auto outcome = stores.run(presetInputs());
    expectRun(outcome, {"company", "groupcode", "query", "tvol", "pvol", "tdely", "pdely", "tdelyperc", "TPrice", "PPrice"},
              listed);
    EXPECT_EQ(outcome.rows.columns.size(), 10);
    EXPECT_EQ(outcome.state.secondDate, kPrevious);
    // The work table keeps the previous day's percentage and the close's change.
    const store::Rows kept = stores.db().query(
        QStringLiteral("SELECT groupcode, PDelyPerc, PriceChg FROM TBelmoraResult WHERE Query = '2' ORDER BY groupcode"));
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(kept.rows.at(0), (QVariantList{"BSE", 40.0, -8.33}));  // 55 against 60
    EXPECT_EQ(kept.rows.at(1), (QVariantList{"NSE", 40.0, -0.7}));   // 99.5 against 100.2

    // A second run keeps only its own rows.
    expectRun(stores.run(presetInputs()), {}, listed, "second run");
    EXPECT_EQ(stores.db().scalar(QStringLiteral("SELECT count(*) FROM TBelmoraResult")).toInt(), 5);
    EXPECT_EQ(stores.db().scalar(QStringLiteral("SELECT count(*) FROM Tdely")).toInt(), 16);

    // The thresholds come from the range boxes, ticked or not: without the
    // close threshold Zeta's fall is listed, after Alpha's larger delivery.
    query::RunInputs in = presetInputs();
    in.range(RangeMeasure::Price) = {false, 0, 0};
    outcome = stores.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "company").mid(3), (QStringList{"Beta Ltd", "Alpha Ltd", "Zeta Ltd"}));
    // Alpha's previous day held 40 % delivery on both exchanges; Beta's 40 % too.
    in = presetInputs();
    in.range(RangeMeasure::DeliveryPercent) = {true, 45, 100};
    expectRun(stores.run(in), {}, {{"company", Texts{}}}, "45 %");
    EXPECT_TRUE(stores.db().tableExists(QStringLiteral("TBelmoraResult")));

    outcome = stores.run(presetInputs(kPrevious));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, query::refusals::tooFewTradingDays(kPrevious));
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
    const QStringList groups = texts(outcome, "groupcode");
    const QStringList companies = texts(outcome, "company");
    for (int row = 0; row < groups.size(); ++row)
        if (groups.at(row) == QLatin1String("NSE") && texts(outcome, "query").at(row) == QLatin1String("1"))
            risingNse.append(companies.at(row));
    EXPECT_EQ(risingNse.size(), 11);
    EXPECT_EQ(risingNse.first(), QStringLiteral("Scrip 00"));
    EXPECT_EQ(risingNse.mid(9), (QStringList{"Scrip 09", "Scrip 10"}));
}

}  // namespace
