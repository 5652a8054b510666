#include "openinterestfixture.h"

#include "computations/optionsdatabase.h"

#include <gtest/gtest.h>

using openinterest_test::cell;
using openinterest_test::columnTexts;
using openinterest_test::resultHeadings;
using query::RunStatus;

namespace {

const QString kLabel = QStringLiteral("Ivro Query");
const QDate kDay{2024, 1, 8}, kPrevious{2024, 1, 5};

class IvroQuery : public ::testing::Test {
protected:
    openinterest_test::TwoStores stores;

    void SetUp() override
    {
        stores.addScrip(1, QStringLiteral("Alpha Ltd"), QStringLiteral("ALPHA"), QStringLiteral("500001"));
        stores.addDay(1, kPrevious, 1500, 2000, 99, 500, 500, 98);
        stores.addDay(1, kDay, 3000, 1500, 100, 1000, 500, 99);
        // Beta traded nothing the day before.
        stores.addScrip(2, QStringLiteral("Beta Ltd"), QStringLiteral("BETA"), QString());
        stores.addDay(2, kPrevious, 0, 0, 0, 0, 0, 0);
        stores.addDay(2, kDay, 1000, 500, 10, 0, 0, 0);
        // Gamma has options but no futures.
        stores.addScrip(3, QStringLiteral("Gamma Ltd"), QStringLiteral("GAMMA"), QString());
        stores.addDay(3, kPrevious, 400, 100, 20, 0, 0, 0);
        stores.addDay(3, kDay, 500, 100, 22, 0, 0, 0);

        stores.addOption(QStringLiteral("ALPHA"), kDay, 600, 100, QStringLiteral("FUTSTK"));
        stores.addOption(QStringLiteral("ALPHA"), kDay, 400, 100, QStringLiteral("FUTSTK"));
        stores.addOption(QStringLiteral("ALPHA"), kDay, 5000, 100, QStringLiteral("OPTSTK"));
        stores.addOption(QStringLiteral("ALPHA"), kPrevious, 800, 99, QStringLiteral("FUTSTK"));
        stores.addOption(QStringLiteral("BETA"), kDay, 1000, 10, QStringLiteral("FUTSTK"));
        stores.addOption(QStringLiteral("THETA"), kDay, 500, 5, QStringLiteral("futstk"));
        stores.addOption(QStringLiteral("THETA"), kPrevious, 400, 5, QStringLiteral("futstk"));
        stores.addOption(QStringLiteral("GAMMA"), kDay, 300, 22, QStringLiteral("OPTSTK"));
        // Alpha is in two sectors; its open interest counts once.
        stores.addSector(QStringLiteral("ALPHA"), QStringLiteral("Mining"));
        stores.addSector(QStringLiteral("ALPHA"), QStringLiteral("Metals"));
        stores.addSector(QStringLiteral("BETA"), QStringLiteral("Banks"));
        stores.addSector(QStringLiteral("THETA"), QStringLiteral("Zinc"));
        stores.addSector(QStringLiteral("GAMMA"), QStringLiteral("Chemicals"));
    }

    static QVariant of(const query::RunOutcome& outcome, const char* symbol, const char* heading)
    {
        return cell(outcome, QStringLiteral("NSEScriptCode"), QString::fromLatin1(symbol), QString::fromLatin1(heading));
    }
};

TEST_F(IvroQuery, ComparesTheDayWithThePreviousOneBesideFuturesOpenInterest)
{
    const auto outcome = stores.run(stores.inputs(kLabel, kDay));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(resultHeadings(outcome), (QStringList{"NSEScriptCode", "sector", "TradedVol", "VolChg", "AbsVolChg", "DelyVol",
                                                    "DelyChg", "AbsDelyChg", "OI", "OIChg", "AbsOIChg"}));
    EXPECT_EQ(outcome.state.secondDate, kPrevious);
    EXPECT_EQ(columnTexts(outcome, "NSEScriptCode"), (QStringList{"BETA", "ALPHA", "THETA"}));
    EXPECT_EQ(columnTexts(outcome, "sector"), (QStringList{"Banks", "Metals", "Zinc"}));

    // Alpha: 4000 traded against 2000, 2000 delivered against 2500, futures
    // open interest 1000 against 800 (options rows left out).
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "TradedVol").toDouble(), 4000);
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "VolChg").toDouble(), 100);
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "AbsVolChg").toDouble(), 2000);
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "DelyChg").toDouble(), -20);
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "AbsDelyChg").toDouble(), -500);
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "OI").toDouble(), 1000);
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "OIChg").toDouble(), 25);
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "AbsOIChg").toDouble(), 200);

    // Beta: nothing traded the day before, no futures that day.
    EXPECT_DOUBLE_EQ(of(outcome, "BETA", "VolChg").toDouble(), 0.01);
    EXPECT_DOUBLE_EQ(of(outcome, "BETA", "AbsVolChg").toDouble(), 1000);
    EXPECT_DOUBLE_EQ(of(outcome, "BETA", "OI").toDouble(), 1000);
    EXPECT_DOUBLE_EQ(of(outcome, "BETA", "OIChg").toDouble(), 0.01);
    EXPECT_TRUE(of(outcome, "BETA", "AbsOIChg").isNull());

    // Theta is only in the options data.
    EXPECT_TRUE(of(outcome, "THETA", "TradedVol").isNull());
    EXPECT_TRUE(of(outcome, "THETA", "VolChg").isNull());
    EXPECT_DOUBLE_EQ(of(outcome, "THETA", "OI").toDouble(), 500);
    EXPECT_DOUBLE_EQ(of(outcome, "THETA", "OIChg").toDouble(), 25);
    EXPECT_DOUBLE_EQ(of(outcome, "THETA", "AbsOIChg").toDouble(), 100);
}

TEST_F(IvroQuery, RefusesWithoutAPreviousDayOrItsOptionsDatabase)
{
    auto outcome = stores.run(stores.inputs(kLabel, kPrevious));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, query::refusals::tooFewTradingDays(kPrevious));

    stores.useOptionPath(QString());
    outcome = stores.run(stores.inputs(kLabel, kDay));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, computations::optionsUnavailableMessage(QString(), QStringLiteral("no file is set.")));
}

}  // namespace
