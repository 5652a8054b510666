#include "daystore.h"
#include "marketfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RunStatus;
using Fig = DayStore::Figures;

namespace {

const QString kNbsp1 = QString(1, QChar(0x00A0));
const QString kUpAvg = QStringLiteral("Delivery breakout with upward price (Avg)");
const QString kDownAvg = QStringLiteral("Delivery breakout with downward price (Avg)");

// Twelve days: the window of the breakouts is days 1 to 10; day 11 lies
// outside it with figures that would spoil any average that took it in.
TEST(Breakouts, TheDayAgainstTheTenDaysBeforeAboveTheThreshold)
{
    DayStore store{12};
    store.scrip(1, "Up Ltd", "UP", "500001");
    store.days(1, 1, 10, {200, 100, 50});
    store.day(1, 11, {200, 99999, 50});
    store.day(1, 0, {300, 150, 55});  // delivery +50 %, volume +50 %, price +10 %
    store.scrip(2, "Edge Ltd", "EDGE", "500002");
    store.days(2, 1, 10, {200, 100, 50});
    store.day(2, 0, {200, 140, 60});  // delivery exactly +40 %
    store.scrip(3, "Down Ltd", "DOWN", "500003");
    store.days(3, 1, 10, {200, 100, 50});
    store.day(3, 0, {400, 200, 45});  // delivery +100 %, volume +100 %, price -10 %
    store.scrip(4, "Bse Ltd", "", "500004");
    store.days(4, 1, 10, {0, 0, 0, 200, 100, 20});
    store.day(4, 0, {0, 0, 0, 400, 200, 18});  // BSE only: delivery +100 %, price -10 %

    auto in = [](const QString& label, Exchange exchange = Exchange::Nse) {
        return DayStore::inputs(8, label, exchange, QStringLiteral("10"), QStringLiteral("40"));
    };
    const QStringList volumeHeadings{"Stock", "Todays Vol", "10 Days Avg Vol", "%ChgInVol", "Todays Price",
                                     "YDay Price", "%ChgInPrice", kNbsp1};
    // The research group takes the range filters.
    auto research = inRange(in(kDownAvg, Exchange::Combined), query::RangeMeasure::Price, 40, 50);
    research.group = 9;
    const QList<RunCase> cases{
        // Edge Ltd is exactly 40 % above: not listed. Down Ltd's price fell.
        {in(kUpAvg),
         {"Stock", "Todays Dely", "10 Days Avg Dely", "%ChgInDely", "Todays Vol", "Todays Price", "YDay Price",
          "%ChgInPrice"},
         {{"Stock", Texts{"Up Ltd"}}, {"10 Days Avg Dely", Numbers{100}}, {"%ChgInDely", Numbers{50}},
          {"%ChgInPrice", Numbers{10}}}},
        {in(kDownAvg),
         {"Stock", "Todays Dely", "10 Days Avg Dely", "%ChgInDely", "Todays Vol", "Todays Price", "Yday Price"},
         {{"Stock", Texts{"Down Ltd"}}, {"%ChgInPrice", Numbers{-10}}}},
        {in(kDownAvg, Exchange::Bse), {}, {{"Stock", Texts{"Bse Ltd"}}}},
        // Both exchanges: a scrip traded on BSE alone is listed with its BSE
        // closes, but never in the upward list, which needs NSE closes on both days.
        {in(kDownAvg, Exchange::Combined), {},
         {{"Stock", Texts{"Bse Ltd", "Down Ltd"}}, {"Todays Price", Numbers{18, 45}}, {"Yday Price", Numbers{20, 50}}}},
        {in(kUpAvg, Exchange::Combined), {}, {{"Stock", Texts{"Up Ltd"}}}},
        // The chosen scrips and the range of the day filter the list.
        {onScrips(in(kDownAvg), {1, 3}), {}, {{"Stock", Texts{"Down Ltd"}}}},
        {onScrips(in(kUpAvg), {3}), {}, {{"Stock", Texts{}}}},
        {research, {}, {{"Stock", Texts{"Down Ltd"}}}},
        {in("Volume breakout with upward price"), volumeHeadings,
         {{"Stock", Texts{"Up Ltd"}}, {"10 Days Avg Vol", Numbers{200}}, {"%ChgInVol", Numbers{50}}}},
        // The downward list heads its filler with a plain blank.
        {in("Volume breakout with downward price", Exchange::Bse), volumeHeadings.mid(0, 7) + QStringList{" "},
         {{"Stock", Texts{"Bse Ltd"}}, {"%ChgInVol", Numbers{100}}}},
        {in("Volume breakout with downward price", Exchange::Combined), {}, {{"Stock", Texts{"Bse Ltd", "Down Ltd"}}}},
    };
    for (const RunCase& c : cases) {
        const auto outcome = store.run(c.inputs);
        expectRun(outcome, c);
        EXPECT_EQ(outcome.state.secondDate, DayStore::date(1));
        EXPECT_EQ(outcome.state.thirdDate, DayStore::date(10));
    }
    expectRuns(store, {{DayStore::inputs(8, "Volume breakout with upward price", Exchange::Nse, "12", "40"), {}, {},
                        query::refusals::tooFewTradingDays(DayStore::date(0))}});
}

TEST(AbnormalDelivery, RiseAndFallAgainstThePreviousDay)
{
    DayStore store{2};
    auto scrip = [&store](int code, const char* company, const char* nse, Fig yesterday, Fig today) {
        store.scrip(code, company, nse, QStringLiteral("5000%1").arg(code));
        store.day(code, 1, yesterday);
        store.day(code, 0, today);
    };
    scrip(1, "Up Ltd", "UP", {200, 60, 50, 200, 40, 50}, {300, 90, 55, 300, 60, 50});  // +50 %, price +10 %
    scrip(2, "Edge Ltd", "EDGE", {200, 100, 50}, {200, 140, 50});                     // +40 %
    scrip(3, "Bse Ltd", "", {0, 0, 0, 200, 100, 20}, {0, 0, 0, 400, 200, 22});        // +100 %, no NSE close
    scrip(4, "Fresh Ltd", "FRESH", {100, 0, 10}, {100, 50, 10});                      // nothing delivered before
    scrip(5, "Fall Ltd", "FALL", {200, 100, 50}, {200, 60, 40});                      // -40 %
    store.link(QStringLiteral("BANK"), 1);
    store.link(QStringLiteral("BANK"), 5);

    // The "Rise by %" or "Fall by %" box.
    auto in = [](const char* label, Exchange exchange, const char* percent) {
        return DayStore::inputs(8, QString::fromLatin1(label), exchange, QString::fromLatin1(percent));
    };
    const char* const rise = "Abnormal Rise in Delivery Qty";
    const char* const fall = "Abnormal Fall in Delivery Qty";
    const QStringList headings{"Symbol", "DeliveryQty", "% chg In Delivery", "Price", "% Ratechg"};
    const QDate previous = DayStore::date(1);
    expectRuns(store,
               {// Fresh Ltd is tested against 1 (4900 %) but shows 0.
                {in(rise, Exchange::Bse, "40"), headings,
                 {{"Symbol", Texts{"FRESH", "", "UP", "EDGE"}}, {"% chg In Delivery", Numbers{0, 100, 50, 40}},
                  {"DeliveryQty", Numbers{50, 200, 150, 140}}, {"% Ratechg", Numbers{0, 0, 10, 0}}},
                 {},
                 previous},
                {inGroup(in(rise, Exchange::Nse, "40"), "BANK"), headings, {{"Symbol", Texts{"UP"}}}, {}, previous},
                // Fall Ltd fell by 40 %.
                {in(fall, Exchange::Nse, "0"), headings,
                 {{"Symbol", Texts{"FALL"}}, {"% chg In Delivery", Numbers{-40}}, {"% Ratechg", Numbers{-20}}},
                 {},
                 previous},
                {in(fall, Exchange::Nse, "40"), headings, {{"Symbol", Texts{"FALL"}}}, {}, previous},
                {in(fall, Exchange::Nse, "40.5"), headings, {{"Symbol", Texts{}}}, {}, previous},
                {in(fall, Exchange::Nse, "90"), headings, {{"Symbol", Texts{}}}, {}, previous}});
}

TEST(ThreeDays, RiseAndFallOnEachDayOfTheGroupsScrips)
{
    DayStore store{5};
    auto scrip = [&store](int code, const char* company, const char* nse, QList<double> delivery, QList<double> close) {
        store.scrip(code, company, nse, QString());
        for (int k = 0; k < 4; ++k)  // oldest first: day 3 .. day 0
            store.day(code, 3 - k, {1000, delivery[k] / 2, close[k], 1000, delivery[k] / 2, 0});
        store.link(QStringLiteral("RUN"), code);
    };
    scrip(1, "Climb Ltd", "CLIMB", {100, 200, 300, 600}, {10, 11, 12, 15});
    scrip(2, "Stall Ltd", "STALL", {100, 200, 200, 300}, {10, 10, 10, 10});
    scrip(3, "Slide Ltd", "SLIDE", {600, 300, 200, 100}, {20, 16, 12, 9});
    scrip(4, "Rise Ltd", "RISE", {100, 150, 200, 250}, {10, 10, 10, 10});
    store.scrip(5, "Outside Ltd", "OUT", QString());
    for (int k = 0; k < 4; ++k)
        store.day(5, 3 - k, {1000, 100.0 * (k + 1), 10});

    auto run = [&store](const char* label, const char* group) {
        auto in = DayStore::inputs(8, QString::fromLatin1(label));
        in.groupCode = QString::fromLatin1(group);
        return store.run(in);
    };
    // A strict rise on each day.
    auto outcome = run("Rise in Delivery Qty over 3 days", "RUN");
    expectRun(outcome,
              {"Symbol", "TodaysDelivery", "1 Day % Chg in Del Qty", "2 Day % Chg in Del Qty", "3 Day % Chg in Del Qty",
               "1 Day % Chg in Price", "2 Day % Chg in Price", "3 Day % Chg in Price"},
              {{"Symbol", Texts{"CLIMB", "RISE"}}, {"TodaysDelivery", Numbers{600, 250}},
               {"1 Day % Chg in Del Qty", Numbers{100, 25}}, {"2 Day % Chg in Del Qty", Numbers{50, 33.33}},
               {"3 Day % Chg in Del Qty", Numbers{100, 50}}, {"1 Day % Chg in Price", Numbers{25, 0}},
               {"2 Day % Chg in Price", Numbers{9.09, 0}}});
    EXPECT_EQ(outcome.state.sixthDate, DayStore::date(2));
    EXPECT_EQ(outcome.state.seventhDate, DayStore::date(3));
    expectRun(run("Rise in Delivery Qty over 3 days", "ALL"), {}, {{"Symbol", Texts{"CLIMB", "OUT", "RISE"}}}, "ALL");
    // The steepest fall first.
    expectRun(run("Fall in Delivery Qty over 3 days", "RUN"),
              {"Symbol", "TodaysDelivery", "1 Day % Chg in Del Qty", "2 Day % Chg in Del Qty", "3 Day % Chg in Del Qty",
               "1 Day % Chg in closeprice"},
              {{"Symbol", Texts{"SLIDE"}}, {"1 Day % Chg in Del Qty", Numbers{-50}},
               {"3 Day % Chg in closeprice", Numbers{-20}}},
              "fall");
}

TEST(ThreeMonths, HighAndLowAgainstTheWindowBeforeTheDay)
{
    DayStore store{70};
    store.scrip(1, "Peak Ltd", "PEAK", "500001");
    store.days(1, 1, 29, {1000, 100, 10});
    store.day(1, 30, {1000, 500, 10});
    store.days(1, 31, 69, {1000, 100, 10});
    store.day(1, 0, {1000, 600, 12});  // above the window's highest 500 by 20 %, price +20 %
    store.scrip(2, "Tie Ltd", "TIE", "500002");
    store.days(2, 0, 66, {1000, 100, 10});  // the day equals its highest: not listed
    store.scrip(3, "Old Ltd", "OLD", "500003");
    store.days(3, 1, 66, {1000, 100, 10});
    store.day(3, 67, {1000, 9999, 10});  // outside the window
    store.day(3, 0, {1000, 200, 10});
    store.scrip(4, "Dip Ltd", "DIP", "500004");
    store.days(4, 1, 19, {1000, 100, 10});
    store.day(4, 20, {1000, 50, 10});
    store.days(4, 21, 66, {1000, 100, 10});
    store.day(4, 0, {1000, 40, 8});

    auto in = [](const char* label) { return withSecondDate(DayStore::inputs(8, label), DayStore::date(66)); };
    expectRuns(store, {{in("3 Months High Delivery"),
                        {"nsescrip", "TodayDely", "maxdely", "DelyChg%", "TodaysPrice", "AvgPrice", "RateChg%",
                         QString(3, QChar(0x00A0))},
                        {{"nsescrip", Texts{"OLD", "PEAK"}}, {"DelyChg%", Numbers{100, 20}}, {"RateChg%", Numbers{0, 20}}}},
                       {in("3 Months Low Delivery"), {"nsescrip", "TodayDely", "LowDely"},
                        {{"nsescrip", Texts{"DIP"}}, {"DelyChg%", Numbers{-20}}, {"RateChg%", Numbers{-20}}}},
                       {DayStore::inputs(8, "3 Months High Delivery"), {}, {}, query::refusals::selectValidDate()}});
}

}  // namespace
