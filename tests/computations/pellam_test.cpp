#include "openinterestfixture.h"

#include "computations/optionsdatabase.h"

#include <gtest/gtest.h>

using openinterest_test::cell;
using openinterest_test::columnTexts;
using openinterest_test::resultHeadings;
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

        stores.addOption(QStringLiteral("ALPHA"), D1, 100, 210, QStringLiteral("FUTSTK"));
        stores.addOption(QStringLiteral("ALPHA"), D1, 50, 212);
        stores.addOption(QStringLiteral("ALPHA"), D2, 120, 200);
        stores.addOption(QStringLiteral("ALPHA"), D3, 100, 190);
        stores.addOption(QStringLiteral("ALPHA"), D4, 100, 180);
        stores.addOption(QStringLiteral("ALPHA"), D5, 100, 170);
        stores.addOption(QStringLiteral("ALPHA"), D6, 100, 160);
        stores.addOption(QStringLiteral("ALPHA"), QDate(2023, 6, 1), 1, 250);
        stores.addOption(QStringLiteral("ALPHA"), QDate(2023, 3, 1), 1, 0);
        stores.addOption(QStringLiteral("ALPHA"), QDate(2023, 1, 7), 1, 280);  // first day of the 52 weeks
        stores.addOption(QStringLiteral("ALPHA"), QDate(2023, 1, 6), 1, 300);  // one day before them
        stores.addOption(QStringLiteral("BETA"), D1, 10, 50);
        stores.addOption(QStringLiteral("BETA"), D2, 20, 40);
        stores.addOption(QStringLiteral("GAMMA"), QDate(2023, 12, 1), 1, 30);
        stores.addOption(QStringLiteral("DELTA"), QDate(2024, 1, 6), 5, 70);
        stores.addSector(QStringLiteral("ALPHA"), QStringLiteral("Metals"));
        stores.addSector(QStringLiteral("BETA"), QStringLiteral("Banks"));
        stores.addSector(QStringLiteral("GAMMA"), QStringLiteral("Chemicals"));
        stores.addSector(QStringLiteral("DELTA"), QStringLiteral("Auto"));
    }

    // Averages over 2 and 6 trading days.
    query::RunInputs pellamInputs(const QDate& day = D1, const QString& first = QStringLiteral("2"),
                                  const QString& second = QStringLiteral("6")) const
    {
        query::RunInputs in = stores.inputs(kLabel, day);
        in.numberText = first;
        in.number2Text = second;
        return in;
    }

    static QVariant of(const query::RunOutcome& outcome, const char* symbol, const char* heading)
    {
        return cell(outcome, QStringLiteral("NSEScriptCode"), QString::fromLatin1(symbol), QString::fromLatin1(heading));
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
    EXPECT_EQ(resultHeadings(outcome), expected);
    EXPECT_EQ(outcome.state.fifthDate, D5);

    // By sector: Beta (only in the options data), Gamma, Alpha.
    EXPECT_EQ(columnTexts(outcome, "NSEScriptCode"), (QStringList{"BETA", "GAMMA", "ALPHA"}));
    EXPECT_EQ(columnTexts(outcome, "Sector"), (QStringList{"Banks", "Chemicals", "Metals"}));

    // Alpha: the underlying prices replace the closes of every day.
    EXPECT_EQ(of(outcome, "ALPHA", "company").toString(), QStringLiteral("Alpha Ltd"));
    EXPECT_EQ(of(outcome, "ALPHA", "transdate").toDate(), D1);
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "a_QtyTraded").toDouble(), 0);
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "a_Dely %").toDouble(), 10000000);  // 1 delivered of nothing traded
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "b_QtyTraded").toDouble(), 4000);
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "b_Dely %").toDouble(), 50);
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "a_NSEClPrice").toDouble(), 212);
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "e_NSEClPrice").toDouble(), 170);
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "OI").toDouble(), 150);
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "OI1").toDouble(), 120);
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "OI4").toDouble(), 100);
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "chginprice").toDouble(), 6);      // 212 against 200
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "DMA12").toDouble(), 206);         // 212 and 200
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "DMA48").toDouble(), 185.33);      // 1112 over 6 days
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "high52").toDouble(), 280);        // 300 is a day too old
    EXPECT_DOUBLE_EQ(of(outcome, "ALPHA", "low52").toDouble(), 160);         // a price of 0 does not count

    // Beta lacks a day: only its options figures, no company or quantities.
    EXPECT_TRUE(of(outcome, "BETA", "company").isNull());
    EXPECT_TRUE(of(outcome, "BETA", "a_QtyTraded").isNull());
    EXPECT_DOUBLE_EQ(of(outcome, "BETA", "chginprice").toDouble(), 25);
    EXPECT_DOUBLE_EQ(of(outcome, "BETA", "DMA12").toDouble(), 45);
    EXPECT_DOUBLE_EQ(of(outcome, "BETA", "OI1").toDouble(), 20);

    // Gamma: no options rows on the five days keeps the closes and 0.01 marks.
    EXPECT_DOUBLE_EQ(of(outcome, "GAMMA", "a_NSEClPrice").toDouble(), 22);
    EXPECT_DOUBLE_EQ(of(outcome, "GAMMA", "OI").toDouble(), 0.01);
    EXPECT_DOUBLE_EQ(of(outcome, "GAMMA", "chginprice").toDouble(), 10);
    EXPECT_DOUBLE_EQ(of(outcome, "GAMMA", "DMA12").toDouble(), 0.01);
    EXPECT_DOUBLE_EQ(of(outcome, "GAMMA", "high52").toDouble(), 30);

    // Delta's only row falls on a day that is no trading day: it counts in the
    // average, but without prices Delta gets no change and is not listed.
    const store::Rows delta = stores.db().query(
        QStringLiteral("SELECT DMA12, Sector, ChgInPrice FROM tDelyFinal WHERE NSEScriptCode = 'DELTA'"));
    ASSERT_EQ(delta.size(), 1);
    EXPECT_DOUBLE_EQ(delta.rows.at(0).at(0).toDouble(), 70);
    EXPECT_EQ(delta.rows.at(0).at(1).toString(), QStringLiteral("Auto"));
    EXPECT_TRUE(delta.rows.at(0).at(2).isNull());
}

TEST_F(PellamQuery, GroupChoiceLeavesOtherScripsToTheOptionsData)
{
    stores.db().exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('CHEM', 'Chemicals')"));
    stores.link(QStringLiteral("CHEM"), 3);
    query::RunInputs in = pellamInputs();
    in.groupCode = QStringLiteral("CHEM");
    const auto outcome = stores.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(columnTexts(outcome, "NSEScriptCode"), (QStringList{"BETA", "GAMMA", "ALPHA"}));
    EXPECT_EQ(of(outcome, "GAMMA", "company").toString(), QStringLiteral("Gamma Ltd"));
    EXPECT_TRUE(of(outcome, "ALPHA", "company").isNull());
    EXPECT_TRUE(of(outcome, "ALPHA", "b_QtyTraded").isNull());
}

TEST_F(PellamQuery, RefusesWhatItCannotCompute)
{
    // The fourth trading day before 2 January is not stored.
    auto outcome = stores.run(pellamInputs(D5));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, query::refusals::tooFewTradingDays(D5));

    // An average over more days than the store holds.
    outcome = stores.run(pellamInputs(D1, QStringLiteral("2"), QStringLiteral("7")));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, query::refusals::tooFewTradingDays(D1));

    // Without its options database the query says so rather than list nothing.
    const QString missing = stores.optionsPath() + QStringLiteral(".gone");
    stores.useOptionPath(missing);
    outcome = stores.run(pellamInputs());
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_TRUE(outcome.message.startsWith(QStringLiteral("The options database \"%1\" cannot be opened: ").arg(missing)))
        << outcome.message.toStdString();
}

}  // namespace
