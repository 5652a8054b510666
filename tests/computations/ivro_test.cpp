#include "openinterestfixture.h"

#include "computations/optionsdatabase.h"

#include <gtest/gtest.h>



using query::RunStatus;

namespace {

const QString kLabel = QStringLiteral("Ivro Query");
const QDate kDay{2024, 1, 8}, kPrevious{2024, 1, 5};

TEST(IvroQuery, ComparesTheDayWithThePreviousOneBesideFuturesOpenInterest)
{
    openinterest_test::TwoStores stores;
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
    const struct {
        const char* symbol;
        QDate day;
        double openInterest;
        const char* instrument;
    } options[] = {{"ALPHA", kDay, 600, "FUTSTK"},  {"ALPHA", kDay, 400, "FUTSTK"},     {"ALPHA", kDay, 5000, "OPTSTK"},
                   {"ALPHA", kPrevious, 800, "FUTSTK"}, {"BETA", kDay, 1000, "FUTSTK"},  {"THETA", kDay, 500, "futstk"},
                   {"THETA", kPrevious, 400, "futstk"}, {"GAMMA", kDay, 300, "OPTSTK"}};
    for (const auto& o : options)
        stores.addOption(o.symbol, o.day, o.openInterest, 1, o.instrument);
    // Alpha is in two sectors; its open interest counts once.
    for (const auto& [symbol, sector] : {std::pair{"ALPHA", "Mining"}, {"ALPHA", "Metals"}, {"BETA", "Banks"},
                                         {"THETA", "Zinc"}, {"GAMMA", "Chemicals"}})
        stores.addSector(symbol, sector);

    auto outcome = stores.run(stores.inputs(kLabel, kDay));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome), (QStringList{"NSEScriptCode", "sector", "TradedVol", "VolChg", "AbsVolChg", "DelyVol",
                                                    "DelyChg", "AbsDelyChg", "OI", "OIChg", "AbsOIChg"}));
    EXPECT_EQ(outcome.state.secondDate, kPrevious);
    EXPECT_EQ(texts(outcome, "NSEScriptCode"), (QStringList{"BETA", "ALPHA", "THETA"}));
    EXPECT_EQ(texts(outcome, "sector"), (QStringList{"Banks", "Metals", "Zinc"}));
    // Alpha: 4000 traded against 2000, 2000 delivered against 2500, futures
    // open interest 1000 against 800 (options rows left out). Beta: nothing
    // traded the day before, no futures that day. Theta is only in the
    // options data.
    openinterest_test::expectCells(
        outcome, "NSEScriptCode",
        {{"ALPHA", "TradedVol", 4000}, {"ALPHA", "VolChg", 100},    {"ALPHA", "AbsVolChg", 2000}, {"ALPHA", "DelyChg", -20},
         {"ALPHA", "AbsDelyChg", -500}, {"ALPHA", "OI", 1000},      {"ALPHA", "OIChg", 25},       {"ALPHA", "AbsOIChg", 200},
         {"BETA", "VolChg", 0.01},      {"BETA", "AbsVolChg", 1000}, {"BETA", "OI", 1000},         {"BETA", "OIChg", 0.01},
         {"BETA", "AbsOIChg", {}},      {"THETA", "TradedVol", {}}, {"THETA", "VolChg", {}},      {"THETA", "OI", 500},
         {"THETA", "OIChg", 25},        {"THETA", "AbsOIChg", 100}});

    // Refused without a previous day or its options database.
    outcome = stores.run(stores.inputs(kLabel, kPrevious));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, query::refusals::tooFewTradingDays(kPrevious));
    stores.useOptionPath(QString());
    outcome = stores.run(stores.inputs(kLabel, kDay));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, computations::optionsUnavailableMessage(QString(), QStringLiteral("no file is set.")));
}

}  // namespace
