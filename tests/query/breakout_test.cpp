#include "daystore.h"
#include "marketfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RunStatus;
using Fig = DayStore::Figures;

namespace {

const QString kNbsp1 = QString(1, QChar(0x00A0));

// Twelve days: the window of the breakouts is days 1 to 10; day 11 lies
// outside it with figures that would spoil any average that took it in.
class Breakouts : public ::testing::Test {
protected:
    DayStore store{12};

    void SetUp() override
    {
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
    }

    query::RunOutcome run(const QString& label, Exchange exchange, QList<qint64> scrips = {})
    {
        auto in = DayStore::inputs(8, label, exchange, QStringLiteral("10"), QStringLiteral("40"));
        in.scripCodes = scrips;
        return store.run(in);
    }
};

TEST_F(Breakouts, UpwardDeliveryBreakoutAveragesTheTenDaysBefore)
{
    const auto outcome = run(QStringLiteral("Delivery breakout with upward price (Avg)"), Exchange::Nse);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome), (QStringList{"Stock", "Todays Dely", "10 Days Avg Dely", "%ChgInDely", "Todays Vol",
                                              "Todays Price", "YDay Price", "%ChgInPrice"}));
    // Edge Ltd is exactly 40 % above: not listed. Down Ltd's price fell.
    EXPECT_EQ(texts(outcome, "Stock"), QStringList{"Up Ltd"});
    EXPECT_EQ(numbers(outcome, "10 Days Avg Dely"), QList<double>{100});
    EXPECT_EQ(numbers(outcome, "%ChgInDely"), QList<double>{50});
    EXPECT_EQ(numbers(outcome, "%ChgInPrice"), QList<double>{10});
    EXPECT_EQ(outcome.state.secondDate, DayStore::date(1));
    EXPECT_EQ(outcome.state.thirdDate, DayStore::date(10));
}

TEST_F(Breakouts, DownwardDeliveryBreakoutOnEachExchange)
{
    auto outcome = run(QStringLiteral("Delivery breakout with downward price (Avg)"), Exchange::Nse);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome).at(6), QStringLiteral("Yday Price"));
    EXPECT_EQ(texts(outcome, "Stock"), QStringList{"Down Ltd"});
    EXPECT_EQ(numbers(outcome, "%ChgInPrice"), QList<double>{-10});

    outcome = run(QStringLiteral("Delivery breakout with downward price (Avg)"), Exchange::Bse);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), QStringList{"Bse Ltd"});

    // Both exchanges: a scrip traded on BSE alone is listed with its BSE closes.
    outcome = run(QStringLiteral("Delivery breakout with downward price (Avg)"), Exchange::Combined);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Bse Ltd", "Down Ltd"}));
    EXPECT_EQ(numbers(outcome, "Todays Price"), (QList<double>{18, 45}));
    EXPECT_EQ(numbers(outcome, "Yday Price"), (QList<double>{20, 50}));

    // ... but never in the upward list, which needs NSE closes on both days.
    outcome = run(QStringLiteral("Delivery breakout with upward price (Avg)"), Exchange::Combined);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), QStringList{"Up Ltd"});
}

TEST_F(Breakouts, ChosenScripsFilterTheDeliveryBreakout)
{
    auto outcome = run(QStringLiteral("Delivery breakout with downward price (Avg)"), Exchange::Nse, {1, 3});
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Stock"), QStringList{"Down Ltd"});
    outcome = run(QStringLiteral("Delivery breakout with upward price (Avg)"), Exchange::Nse, {3});
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_TRUE(outcome.rows.isEmpty());
}

TEST_F(Breakouts, RangeOfTheDayFiltersTheDeliveryBreakout)
{
    auto in = DayStore::inputs(9, QStringLiteral("Delivery breakout with downward price (Avg)"), Exchange::Combined,
                               QStringLiteral("10"), QStringLiteral("40"));
    in.range(query::RangeMeasure::Price) = {true, 40, 50};
    const auto outcome = store.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Stock"), QStringList{"Down Ltd"});
}

TEST_F(Breakouts, VolumeBreakouts)
{
    auto outcome = run(QStringLiteral("Volume breakout with upward price"), Exchange::Nse);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome), (QStringList{"Stock", "Todays Vol", "10 Days Avg Vol", "%ChgInVol", "Todays Price",
                                              "YDay Price", "%ChgInPrice", kNbsp1}));
    EXPECT_EQ(texts(outcome, "Stock"), QStringList{"Up Ltd"});
    EXPECT_EQ(numbers(outcome, "10 Days Avg Vol"), QList<double>{200});
    EXPECT_EQ(numbers(outcome, "%ChgInVol"), QList<double>{50});

    outcome = run(QStringLiteral("Volume breakout with downward price"), Exchange::Bse);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), QStringList{"Bse Ltd"});
    EXPECT_EQ(numbers(outcome, "%ChgInVol"), QList<double>{100});
    EXPECT_EQ(headings(outcome).last(), kNbsp1);

    outcome = run(QStringLiteral("Volume breakout with downward price"), Exchange::Combined);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Stock"), (QStringList{"Bse Ltd", "Down Ltd"}));
}

TEST_F(Breakouts, RefusesAWindowTheStoreCannotHold)
{
    auto in = DayStore::inputs(8, QStringLiteral("Volume breakout with upward price"), Exchange::Nse, QStringLiteral("12"),
                               QStringLiteral("40"));
    const auto outcome = store.run(in);
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, query::refusals::tooFewTradingDays(DayStore::date(0)));
}

class AbnormalDelivery : public ::testing::Test {
protected:
    DayStore store{2};

    void SetUp() override
    {
        auto scrip = [this](int code, const char* company, const char* nse, Fig yesterday, Fig today) {
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
    }
};

TEST_F(AbnormalDelivery, RiseKeepsChangesFromTheThresholdUp)
{
    auto outcome = store.run(DayStore::inputs(8, QStringLiteral("Abnormal Rise in Delivery Qty"), Exchange::Bse,
                                              QStringLiteral("40")));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome), (QStringList{"Symbol", "DeliveryQty", "% chg In Delivery", "Price", "% Ratechg"}));
    // Fresh Ltd is tested against 1 (4900 %) but shows 0.
    EXPECT_EQ(texts(outcome, "Symbol"), (QStringList{"FRESH", "", "UP", "EDGE"}));
    EXPECT_EQ(numbers(outcome, "% chg In Delivery"), (QList<double>{0, 100, 50, 40}));
    EXPECT_EQ(numbers(outcome, "DeliveryQty"), (QList<double>{50, 200, 150, 140}));
    EXPECT_EQ(numbers(outcome, "% Ratechg"), (QList<double>{0, 0, 10, 0}));

    auto in = DayStore::inputs(8, QStringLiteral("Abnormal Rise in Delivery Qty"), Exchange::Nse, QStringLiteral("40"));
    in.groupCode = QStringLiteral("BANK");
    outcome = store.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Symbol"), QStringList{"UP"});
}

TEST_F(AbnormalDelivery, FallKeepsTheFallsOfAtLeastTheTypedPercentage)
{
    // The "Fall by %" box and the scrips listed: Fall Ltd fell by 40 %.
    const struct {
        const char* fallBy;
        QStringList listed;
    } cases[] = {{"0", {"FALL"}}, {"40", {"FALL"}}, {"40.5", {}}, {"90", {}}};
    for (const auto& c : cases) {
        const auto outcome = store.run(DayStore::inputs(8, QStringLiteral("Abnormal Fall in Delivery Qty"), Exchange::Nse,
                                                        QString::fromLatin1(c.fallBy)));
        ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
        EXPECT_EQ(texts(outcome, "Symbol"), c.listed) << c.fallBy;
        if (!c.listed.isEmpty()) {
            EXPECT_EQ(numbers(outcome, "% chg In Delivery"), QList<double>{-40});
            EXPECT_EQ(numbers(outcome, "% Ratechg"), QList<double>{-20});
        }
        EXPECT_EQ(outcome.state.secondDate, DayStore::date(1));
    }
}

class ThreeDays : public ::testing::Test {
protected:
    DayStore store{5};

    void SetUp() override
    {
        auto scrip = [this](int code, const char* company, const char* nse, QList<double> delivery, QList<double> close) {
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
    }

    query::RunOutcome run(const QString& label, const QString& group)
    {
        auto in = DayStore::inputs(8, label);
        in.groupCode = group;
        return store.run(in);
    }
};

TEST_F(ThreeDays, RiseNeedsAStrictRiseOnEachDayOfTheGroupsScrips)
{
    auto outcome = run(QStringLiteral("Rise in Delivery Qty over 3 days"), QStringLiteral("RUN"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome), (QStringList{"Symbol", "TodaysDelivery", "1 Day % Chg in Del Qty", "2 Day % Chg in Del Qty",
                                              "3 Day % Chg in Del Qty", "1 Day % Chg in Price", "2 Day % Chg in Price",
                                              "3 Day % Chg in Price"}));
    EXPECT_EQ(texts(outcome, "Symbol"), (QStringList{"CLIMB", "RISE"}));
    EXPECT_EQ(numbers(outcome, "TodaysDelivery"), (QList<double>{600, 250}));
    EXPECT_EQ(numbers(outcome, "1 Day % Chg in Del Qty"), (QList<double>{100, 25}));
    EXPECT_EQ(numbers(outcome, "2 Day % Chg in Del Qty"), (QList<double>{50, 33.33}));
    EXPECT_EQ(numbers(outcome, "3 Day % Chg in Del Qty"), (QList<double>{100, 50}));
    EXPECT_EQ(numbers(outcome, "1 Day % Chg in Price"), (QList<double>{25, 0}));
    EXPECT_EQ(numbers(outcome, "2 Day % Chg in Price"), (QList<double>{9.09, 0}));
    EXPECT_EQ(outcome.state.sixthDate, DayStore::date(2));
    EXPECT_EQ(outcome.state.seventhDate, DayStore::date(3));

    outcome = run(QStringLiteral("Rise in Delivery Qty over 3 days"), QStringLiteral("ALL"));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(texts(outcome, "Symbol"), (QStringList{"CLIMB", "OUT", "RISE"}));
}

TEST_F(ThreeDays, FallListsTheSteepestFallFirst)
{
    const auto outcome = run(QStringLiteral("Fall in Delivery Qty over 3 days"), QStringLiteral("RUN"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome).at(5), QStringLiteral("1 Day % Chg in closeprice"));
    EXPECT_EQ(texts(outcome, "Symbol"), QStringList{"SLIDE"});
    EXPECT_EQ(numbers(outcome, "1 Day % Chg in Del Qty"), QList<double>{-50});
    EXPECT_EQ(numbers(outcome, "3 Day % Chg in closeprice"), QList<double>{-20});
}

class ThreeMonths : public ::testing::Test {
protected:
    DayStore store{70};

    void SetUp() override
    {
        store.scrip(1, "Peak Ltd", "PEAK", "500001");
        store.days(1, 1, 29, {1000, 100, 10});
        store.day(1, 30, {1000, 500, 10});
        store.days(1, 31, 69, {1000, 100, 10});
        store.day(1, 0, {1000, 600, 12});  // above the window's highest 500 by 20 %, price +20 %
        store.scrip(2, "Tie Ltd", "TIE", "500002");
        store.days(2, 1, 66, {1000, 100, 10});
        store.day(2, 0, {1000, 100, 10});  // equals its highest: not listed
        store.scrip(3, "Old Ltd", "OLD", "500003");
        store.days(3, 1, 66, {1000, 100, 10});
        store.day(3, 67, {1000, 9999, 10});  // outside the window
        store.day(3, 0, {1000, 200, 10});
        store.scrip(4, "Dip Ltd", "DIP", "500004");
        store.days(4, 1, 19, {1000, 100, 10});
        store.day(4, 20, {1000, 50, 10});
        store.days(4, 21, 66, {1000, 100, 10});
        store.day(4, 0, {1000, 40, 8});
    }

    query::RunOutcome run(const QString& label)
    {
        auto in = DayStore::inputs(8, label);
        in.secondDate = DayStore::date(66);
        return store.run(in);
    }
};

TEST_F(ThreeMonths, HighAndLowAgainstTheWindowBeforeTheDay)
{
    auto outcome = run(QStringLiteral("3 Months High Delivery"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome), (QStringList{"nsescrip", "TodayDely", "maxdely", "DelyChg%", "TodaysPrice", "AvgPrice",
                                              "RateChg%", QString(3, QChar(0x00A0))}));
    EXPECT_EQ(texts(outcome, "nsescrip"), (QStringList{"OLD", "PEAK"}));
    EXPECT_EQ(numbers(outcome, "DelyChg%"), (QList<double>{100, 20}));
    EXPECT_EQ(numbers(outcome, "RateChg%"), (QList<double>{0, 20}));

    outcome = run(QStringLiteral("3 Months Low Delivery"));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(headings(outcome).at(2), QStringLiteral("LowDely"));
    EXPECT_EQ(texts(outcome, "nsescrip"), QStringList{"DIP"});
    EXPECT_EQ(numbers(outcome, "DelyChg%"), QList<double>{-20});
    EXPECT_EQ(numbers(outcome, "RateChg%"), QList<double>{-20});
}

TEST_F(ThreeMonths, RefusesWithoutASecondDate)
{
    const auto outcome = store.run(DayStore::inputs(8, QStringLiteral("3 Months High Delivery")));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, query::refusals::selectValidDate());
}

}  // namespace
