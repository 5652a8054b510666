#include "query/runstate.h"
#include "scanfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using F = ScanFixture;

namespace {

const int kKelvarnGroup = 8;
const QString kUp = QStringLiteral("Delivery breakout with upward price (Previous Day)");
const QString kDown = QStringLiteral("Delivery breakout with downward price (Previous Day)");

TEST(Breakouts, DeliveryRisesAboveThePercentageByDirectionOfTheClose)
{
    F fixture;
    // Delivery and NSE close on the previous day (D2) and the day (D1).
    const struct {
        const char* company;
        double before, closeBefore, today, closeToday;
    } scrips[] = {
        {"Up Ltd", 100, 50, 200, 55},        // +100 % delivery, close up
        {"Small Ltd", 100, 50, 130, 60},     // +30 % only
        {"Flat Ltd", 100, 50, 300, 50},      // close unchanged
        {"Down Ltd", 100, 50, 250, 45},      // +150 %, close down
        {"Down Two Ltd", 100, 50, 120, 40},  // +20 %, close down
        {"Fresh Ltd", 0, 50, 500, 60},       // nothing delivered the day before
    };
    for (const auto& s : scrips)
        fixture.addScrip(s.company, QString::fromLatin1(s.company).left(4).toUpper(), "",
                         {{F::D2, s.before * 2, s.before, 50, s.closeBefore}, {F::D1, s.today * 2, s.today, 50, s.closeToday}});
    fixture.addScrip("New Ltd", "NEW", "", {{F::D1, 1000, 900, 90, 70}});
    auto in = [](const QString& label, const char* percent, const QDate& day = F::D1) {
        return F::inputs(kKelvarnGroup, label, day, Exchange::Nse, "10", percent);
    };
    expectRuns(fixture,
               {{in(kUp, "40"),
                 {"Security", "Today Dely", "YDay Dely", "%ChgInDely", "Today Volume", "Today Price", "YDay Price",
                  "%ChgInPrice"},
                 {{"Security", Texts{"Up Ltd"}}, {"Today Dely", Numbers{200}}, {"YDay Dely", Numbers{100}},
                  {"%ChgInDely", Numbers{100}}, {"Today Volume", Numbers{400}}, {"%ChgInPrice", Numbers{10}}}},
                // The largest rise first; a threshold that is no number counts as 0.
                {in(kDown, "abc"), {},
                 {{"Security", Texts{"Down Ltd", "Down Two Ltd"}}, {"%ChgInPrice", Numbers{-10, -20}}}},
                {in(kUp, "40", F::D2), {}, {}, query::refusals::tooFewTradingDays(F::D2)},
                {in(kUp, "40", QDate(2024, 1, 7)), {}, {}, query::refusals::notATradingDay(QDate(2024, 1, 7))}});
    EXPECT_EQ(fixture.run(in(kUp, "40")).rows.columns.size(), 8);
}

TEST(BreakoutsCombined, TheCloseIsTheNseOneWhenThereIsOne)
{
    F fixture;
    // Today no NSE close: the BSE close 66 against yesterday's NSE close 60.
    fixture.addScrip("Both Ltd", "BOTH", "500001",
                     {{F::D2, 100, 40, 40, 60, 100, 10, 10, 58}, {F::D1, 100, 90, 90, 0, 100, 60, 60, 66}});
    expectRuns(fixture, {{F::inputs(kKelvarnGroup, kUp, F::D1, Exchange::Combined, "10", "100"), {},
                          {{"Today Dely", Numbers{150}}, {"%ChgInDely", Numbers{200}}, {"Today Price", Numbers{66}},
                           {"%ChgInPrice", Numbers{10}}}},
                         {F::inputs(kKelvarnGroup, kDown, F::D1, Exchange::Combined, "10", "0"), {}, {{"Security", Texts{}}}}});
}

}  // namespace
