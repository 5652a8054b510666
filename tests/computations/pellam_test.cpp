#include "openinterestfixture.h"

#include "computations/optionsdatabase.h"

#include <QFile>
#include <gtest/gtest.h>


using openinterest_test::expectCells;

using query::RunStatus;

namespace {

const QString kLabel = QStringLiteral("Pellam Query");
// Six trading days, newest first; 6 January (a Saturday) is none.
const QDate D1{2024, 1, 8}, D2{2024, 1, 5}, D3{2024, 1, 4}, D4{2024, 1, 3}, D5{2024, 1, 2}, D6{2024, 1, 1};

class PellamQuery : public ::testing::Test {
protected:
    openinterest_test::TwoStores stores;

    void SetUp() override
    {
        // Alpha trades on all six days; on the query's day it traded nothing
        // and delivered 1.
        stores.addScrip(1, QStringLiteral("Alpha Ltd"), QStringLiteral("ALPHA"), QStringLiteral("500001"));
        stores.addDay(1, D1, 0, 1, 100, 0, 0, 0);
        for (const QDate& day : {D2, D3, D4, D5, D6})
            stores.addDay(1, day, 3000, 1500, 99, 1000, 500, 98);
        // Beta misses the fifth day.
        stores.addScrip(2, QStringLiteral("Beta Ltd"), QStringLiteral("BETA"), QString());
        for (const QDate& day : {D1, D2, D3, D4})
            stores.addDay(2, day, 100, 50, 10, 0, 0, 0);
        // Gamma has options rows only long before the five days.
        stores.addScrip(3, QStringLiteral("Gamma Ltd"), QStringLiteral("GAMMA"), QString());
        stores.addDay(3, D1, 500, 100, 22, 0, 0, 0);
        for (const QDate& day : {D2, D3, D4, D5})
            stores.addDay(3, day, 400, 100, 20, 0, 0, 0);
        // Symbol, day, open interest, underlying price. Alpha's 52 weeks start
        // on 7 January 2023; Delta's only row falls on no trading day.
        const struct {
            const char* symbol;
            QDate day;
            double openInterest, price;
        } options[] = {{"ALPHA", D1, 50, 212},  {"ALPHA", D2, 120, 200}, {"ALPHA", D3, 100, 190},
                       {"ALPHA", D4, 100, 180}, {"ALPHA", D5, 100, 170}, {"ALPHA", D6, 100, 160},
                       {"ALPHA", {2023, 6, 1}, 1, 250}, {"ALPHA", {2023, 3, 1}, 1, 0}, {"ALPHA", {2023, 1, 7}, 1, 280},
                       {"ALPHA", {2023, 1, 6}, 1, 300}, {"BETA", D1, 10, 50}, {"BETA", D2, 20, 40},
                       {"GAMMA", {2023, 12, 1}, 1, 30}, {"DELTA", {2024, 1, 6}, 5, 70}};
        stores.addOption(QStringLiteral("ALPHA"), D1, 100, 210, QStringLiteral("FUTSTK"));
        for (const auto& o : options)
            stores.addOption(o.symbol, o.day, o.openInterest, o.price);
        for (const auto& [symbol, sector] :
             {std::pair{"ALPHA", "Metals"}, {"BETA", "Banks"}, {"GAMMA", "Chemicals"}, {"DELTA", "Auto"}})
            stores.addSector(symbol, sector);
    }

    // Averages over 2 and 6 trading days.
    query::RunInputs pellamInputs(const QDate& day = D1, const char* second = "6") const
    {
        query::RunInputs in = stores.inputs(kLabel, day);
        in.numberText = QStringLiteral("2");
        in.number2Text = QString::fromLatin1(second);
        return in;
    }
};

TEST_F(PellamQuery, SetsFiveDaysBesideTheOptionsFigures)
{
    const auto outcome = stores.run(pellamInputs());
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    QStringList expected{"NSEScriptCode", "company", "Sector", "DMA12", "DMA48", "high52", "low52", "chginprice", "transdate"};
    const QStringList letters{"a", "b", "c", "d", "e"};
    for (int i = 0; i < letters.size(); ++i) {
        const QString& letter = letters.at(i);
        expected += {letter + "_QtyTraded", letter + "_QtyDely", letter + "_Dely %", letter + "_NSEClPrice"};
        expected += i == 0 ? QStringLiteral("OI") : QStringLiteral("OI%1").arg(i);
    }
    EXPECT_EQ(headings(outcome), expected);
    EXPECT_EQ(outcome.state.fifthDate, D5);
    // By sector: Beta (only in the options data), Gamma, Alpha.
    EXPECT_EQ(texts(outcome, "NSEScriptCode"), (QStringList{"BETA", "GAMMA", "ALPHA"}));
    EXPECT_EQ(texts(outcome, "Sector"), (QStringList{"Banks", "Chemicals", "Metals"}));
    // Alpha: the underlying prices replace the closes of every day; 1
    // delivered of nothing traded; 212 against 200; DMA12 over 212 and 200,
    // DMA48 1112 over 6 days; 300 is a day too old for the 52 weeks and a
    // price of 0 does not count. Beta lacks a day: only its options figures,
    // no company or quantities. Gamma: no options rows on the five days keeps
    // the closes and 0.01 marks.
    expectCells(outcome, "NSEScriptCode",
                {{"ALPHA", "company", "Alpha Ltd"}, {"ALPHA", "transdate", D1},        {"ALPHA", "a_QtyTraded", 0},
                 {"ALPHA", "a_Dely %", 10000000},  {"ALPHA", "b_QtyTraded", 4000},     {"ALPHA", "b_Dely %", 50},
                 {"ALPHA", "a_NSEClPrice", 212},   {"ALPHA", "e_NSEClPrice", 170},     {"ALPHA", "OI", 150},
                 {"ALPHA", "OI1", 120},            {"ALPHA", "OI4", 100},              {"ALPHA", "chginprice", 6},
                 {"ALPHA", "DMA12", 206},          {"ALPHA", "DMA48", 185.33},         {"ALPHA", "high52", 280},
                 {"ALPHA", "low52", 160},          {"BETA", "company", {}},            {"BETA", "a_QtyTraded", {}},
                 {"BETA", "chginprice", 25},       {"BETA", "DMA12", 45},              {"BETA", "OI1", 20},
                 {"GAMMA", "a_NSEClPrice", 22},    {"GAMMA", "OI", 0.01},              {"GAMMA", "chginprice", 10},
                 {"GAMMA", "DMA12", 0.01},         {"GAMMA", "high52", 30}});

    // Delta's row counts in the average, but without prices Delta gets no
    // change and is not listed.
    const store::Rows delta = stores.db().query(
        QStringLiteral("SELECT DMA12, Sector, ChgInPrice FROM tDelyFinal WHERE NSEScriptCode = 'DELTA'"));
    ASSERT_EQ(delta.size(), 1);
    EXPECT_EQ(delta.rows.at(0), (QVariantList{70.0, "Auto", QVariant()}));
}

TEST_F(PellamQuery, GroupChoiceLeavesOtherScripsToTheOptionsData)
{
    stores.db().exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('CHEM', 'Chemicals')"));
    stores.link(QStringLiteral("CHEM"), 3);
    query::RunInputs in = pellamInputs();
    in.groupCode = QStringLiteral("CHEM");
    const auto outcome = stores.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "NSEScriptCode"), (QStringList{"BETA", "GAMMA", "ALPHA"}));
    expectCells(outcome, "NSEScriptCode",
                {{"GAMMA", "company", "Gamma Ltd"}, {"ALPHA", "company", {}}, {"ALPHA", "b_QtyTraded", {}}});
}

TEST_F(PellamQuery, RefusesWhatItCannotCompute)
{
    // The fourth trading day before 2 January is not stored; an average over
    // more days than the store holds.
    auto outcome = stores.run(pellamInputs(D5));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, query::refusals::tooFewTradingDays(D5));
    EXPECT_EQ(stores.run(pellamInputs(D1, "7")).message, query::refusals::tooFewTradingDays(D1));

    // Without its options database the query says so rather than list nothing.
    const QString missing = stores.optionsPath() + QStringLiteral(".gone");
    stores.useOptionPath(missing);
    outcome = stores.run(pellamInputs());
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_TRUE(outcome.message.startsWith(QStringLiteral("The options database \"%1\" cannot be opened: ").arg(missing)))
        << outcome.message.toStdString();
}

// Another program keeps the options database: a run changes nothing in it but
// the drop of toi, so its bytes stay as they were (a file without toi), and a
// missing or empty file is refused, not made into a new database.
TEST_F(PellamQuery, LeavesTheOptionsDatabaseAsItFindsIt)
{
    stores.options().scalar("PRAGMA journal_mode=DELETE");
    auto bytes = [this] {
        QFile file(stores.optionsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = bytes();
    ASSERT_EQ(before.mid(18, 2), QByteArray("\1\1"));  // rollback journal, as the other program writes it
    ASSERT_EQ(stores.run(pellamInputs()).status, RunStatus::Completed);
    EXPECT_TRUE(bytes() == before);

    // toi goes; every other table stays as it was.
    stores.options().exec("CREATE TABLE toi (x)");
    ASSERT_EQ(stores.run(pellamInputs()).status, RunStatus::Completed);
    EXPECT_FALSE(stores.options().tableExists("toi"));
    EXPECT_EQ(bytes().mid(18, 2), QByteArray("\1\1"));
    EXPECT_EQ(stores.options().scalar("SELECT count(*) FROM allscript").toInt(), 15);

    const QString missing = stores.optionsPath() + QStringLiteral(".gone");
    const QString empty = stores.optionsPath() + QStringLiteral(".empty");
    QFile(empty).open(QIODevice::WriteOnly);
    for (const auto& [path, reason] : {std::pair{missing, "the file does not exist."}, {empty, "the file is empty."}}) {
        stores.useOptionPath(path);
        const auto outcome = stores.run(pellamInputs());
        EXPECT_EQ(outcome.status, RunStatus::Refused);
        EXPECT_EQ(outcome.message,
                  computations::optionsUnavailableMessage(
                      path, QStringLiteral("The database \"%1\" could not be opened: %2").arg(path, reason)));
    }
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(QFile(empty).size(), 0);
}

}  // namespace
