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

class WindowQueries : public ::testing::Test {
protected:
    WindowQueries()
    {
        store::Database& db = market.db();
        db.exec(
            QStringLiteral("INSERT INTO ScripMaster (srno, company, nsescrip, bsescrip) VALUES "
                           "(7, 'Eta Ltd', 'ETA', '500007'), (8, 'Theta Ltd', 'THETA', '500008')"));
        // Day, scrip, codes, traded NSE/BSE, delivered NSE/BSE, % NSE/BSE, close NSE/BSE.
        db.exec(QStringLiteral("INSERT INTO mto VALUES (?,7,'ETA','500007',100,100,50,50,50,50,60,60),"
                               " (?,7,'ETA','500007',100,100,50,50,50,50,60,60), (?,7,'ETA','500007',50,50,20,20,40,40,50,50),"
                               " (?,8,'THETA','500008',0,0,0,0,0,0,0,0), (?,8,'THETA','500008',10,10,5,5,50,50,40,40),"
                               " (?,8,'THETA','500008',20,20,10,10,50,50,42,42)"),
                {F::D1, F::D2, F::D3, F::D1, F::D2, F::D3});
        db.exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('NONE', 'Nobody')"));
    }

    query::RunOutcome run(const QString& label, Exchange exchange, const QString& days, const QDate& day = F::D1)
    {
        return market.run(F::inputs(2, label, day, {}, exchange, days));
    }

    MarketFixture market;
};

QStringList resultHeadings(const QStringList& columns)
{
    QStringList names{QStringLiteral("nsescrip"), QStringLiteral("bsescrip"), QStringLiteral("company")};
    return names + columns + QStringList{QString(1, QChar(0x00A0))};
}

TEST_F(WindowQueries, EachFigureAgainstTheHighLowAndAverageOfItsWindow)
{
    auto in = [](const QString& label, Exchange exchange, const char* days) {
        return F::inputs(2, label, F::D1, {}, exchange, QString::fromLatin1(days));
    };
    expectRuns(market, {
        // Window of 2 days: 3 and 4 January. Only closes strictly outside the
        // window: Eta equals its high, Epsilon has no NSE code, Theta no close,
        // Zeta no window. Alpha: 1000 lots against 850 on average; 400
        // delivered against 340.
        {in(kRateHighLow, Exchange::Nse, "2"),
         resultHeadings({"TodaysRate", "HighPrice", "LowPrice", "Avg% Rate Chg", "Volume", "% Vol Chg", "Delivery",
                         "% Dely Chg"}),
         {{"Company", Texts{"Alpha Ltd", "Beta Ltd", "Delta Ltd", "Gamma Ltd"}},
          {"nsescrip", Texts{"ALPHA", "BETA", "DELTA", "GAMMA"}}, {"TodaysRate", Numbers{100, 50, 10, 20}},
          {"HighPrice", Numbers{95, 55, 12, 25}}, {"LowPrice", Numbers{90, 52, 11, 22}},
          {"Avg% Rate Chg", Numbers{8.11, -6.54, -13.04, -14.89}}, {"% Vol Chg", Numbers{17.65, 23.08, -100, 77.78}},
          {"% Dely Chg", Numbers{17.65, 2.27, -100, 242.86}}}},
        // Gamma has no BSE close on the day, Delta no BSE code.
        {in(kRateHighLow, Exchange::Bse, "2"),
         resultHeadings({"Rate", "HighPrice", "LowPrice", "% Rate Chg", "Volume", "% Vol Chg", "Delivery", "% Dely Chg"}),
         {{"Company", Texts{"Epsilon Ltd", "Alpha Ltd", "Beta Ltd"}}, {"% Rate Chg", Numbers{15.38, 8.02, -3.77}},
          {"HighPrice", Numbers{270, 96, 54}}}},
        // The NSE close, else the BSE close; Theta, with no close at all on
        // the day, is not "below its low". Alpha: 1500 lots on both exchanges
        // against 1200 on average.
        {in(kRateHighLow, Exchange::Combined, "2"), {},
         {{"Company", Texts{"Epsilon Ltd", "Alpha Ltd", "Beta Ltd", "Delta Ltd", "Gamma Ltd"}},
          {"Rate", Numbers{300, 100, 50, 10, 20}}, {"HighPrice", Numbers{270, 95, 55, 12, 25}},
          {"LowPrice", Numbers{250, 90, 52, 11, 22}}, {"% Rate Chg", Numbers{15.38, 8.11, -6.54, -13.04, -14.89}},
          {"Volume", Numbers{700000, 1500000, 1000000, 0, 800000}}, {"% Vol Chg", Numbers{27.27, 25, 29.03, -100, 33.33}}}},
        // Falls to nothing are listed; equal to the high is not.
        {in(kVolumeHighLow, Exchange::Nse, "2"),
         resultHeadings({"Volume", "% Vol Chg", "HighVolume", "LowVolume", "TodaysRate", "Avg% Rate Chg", "Delivery",
                         "% Dely Chg"}),
         {{"Company", Texts{"Gamma Ltd", "Beta Ltd", "Alpha Ltd", "Delta Ltd", "Theta Ltd"}},
          {"% Vol Chg", Numbers{77.78, 23.08, 17.65, -100, -100}},
          {"HighVolume", Numbers{500000, 700000, 900000, 300000, 20}},
          {"LowVolume", Numbers{400000, 600000, 800000, 200000, 10}}}},
        // BSE traded: Alpha 500 against 400/300, Beta 200 against 100/150,
        // Gamma 0 against 100/200, Epsilon 700 against 500/600, Theta 0 against 10/20.
        {in(kVolumeHighLow, Exchange::Bse, "2"), {},
         {{"Company", Texts{"Beta Ltd", "Alpha Ltd", "Epsilon Ltd", "Gamma Ltd", "Theta Ltd"}},
          {"% Vol Chg", Numbers{60, 42.86, 27.27, -100, -100}}}},
        // BSE delivered: Alpha 250 against 100/150, Beta 100 against 20/30,
        // Gamma 0 against 50/20, Epsilon 350 against 100/300, Theta 0 against 5/10.
        {in(kDeliveryHighLow, Exchange::Bse, "2"),
         resultHeadings({"Delivery", "% Dely Chg", "HighDely", "LowDely", "TodaysRate", "Avg% Rate Chg", "Volume",
                         "% Vol Chg"}),
         {{"Company", Texts{"Beta Ltd", "Alpha Ltd", "Epsilon Ltd", "Gamma Ltd", "Theta Ltd"}},
          {"% Dely Chg", Numbers{300, 100, 75, -100, -100}}}},
        // NSE delivered: Alpha 400 against 360/320, Beta 225 against 300/140
        // (inside), Gamma 600 against 100/250, Delta 0 against 30/100.
        {in(kDeliveryHighLow, Exchange::Nse, "2"), {},
         {{"Company", Texts{"Gamma Ltd", "Alpha Ltd", "Delta Ltd", "Theta Ltd"}},
          {"% Dely Chg", Numbers{242.86, 17.65, -100, -100}}}},
        {in(kDeliveryHighLow, Exchange::Combined, "2"),
         resultHeadings({"Delivery", "% Dely Chg", "HighDely", "LowDely", "Rate", "% Rate Chg", "Vol", "% Vol Chg"}),
         {{"Company", Texts{"Gamma Ltd", "Epsilon Ltd", "Alpha Ltd", "Beta Ltd", "Delta Ltd", "Theta Ltd"}},
          {"% Dely Chg", Numbers{185.71, 75, 39.78, 32.65, -100, -100}},
          {"HighDely", Numbers{270000, 300000, 470000, 320000, 100000, 20}},
          {"% Rate Chg", Numbers{-14.89, 15.38, 8.11, -6.54, -13.04, -100}}}},
        // The rate change averages the window that ends with the day: 3 trading
        // days are 3, 4 and 5 January.
        {in(kRateChange, Exchange::Nse, "3"),
         resultHeadings({"Rate", "% Rate Chg", "Volume", "% Vol Chg", "Delivery", "% Dely Chg"}),
         {{"Company", Texts{"Eta Ltd", "Alpha Ltd", "Zeta Ltd", "Beta Ltd", "Delta Ltd", "Gamma Ltd"}},
          {"% Rate Chg", Numbers{5.88, 5.26, 0, -4.46, -9.09, -10.45}}}},
        // A window of the day alone: every listed scrip is at its own average.
        {in(kRateChange, Exchange::Bse, "1"), {},
         {{"Company", Texts{"Alpha Ltd", "Beta Ltd", "Epsilon Ltd", "Eta Ltd", "Zeta Ltd"}},
          {"% Rate Chg", Numbers{0, 0, 0, 0, 0}}}}});
}

TEST_F(WindowQueries, RateChangeTakesTheScripGroupAndRangeFilters)
{
    const auto rateChange = F::inputs(2, kRateChange, F::D1, {}, Exchange::Nse, QStringLiteral("3"));
    // On both exchanges the delivery percentage bound applies to the summed
    // quantities of the day: Alpha 650/1500, Epsilon 350/700, Eta 100/200.
    auto combined = inRange(rateChange, query::RangeMeasure::DeliveryPercent, 40, 60);
    combined.exchange = Exchange::Combined;
    expectRuns(market, {{inGroup(rateChange, "BANK"), {}, {{"Company", Texts{"Alpha Ltd", "Gamma Ltd"}}}},
                        {onScrips(rateChange, {2, 3}), {}, {{"Company", Texts{"Beta Ltd", "Gamma Ltd"}}}},
                        {combined, {},
                         {{"Company", Texts{"Epsilon Ltd", "Eta Ltd", "Alpha Ltd"}}, {"% Rate Chg", Numbers{9.76, 5.88, 5.26}},
                          {"Rate", Numbers{300, 60, 100}}}}});
}

TEST_F(WindowQueries, WindowsThatTheStoreCannotHoldAreRefused)
{
    // Four trading days lie before 5 January.
    auto in = [](const QString& label, const char* days, const QDate& day = F::D1) {
        return F::inputs(2, label, day, {}, Exchange::Nse, QString::fromLatin1(days));
    };
    const QString tooFew = query::refusals::tooFewTradingDays(F::D1);
    expectRuns(market, {{in(kVolumeHighLow, "5"), {}, {}, tooFew},
                        {in(kVolumeHighLow, "4"), {}},
                        {in(kRateChange, "6"), {}, {}, tooFew},
                        {in(kRateChange, "5"), {}},
                        {in(kGroupwise, "5"), {}, {}, tooFew},
                        {in(kDeliveryHighLow, "2", {2024, 1, 6}), {}, {}, query::refusals::notATradingDay({2024, 1, 6})},
                        {inRange(in(kRateHighLow, "2"), query::RangeMeasure::Trades, 1, 10), {}, {},
                         query::refusals::noTradesData()}});

    // A query whose screen hides the second date counts N days back alone:
    // six days are refused, whatever day the hidden box holds (the newest,
    // as the screen proposes, or the oldest, left by another query).
    auto sixDays = [](int group, const char* label) {
        return F::inputs(group, QString::fromLatin1(label), F::D1, {}, Exchange::Nse, QStringLiteral("6"));
    };
    for (const query::RunInputs& inputs :
         {sixDays(2, "Delivery Qty moving above Average Delivery Qty"), sixDays(3, "Rising Price for N days"),
          sixDays(6, "Delivery Value - Summary"), sixDays(6, "Rising Traded Qty and Rising Delivery Qty"),
          sixDays(6, "Rising Traded Qty, Rising Delivery Qty, Rising Price"),
          withNumber2(in(QStringLiteral("Abnormal Change in Trading qty below Average Trading Qty"), "999999"), "6")}) {
        for (const QDate& hidden : {F::D1, F::D5}) {
            expectRun(market.run(withSecondDate(inputs, hidden)), {inputs, {}, {}, tooFew});
            EXPECT_FALSE(market.db().tableExists(QStringLiteral("QueryResult"))) << describe(inputs);
        }
    }
    // The summary of Misc. Queries shows its second date and keeps it.
    expectRuns(market, {{F::inputs(7, QStringLiteral("Delivery Value - Summary"), F::D1, F::D5), {},
                         {{"transdate", Texts{"2024-01-01", "2024-01-02", "2024-01-03", "2024-01-04", "2024-01-05"}}}}});
}

TEST_F(WindowQueries, GroupwiseStatisticsSetTheDayAgainstTheWindowAverage)
{
    const auto result = run(kGroupwise, Exchange::Bse, QStringLiteral("2"));
    // The group without members has no row. Banks (Alpha and Gamma) on 5
    // January, against 3 and 4 January: NSE turnover 10 + 1.6 crores against
    // 9.55 and 8.3.
    expectRun(result,
              {"GroupName", "NSE Total TurnOver In Crs", "NSETO Chg%", "NSE Total Dely Val In Crs", "NSEDely Chg%",
               "BSE Total TurnOver In Crs", "BSETO Chg%", "BSE Total Dely Val In Crs", "BSEDely Chg%",
               "Total TurnOver In Crs", "TotalTO Chg%", "Total Dely Val In Crs", "TotalDely Chg%",
               "AvgNSE Total TurnOver In Crs", "AvgNSE Total Dely Val In Crs", "AvgBSE Total TurnOver In Crs",
               "AvgBSE Total Dely Val In Crs", "AvgTotal TurnOver In Crs", "AvgTotal Dely Val In Crs"},
              {{"GroupName", Texts{" All Stocks", "Banks"}}});
    const struct {
        const char* column;
        double banks;
    } figures[] = {{"NSE Total TurnOver In Crs", 11.6},  {"AvgNSE Total TurnOver In Crs", 8.925},
                   {"NSETO Chg%", 29.97},                {"NSE Total Dely Val In Crs", 5.2},
                   {"AvgNSE Total Dely Val In Crs", 3.55}, {"NSEDely Chg%", 46.48},
                   {"BSE Total TurnOver In Crs", 5.05},  {"AvgBSE Total TurnOver In Crs", 3.625},
                   {"BSETO Chg%", 39.31},                {"Total TurnOver In Crs", 16.65},
                   {"AvgTotal TurnOver In Crs", 12.55},  {"TotalTO Chg%", 32.67}};
    for (const auto& f : figures)
        EXPECT_DOUBLE_EQ(numbers(result, QString::fromLatin1(f.column)).value(1), f.banks) << f.column;

    // The exchange, scrip and group choices do not change it.
    auto filtered = F::inputs(2, kGroupwise, F::D1, {}, Exchange::Nse, QStringLiteral("2"));
    filtered.groupCode = QStringLiteral("BANK");
    filtered.scripCodes = {2};
    EXPECT_EQ(market.run(filtered).rows.rows, result.rows.rows);
}

}  // namespace
