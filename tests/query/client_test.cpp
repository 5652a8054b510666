#include "daystore.h"
#include "marketfixture.h"

#include "query/clientbranches.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using query::Exchange;
using query::RunStatus;

namespace {

const QString kNbsp1 = QString(1, QChar(0x00A0));

// Twelve days. Client Ltd trades on both exchanges; day 11 lies outside every
// window. NoTrade Ltd traded nothing on NSE today but delivered 10. Gap Ltd
// has no row on the previous day. Bse Ltd has no NSE code and trades two days.
class ClientLayouts : public ::testing::Test {
protected:
    DayStore store{12};

    void SetUp() override
    {
        store.scrip(1, "Client Ltd", "CLNT", "500001");
        store.day(1, 0, {600, 300, 10, 400, 200, 11});
        store.day(1, 1, {500, 100, 0, 500, 150, 8});
        store.days(1, 2, 5, {300, 100, 9, 100, 50, 9});
        store.days(1, 6, 10, {300, 200, 9, 100, 100, 9});
        store.day(1, 11, {300, 99999, 9, 100, 99999, 9});
        store.scrip(2, "NoTrade Ltd", "NOTR", "500002");
        store.day(2, 0, {0, 10, 5});
        store.days(2, 1, 10, {200, 100, 5});
        store.scrip(3, "Gap Ltd", "GAP", "500003");
        store.day(3, 0, {100, 50, 20});
        store.days(3, 2, 10, {100, 50, 20});
        store.scrip(4, "Bse Ltd", "", "500004");
        store.days(4, 0, 1, {0, 0, 0, 100, 40, 50});
        store.link(QStringLiteral("CLI"), 1);
        store.link(QStringLiteral("CLI"), 3);
    }
};

TEST_F(ClientLayouts, MaltryAndQxvSetTheDayBesideThePreviousDayAndTheAverages)
{
    auto outcome = store.run(DayStore::inputs(7, "Maltry Query"));
    // Gap Ltd has no previous day: left out. Bse Ltd has no NSE close, so
    // the BSE close values the delivery. Nothing traded: the percentage is
    // taken over 0.00001.
    expectRun(outcome,
              {"company", "QtyTraded", "QtyDely", "Dely %", "PrevDay Dely %", "Total Dely Val", "Prev Day Dely Val",
               "5Days AvgDely", "10Days AvgDely", kNbsp1},
              {{"company", Texts{"Anchor Ltd", "Bse Ltd", "Client Ltd", "NoTrade Ltd"}},
               {"QtyTraded", Numbers{2000, 100, 1000, 0}}, {"Dely %", Numbers{50, 40, 50, 100000000}},
               {"PrevDay Dely %", Numbers{50, 40, 25, 50}}, {"Total Dely Val", Numbers{100000, 2000, 5000, 50}},
               {"Prev Day Dely Val", Numbers{100000, 2000, 2000, 500}}, {"5Days AvgDely", Numbers{1000, 40, 170, 100}},
               {"10Days AvgDely", Numbers{1000, 40, 235, 100}}},
              "Maltry");
    EXPECT_EQ(outcome.state.fourthDate, DayStore::date(5));
    EXPECT_EQ(outcome.state.eighthDate, DayStore::date(10));

    // QXV averages the ten days ending with the day.
    outcome = store.run(DayStore::inputs(7, "QXV Query"));
    expectRun(outcome,
              {"company", "TodaysPrice", "PrevDayPrice", "TodaysVolume", "PrevDayVolume", "AvgVolume", "TodaysDely %",
               "PrevDay Dely %", "AvgDely %", kNbsp1},
              {{"company", Texts{"Anchor Ltd", "Bse Ltd", "Client Ltd", "NoTrade Ltd"}}}, "QXV");
    const int client = 2;
    EXPECT_EQ(numbers(outcome, "TodaysPrice").at(client), 10);
    EXPECT_EQ(numbers(outcome, "PrevDayPrice").at(client), 8);
    EXPECT_EQ(numbers(outcome, "AvgVolume").at(client), 520);
    EXPECT_DOUBLE_EQ(numbers(outcome, "AvgDely %").at(client), 255.0 * 100 / 520);
    EXPECT_EQ(outcome.state.fourthDate, DayStore::date(9));

    // Both take the scrip and group filters; Stock Statistics needs its whole window.
    expectRuns(store, {{onScrips(DayStore::inputs(7, "Maltry Query"), {2}), {}, {{"company", Texts{"NoTrade Ltd"}}}},
                       {inGroup(DayStore::inputs(7, "QXV Query"), "CLI"), {}, {{"company", Texts{"Client Ltd"}}}},
                       {DayStore::inputs(7, "Stock Statistics"), {}, {}, query::refusals::tooFewTradingDays(DayStore::date(0))}});
}

TEST_F(ClientLayouts, ViewAllRecordsListsTheDayRowsOfThePeriod)
{
    auto in = DayStore::inputs(7, QStringLiteral("View All Records"));
    in.secondDate = DayStore::date(1);
    auto outcome = store.run(in);
    // By NSE code, newest first; the scrip without an NSE code is left out.
    expectRun(outcome,
              {"nsescrip", "bsescrip", "Stock", "TrnDate", "Price", "TradingQty", "DelyQty", "DelyPrecQty", kNbsp1,
               QString(3, QChar(0x00A0)), QString(6, QChar(0x00A0))},
              {{"nsescrip", Texts{"ANCH", "ANCH", "CLNT", "CLNT", "GAP", "NOTR", "NOTR"}}});
    EXPECT_EQ(outcome.rows.value(2, "TrnDate").toDate(), DayStore::date(0));
    EXPECT_EQ(outcome.rows.value(3, "TrnDate").toDate(), DayStore::date(1));

    // Both exchanges, the range over the combined price: NSE close, else BSE.
    in.exchange = Exchange::Combined;
    in.range(query::RangeMeasure::Price) = {true, 8, 11};
    expectRun(store.run(in),
              {"nsescrip", "bsescrip", "Stock", "TrnDate", "NSEDel", "BSEDel", "TotalDel", "Rate", "DelVal", "NSEtrdqty",
               "BSETrdQty", "TotalVol", "DelyPerc"},
              {{"Stock", Texts{"Client Ltd", "Client Ltd"}}, {"Rate", Numbers{10, 8}}, {"DelVal", Numbers{5000, 2000}},
               {"DelyPerc", Numbers{50, 25}}});

    // Without the range: the scrip without NSE code is there; nothing traded gives 0 %.
    in.range(query::RangeMeasure::Price) = {};
    in.secondDate = DayStore::date(0);
    expectRun(store.run(in), {},
              {{"Stock", Texts{"Anchor Ltd", "Bse Ltd", "Client Ltd", "Gap Ltd", "NoTrade Ltd"}},
               {"DelyPerc", Numbers{50, 40, 50, 50, 0}}});
}

// Three days valued in crores and millions. The anchor has no close, so it
// adds quantities but no value.
TEST(TotalValues, TotalDeliveryValueAndHarnwellPerDay)
{
    DayStore store{3, {1000, 500, 0, 1000, 500, 0}};
    store.scrip(1, "Big Ltd", "BIG", "500001");
    store.day(1, 0, {2000000, 500000, 100, 1000000, 400000, 50});
    store.day(1, 1, {1000000, 250000, 100});
    store.link(QStringLiteral("SMALL"), DayStore::kAnchor);
    auto run = [&store](const char* label, int first, int second, const char* group) {
        auto in = DayStore::inputs(7, QString::fromLatin1(label));
        in.firstDate = DayStore::date(first);
        in.secondDate = DayStore::date(second);
        in.groupCode = QString::fromLatin1(group);
        return store.run(in);
    };
    // The dates may be chosen in either order; a day without turnover has no
    // delivery share.
    for (const auto& [first, second] : {std::pair{0, 2}, std::pair{2, 0}}) {
        const auto outcome = run("Total Delivery Value", first, second, "ALL");
        expectRun(outcome,
                  {"TradingDate", "NSE Total TurnOver In Crs", "NSE Total Dely Val In Crs", "BSE Total TurnOver In Crs",
                   "BSE Total Dely Val In Crs", "Total TurnOver In Crs", "Total Dely Val In Crs", "% Dely"},
                  {{"NSE Total TurnOver In Crs", Numbers{20, 10, 0}}, {"BSE Total Dely Val In Crs", Numbers{2, 0, 0}},
                   {"Total TurnOver In Crs", Numbers{25, 10, 0}}, {"Total Dely Val In Crs", Numbers{7, 2.5, 0}},
                   {"% Dely", Texts{"28", "25", ""}}});
        EXPECT_EQ(outcome.rows.value(0, "TradingDate").toDate(), DayStore::date(0));
    }
    expectRun(run("Total Delivery Value", 0, 2, "SMALL"), {}, {{"Total TurnOver In Crs", Numbers{0, 0, 0}}}, "group");
    // Harnwell: in millions, without filters.
    expectRun(run("Total Delivery Value - Harnwell", 0, 1, "SMALL"),
              {"TradingDate", "Total TurnOverVal In Mn", "Total DelyVal In Mn", "TotalVolumeQty", "TotalDelyQty", kNbsp1,
               QString(2, QChar(0x00A0)), QString(3, QChar(0x00A0))},
              {{"Total TurnOverVal In Mn", Numbers{250, 100}}, {"Total DelyVal In Mn", Numbers{70, 25}},
               {"TotalVolumeQty", Numbers{3, 1}}, {"TotalDelyQty", Numbers{0.9, 0.25}}},
              "Harnwell");

    // 6.67 of 12.35 crores would give 54.01 %; the sums themselves give 54 %.
    DayStore odd(1, {1000, 500, 0, 1000, 500, 0});
    odd.scrip(1, "Odd Ltd", "ODD", "500001");
    odd.day(1, 0, {123456789, 66666666, 1});
    auto in = DayStore::inputs(7, QStringLiteral("Total Delivery Value"));
    in.secondDate = DayStore::date(0);
    expectRun(odd.run(in), {},
              {{"Total TurnOver In Crs", Numbers{12.35}}, {"Total Dely Val In Crs", Numbers{6.67}},
               {"% Dely", Numbers{54}}},
              "unrounded share");
}

TEST(StockStatistics, DaysAndAveragesOfEachScrip)
{
    DayStore store(31);
    store.scrip(1, "Stat Ltd", "STAT", "500001");
    store.day(1, 0, {3000000, 1000000, 10, 1000000, 500000, 10});
    store.days(1, 1, 30, {1000000, 500000, 10});
    // A second scrip of the same company name keeps its own figures.
    store.scrip(2, "Stat Ltd", "STAT2", "500002");
    store.days(2, 0, 30, {2000000, 1000000, 10});

    const auto outcome = store.run(DayStore::inputs(7, QStringLiteral("Stock Statistics")));
    expectRun(outcome,
              {"company", "a.vol", "b.vol", "c.vol", "d.vol", "a.dely", "b.dely", "c.dely", "d.dely", "a.volvalue",
               "b.volvalue", "a.delyvalue", "b.delyvalue"},
              {{"company", Texts{"Anchor Ltd", "Stat Ltd", "Stat Ltd"}}, {"a.vol", Numbers{2000, 4000000, 2000000}},
               {"b.vol", Numbers{2000, 1000000, 2000000}}, {"c.vol", Numbers{2000, 1500000, 2000000}},
               {"d.vol", Numbers{2000, 1096774, 2000000}}, {"c.dely", Numbers{1000, 666667, 1000000}},
               {"d.dely", Numbers{1000, 532258, 1000000}}, {"a.volvalue", Numbers{0.2, 40, 20}},
               {"a.delyvalue", Numbers{0.1, 15, 10}}, {"b.delyvalue", Numbers{0.1, 5, 10}}});
    EXPECT_EQ(outcome.state.thirdDate, DayStore::date(30));
}

TEST(BelmoraCsv, OneLinePerRowInLakhs)
{
    TestStore store;
    store.db().exec(QStringLiteral("CREATE TABLE TBelmoraResult (company TEXT, groupcode TEXT, query TEXT, tvol REAL,"
                                   " pvol REAL, tdely REAL, pdely REAL, tdelyperc REAL, pdelyperc REAL, tprice REAL,"
                                   " pprice REAL, PriceChg REAL)"));
    store.db().exec(QStringLiteral("INSERT INTO TBelmoraResult VALUES ('Acme, Ltd','NSE','1',1234567,1000000,250000,0,"
                                   "20.25,10,101.456,99.5,1.96), ('Plain Ltd','BSE','2',100000,200000,50000,60000,50,30,"
                                   "10,12,-16.67)"));
    QTemporaryDir folder;
    const QDate first(2024, 1, 5), second(2024, 1, 4);
    EXPECT_EQ(query::belmoraCsvFileName(first), QStringLiteral("KWF05Jan2024.csv"));

    // An older file of the day is replaced.
    QFile old(folder.filePath(QStringLiteral("KWF05Jan2024.csv")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("stale line\nstale line\nstale line\nstale line\n");
    old.close();

    const QString path = query::writeBelmoraCsv(store.db(), folder.path(), first, second);
    EXPECT_EQ(path, folder.filePath(QStringLiteral("KWF05Jan2024.csv")));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')),
              (QStringList{"company,groupcode,query,tvol,pvol,tdely,pdely,tdelyperc,TPrice,PPrice,todays date,previous date",
                           "\"Acme, Ltd\",NSE,1,12.35,10,2.5,0,20.25,101.46,99.5,05/Jan/2024,04/Jan/2024",
                           "Plain Ltd,BSE,2,1,2,0.5,0.6,50,10,12,05/Jan/2024,04/Jan/2024", ""}));

    // A folder that cannot be written is an error.
    EXPECT_THROW(query::writeBelmoraCsv(store.db(), folder.path() + QStringLiteral("/missing"), first, second),
                 std::runtime_error);
}

}  // namespace
