// The window queries (a day's figure against the high, low and average of
// earlier trading days) and the group statistics against their window
// average, on the small market of MarketFixture with two more scrips:
// Eta, whose figures of 5 January equal the highs of 3 and 4 January, and
// Theta, which has no trade and no close on 5 January.

#include <gtest/gtest.h>

#include "marketfixture.h"
#include "store/database.h"

namespace {

using query::Exchange;
using query::RunStatus;
using F = MarketFixture;

const QString kRateHighLow = QStringLiteral("Rate Above/Below High/Low");
const QString kVolumeHighLow = QStringLiteral("Volume Above/Below High/Low");
const QString kDeliveryHighLow = QStringLiteral("Delivery Above/Below High/Low");
const QString kRateChange = QStringLiteral("Rate Change in % Over n Days");
const QString kGroupwise = QStringLiteral("Groupwise Delivery Statistics Over n days");
const QString kFiller = QString(1, QChar(0x00A0));

class WindowQueries : public ::testing::Test {
protected:
    WindowQueries()
    {
        store::Database& db = market.db();
        db.exec(
            QStringLiteral("INSERT INTO ScripMaster (srno, company, nsescrip, bsescrip) VALUES "
                           "(7, 'Eta Ltd', 'ETA', '500007'), (8, 'Theta Ltd', 'THETA', '500008')"));
        store::Statement insert(db, QStringLiteral("INSERT INTO mto VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"));
        // Day, scrip, codes, traded NSE/BSE, delivered NSE/BSE, % NSE/BSE, close NSE/BSE.
        insert.run({F::D1, 7, "ETA", "500007", 100.0, 100.0, 50.0, 50.0, 50.0, 50.0, 60.0, 60.0});
        insert.run({F::D2, 7, "ETA", "500007", 100.0, 100.0, 50.0, 50.0, 50.0, 50.0, 60.0, 60.0});
        insert.run({F::D3, 7, "ETA", "500007", 50.0, 50.0, 20.0, 20.0, 40.0, 40.0, 50.0, 50.0});
        insert.run({F::D1, 8, "THETA", "500008", 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0});
        insert.run({F::D2, 8, "THETA", "500008", 10.0, 10.0, 5.0, 5.0, 50.0, 50.0, 40.0, 40.0});
        insert.run({F::D3, 8, "THETA", "500008", 20.0, 20.0, 10.0, 10.0, 50.0, 50.0, 42.0, 42.0});
        db.exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('NONE', 'Nobody')"));
    }

    query::RunOutcome run(const QString& label, Exchange exchange, const QString& days, const QDate& day = F::D1)
    {
        return market.run(F::inputs(2, label, day, {}, exchange, days));
    }

    query::RunOutcome run(const query::RunInputs& inputs) { return market.run(inputs); }

    MarketFixture market;
};

QStringList resultHeadings(const QStringList& columns)
{
    QStringList names{QStringLiteral("nsescrip"), QStringLiteral("bsescrip"), QStringLiteral("company")};
    return names + columns + QStringList{kFiller};
}

TEST_F(WindowQueries, RateHighLowListsOnlyClosesStrictlyOutsideTheWindowOnEachExchange)
{
    // Window of 2 days: 3 and 4 January.
    const auto nse = run(kRateHighLow, Exchange::Nse, QStringLiteral("2"));
    ASSERT_EQ(nse.status, RunStatus::Completed) << nse.message.toStdString();
    EXPECT_EQ(headings(nse), resultHeadings({"TodaysRate", "HighPrice", "LowPrice", "Avg% Rate Chg", "Volume",
                                             "% Vol Chg", "Delivery", "% Dely Chg"}));
    // Eta equals its high, Epsilon has no NSE code, Theta no close, Zeta no window.
    EXPECT_EQ(texts(nse, "Company"), (QStringList{"Alpha Ltd", "Beta Ltd", "Delta Ltd", "Gamma Ltd"}));
    EXPECT_EQ(numbers(nse, "TodaysRate"), (QList<double>{100, 50, 10, 20}));
    EXPECT_EQ(numbers(nse, "HighPrice"), (QList<double>{95, 55, 12, 25}));
    EXPECT_EQ(numbers(nse, "LowPrice"), (QList<double>{90, 52, 11, 22}));
    EXPECT_EQ(numbers(nse, "Avg% Rate Chg"), (QList<double>{8.11, -6.54, -13.04, -14.89}));
    // Alpha: 1000 lots against 850 on average; 400 delivered against 340.
    EXPECT_DOUBLE_EQ(numbers(nse, "% Vol Chg").at(0), 17.65);
    EXPECT_DOUBLE_EQ(numbers(nse, "% Dely Chg").at(0), 17.65);
    EXPECT_EQ(texts(nse, "nsescrip").at(0), QStringLiteral("ALPHA"));

    const auto bse = run(kRateHighLow, Exchange::Bse, QStringLiteral("2"));
    ASSERT_EQ(bse.status, RunStatus::Completed) << bse.message.toStdString();
    EXPECT_EQ(headings(bse), resultHeadings({"Rate", "HighPrice", "LowPrice", "% Rate Chg", "Volume", "% Vol Chg",
                                             "Delivery", "% Dely Chg"}));
    // Gamma has no BSE close on the day, Delta no BSE code.
    EXPECT_EQ(texts(bse, "Company"), (QStringList{"Epsilon Ltd", "Alpha Ltd", "Beta Ltd"}));
    EXPECT_EQ(numbers(bse, "% Rate Chg"), (QList<double>{15.38, 8.02, -3.77}));
    EXPECT_EQ(numbers(bse, "HighPrice"), (QList<double>{270, 96, 54}));
}

TEST_F(WindowQueries, CombinedRateUsesTheNseCloseElseTheBseCloseAndSkipsScripsWithoutAClose)
{
    const auto result = run(kRateHighLow, Exchange::Combined, QStringLiteral("2"));
    ASSERT_EQ(result.status, RunStatus::Completed) << result.message.toStdString();
    // Theta, with no close at all on the day, is not "below its low".
    EXPECT_EQ(texts(result, "Company"),
              (QStringList{"Epsilon Ltd", "Alpha Ltd", "Beta Ltd", "Delta Ltd", "Gamma Ltd"}));
    EXPECT_EQ(numbers(result, "Rate"), (QList<double>{300, 100, 50, 10, 20}));
    EXPECT_EQ(numbers(result, "HighPrice"), (QList<double>{270, 95, 55, 12, 25}));
    EXPECT_EQ(numbers(result, "LowPrice"), (QList<double>{250, 90, 52, 11, 22}));
    EXPECT_EQ(numbers(result, "% Rate Chg"), (QList<double>{15.38, 8.11, -6.54, -13.04, -14.89}));
    // Alpha: 1500 lots on both exchanges against 1200 on average.
    EXPECT_DOUBLE_EQ(numbers(result, "Volume").at(1), 1500 * F::kLot);
    EXPECT_DOUBLE_EQ(numbers(result, "% Vol Chg").at(1), 25);
}

TEST_F(WindowQueries, VolumeHighLowOnNseListsFallsToNothingAndEqualsNoHigh)
{
    const auto result = run(kVolumeHighLow, Exchange::Nse, QStringLiteral("2"));
    ASSERT_EQ(result.status, RunStatus::Completed) << result.message.toStdString();
    EXPECT_EQ(headings(result), resultHeadings({"Volume", "% Vol Chg", "HighVolume", "LowVolume", "TodaysRate",
                                                "Avg% Rate Chg", "Delivery", "% Dely Chg"}));
    EXPECT_EQ(texts(result, "Company"), (QStringList{"Gamma Ltd", "Beta Ltd", "Alpha Ltd", "Delta Ltd", "Theta Ltd"}));
    EXPECT_EQ(numbers(result, "% Vol Chg"), (QList<double>{77.78, 23.08, 17.65, -100, -100}));
    EXPECT_EQ(numbers(result, "HighVolume"),
              (QList<double>{500 * F::kLot, 700 * F::kLot, 900 * F::kLot, 300 * F::kLot, 20}));
    EXPECT_EQ(numbers(result, "LowVolume"),
              (QList<double>{400 * F::kLot, 600 * F::kLot, 800 * F::kLot, 200 * F::kLot, 10}));
}

TEST_F(WindowQueries, VolumeAndDeliveryHighLowOnBse)
{
    const auto volume = run(kVolumeHighLow, Exchange::Bse, QStringLiteral("2"));
    ASSERT_EQ(volume.status, RunStatus::Completed) << volume.message.toStdString();
    // BSE traded: Alpha 500 against 400/300, Beta 200 against 100/150,
    // Gamma 0 against 100/200, Epsilon 700 against 500/600, Theta 0 against 10/20.
    EXPECT_EQ(texts(volume, "Company"),
              (QStringList{"Beta Ltd", "Alpha Ltd", "Epsilon Ltd", "Gamma Ltd", "Theta Ltd"}));
    EXPECT_EQ(numbers(volume, "% Vol Chg"), (QList<double>{60, 42.86, 27.27, -100, -100}));

    const auto delivery = run(kDeliveryHighLow, Exchange::Bse, QStringLiteral("2"));
    ASSERT_EQ(delivery.status, RunStatus::Completed) << delivery.message.toStdString();
    EXPECT_EQ(headings(delivery), resultHeadings({"Delivery", "% Dely Chg", "HighDely", "LowDely", "TodaysRate",
                                                  "Avg% Rate Chg", "Volume", "% Vol Chg"}));
    // BSE delivered: Alpha 250 against 100/150, Beta 100 against 20/30,
    // Gamma 0 against 50/20, Epsilon 350 against 100/300, Theta 0 against 5/10.
    EXPECT_EQ(texts(delivery, "Company"),
              (QStringList{"Beta Ltd", "Alpha Ltd", "Epsilon Ltd", "Gamma Ltd", "Theta Ltd"}));
    EXPECT_EQ(numbers(delivery, "% Dely Chg"), (QList<double>{300, 100, 75, -100, -100}));
}

TEST_F(WindowQueries, DeliveryHighLowOnNseAndCombined)
{
    const auto nse = run(kDeliveryHighLow, Exchange::Nse, QStringLiteral("2"));
    ASSERT_EQ(nse.status, RunStatus::Completed) << nse.message.toStdString();
    // NSE delivered: Alpha 400 against 360/320, Beta 225 against 300/140
    // (inside), Gamma 600 against 100/250, Delta 0 against 30/100.
    EXPECT_EQ(texts(nse, "Company"), (QStringList{"Gamma Ltd", "Alpha Ltd", "Delta Ltd", "Theta Ltd"}));
    EXPECT_EQ(numbers(nse, "% Dely Chg"), (QList<double>{242.86, 17.65, -100, -100}));

    const auto combined = run(kDeliveryHighLow, Exchange::Combined, QStringLiteral("2"));
    ASSERT_EQ(combined.status, RunStatus::Completed) << combined.message.toStdString();
    EXPECT_EQ(headings(combined), resultHeadings({"Delivery", "% Dely Chg", "HighDely", "LowDely", "Rate", "% Rate Chg",
                                                  "Vol", "% Vol Chg"}));
    EXPECT_EQ(texts(combined, "Company"),
              (QStringList{"Gamma Ltd", "Epsilon Ltd", "Alpha Ltd", "Beta Ltd", "Delta Ltd", "Theta Ltd"}));
    EXPECT_EQ(numbers(combined, "% Dely Chg"), (QList<double>{185.71, 75, 39.78, 32.65, -100, -100}));
    EXPECT_EQ(numbers(combined, "HighDely").at(0), 270 * F::kLot);
    EXPECT_EQ(numbers(combined, "% Rate Chg").at(0), -14.89);
}

TEST_F(WindowQueries, RateChangeAveragesTheWindowThatEndsWithTheDay)
{
    // 3 trading days: 3, 4 and 5 January.
    const auto nse = run(kRateChange, Exchange::Nse, QStringLiteral("3"));
    ASSERT_EQ(nse.status, RunStatus::Completed) << nse.message.toStdString();
    EXPECT_EQ(headings(nse), resultHeadings({"Rate", "% Rate Chg", "Volume", "% Vol Chg", "Delivery", "% Dely Chg"}));
    EXPECT_EQ(texts(nse, "Company"),
              (QStringList{"Eta Ltd", "Alpha Ltd", "Zeta Ltd", "Beta Ltd", "Delta Ltd", "Gamma Ltd"}));
    EXPECT_EQ(numbers(nse, "% Rate Chg"), (QList<double>{5.88, 5.26, 0, -4.46, -9.09, -10.45}));

    const auto bse = run(kRateChange, Exchange::Bse, QStringLiteral("1"));
    ASSERT_EQ(bse.status, RunStatus::Completed) << bse.message.toStdString();
    // A window of the day alone: every listed scrip is at its own average.
    EXPECT_EQ(texts(bse, "Company"), (QStringList{"Alpha Ltd", "Beta Ltd", "Epsilon Ltd", "Eta Ltd", "Zeta Ltd"}));
    EXPECT_EQ(numbers(bse, "% Rate Chg"), (QList<double>{0, 0, 0, 0, 0}));
}

TEST_F(WindowQueries, RateChangeTakesTheScripGroupAndRangeFilters)
{
    auto inGroup = F::inputs(2, kRateChange, F::D1, {}, Exchange::Nse, QStringLiteral("3"));
    inGroup.groupCode = QStringLiteral("BANK");
    inGroup.groupName = QStringLiteral("Banks");
    EXPECT_EQ(texts(run(inGroup), "Company"), (QStringList{"Alpha Ltd", "Gamma Ltd"}));

    auto chosen = F::inputs(2, kRateChange, F::D1, {}, Exchange::Nse, QStringLiteral("3"));
    chosen.scripCodes = {2, 3};
    EXPECT_EQ(texts(run(chosen), "Company"), (QStringList{"Beta Ltd", "Gamma Ltd"}));

    // On both exchanges the delivery percentage bound applies to the summed
    // quantities of the day: Alpha 650/1500, Epsilon 350/700, Eta 100/200.
    auto ranged = F::inputs(2, kRateChange, F::D1, {}, Exchange::Combined, QStringLiteral("3"));
    ranged.range(query::RangeMeasure::DeliveryPercent) = {true, 40, 60};
    const auto result = run(ranged);
    ASSERT_EQ(result.status, RunStatus::Completed) << result.message.toStdString();
    EXPECT_EQ(texts(result, "Company"), (QStringList{"Epsilon Ltd", "Eta Ltd", "Alpha Ltd"}));
    EXPECT_EQ(numbers(result, "% Rate Chg"), (QList<double>{9.76, 5.88, 5.26}));
    EXPECT_EQ(numbers(result, "Rate"), (QList<double>{300, 60, 100}));
}

TEST_F(WindowQueries, WindowsThatTheStoreCannotHoldAreRefused)
{
    // Four trading days lie before 5 January.
    const auto tooLong = run(kVolumeHighLow, Exchange::Nse, QStringLiteral("5"));
    EXPECT_EQ(tooLong.status, RunStatus::Refused);
    EXPECT_EQ(tooLong.message, query::refusals::tooFewTradingDays(F::D1));
    EXPECT_EQ(run(kVolumeHighLow, Exchange::Nse, QStringLiteral("4")).status, RunStatus::Completed);
    EXPECT_EQ(run(kRateChange, Exchange::Nse, QStringLiteral("6")).status, RunStatus::Refused);
    EXPECT_EQ(run(kRateChange, Exchange::Nse, QStringLiteral("5")).status, RunStatus::Completed);

    const auto holiday = run(kDeliveryHighLow, Exchange::Nse, QStringLiteral("2"), QDate(2024, 1, 6));
    EXPECT_EQ(holiday.status, RunStatus::Refused);
    EXPECT_EQ(holiday.message, query::refusals::notATradingDay(QDate(2024, 1, 6)));

    auto trades = F::inputs(2, kRateHighLow, F::D1, {}, Exchange::Combined, QStringLiteral("2"));
    trades.range(query::RangeMeasure::Trades) = {true, 1, 10};
    const auto noTrades = run(trades);
    EXPECT_EQ(noTrades.status, RunStatus::Refused);
    EXPECT_EQ(noTrades.message, query::refusals::noTradesData());
}

TEST_F(WindowQueries, GroupwiseStatisticsSetTheDayAgainstTheWindowAverage)
{
    const auto result = run(kGroupwise, Exchange::Bse, QStringLiteral("2"));
    ASSERT_EQ(result.status, RunStatus::Completed) << result.message.toStdString();
    EXPECT_EQ(
        headings(result),
        (QStringList{"GroupName", "NSE Total TurnOver In Crs", "NSETO Chg%", "NSE Total Dely Val In Crs",
                     "NSEDely Chg%", "BSE Total TurnOver In Crs", "BSETO Chg%", "BSE Total Dely Val In Crs",
                     "BSEDely Chg%", "Total TurnOver In Crs", "TotalTO Chg%", "Total Dely Val In Crs", "TotalDely Chg%",
                     "AvgNSE Total TurnOver In Crs", "AvgNSE Total Dely Val In Crs", "AvgBSE Total TurnOver In Crs",
                     "AvgBSE Total Dely Val In Crs", "AvgTotal TurnOver In Crs", "AvgTotal Dely Val In Crs"}));
    // The group without members has no row.
    ASSERT_EQ(texts(result, "GroupName"), (QStringList{" All Stocks", "Banks"}));

    // Banks (Alpha and Gamma) on 5 January, against 3 and 4 January:
    // NSE turnover 10 + 1.6 crores against 9.55 and 8.3.
    auto banks = [&result](const char* column) { return numbers(result, QString::fromLatin1(column)).at(1); };
    EXPECT_DOUBLE_EQ(banks("NSE Total TurnOver In Crs"), 11.6);
    EXPECT_DOUBLE_EQ(banks("AvgNSE Total TurnOver In Crs"), 8.925);
    EXPECT_DOUBLE_EQ(banks("NSETO Chg%"), 29.97);
    EXPECT_DOUBLE_EQ(banks("NSE Total Dely Val In Crs"), 5.2);
    EXPECT_DOUBLE_EQ(banks("AvgNSE Total Dely Val In Crs"), 3.55);
    EXPECT_DOUBLE_EQ(banks("NSEDely Chg%"), 46.48);
    EXPECT_DOUBLE_EQ(banks("BSE Total TurnOver In Crs"), 5.05);
    EXPECT_DOUBLE_EQ(banks("AvgBSE Total TurnOver In Crs"), 3.625);
    EXPECT_DOUBLE_EQ(banks("BSETO Chg%"), 39.31);
    EXPECT_DOUBLE_EQ(banks("Total TurnOver In Crs"), 16.65);
    EXPECT_DOUBLE_EQ(banks("AvgTotal TurnOver In Crs"), 12.55);
    EXPECT_DOUBLE_EQ(banks("TotalTO Chg%"), 32.67);

    // The exchange, scrip and group choices do not change it.
    auto filtered = F::inputs(2, kGroupwise, F::D1, {}, Exchange::Nse, QStringLiteral("2"));
    filtered.groupCode = QStringLiteral("BANK");
    filtered.scripCodes = {2};
    EXPECT_EQ(run(filtered).rows.rows, result.rows.rows);

    EXPECT_EQ(run(kGroupwise, Exchange::Nse, QStringLiteral("5")).status, RunStatus::Refused);
}

}  // namespace
