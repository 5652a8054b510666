#include "query/catalogue.h"
#include "query/parametersetup.h"

#include <QHash>
#include <gtest/gtest.h>

using namespace query;

namespace {

// 300 trading days, newest first: weekdays back from Friday 27 Dec 2024.
QList<QDate> tradingDays(int count = 300)
{
    QList<QDate> days;
    for (QDate day(2024, 12, 27); days.size() < count; day = day.addDays(-1))
        if (day.dayOfWeek() <= 5)
            days.append(day);
    return days;
}

const QList<QDate> kDays = tradingDays();

// The fields as an earlier query left them (first date at entry 3, second
// date at entry 1): every value differs from what any set-up writes, so a
// test sees exactly what the set-up changed.
ParameterFields earlierFields()
{
    return {kDays.at(3), kDays.at(1), false, {"Old caption", "77", true}, {"Old caption 2", "88", true}};
}

// What a set-up leaves, as one line: the second date box (hidden or shown,
// then its entry of kDays, "-" when empty), the two number fields ("caption =
// text", "hidden" when not shown), and "no ranges" when the range filters
// become unavailable.
QString shown(const NumberField& field)
{
    return field.caption + " = " + field.text + (field.shown ? QString() : QStringLiteral(" hidden"));
}

QString describe(const ParameterSetup& setup)
{
    const ParameterFields& f = setup.fields;
    return QStringList{(f.secondDateShown ? "shown " : "hidden ") +
                           (f.secondDate.isValid() ? QString::number(kDays.indexOf(f.secondDate)) : QStringLiteral("-")),
                       shown(f.number), shown(f.number2), setup.disableRangeFilters ? "no ranges" : ""}
        .join(" | ");
}

}  // namespace

TEST(ParameterSetup, EveryQueryOfTheCatalogueGetsItsCaptionsProposalsAndDates)
{
    // What the groups propose for a query that has no proposals of its own
    // (the earlier second date stays at entry 1).
    const QHash<int, QString> groupDefaults{
        {1, "shown 1 | Old caption =  hidden | Old caption 2 = 88 hidden | "},
        {7, "shown 1 | Old caption =  hidden | Old caption 2 = 88 hidden | "},
        {5, "hidden 1 | Old caption = 77 hidden | Old caption 2 = 88 hidden | "},
        {4, "hidden 1 | Value of 'N' = 3 | Old caption 2 = 2 hidden | "},
        {8, "hidden 1 | No Of Days = 10 | Old caption 2 = 2 hidden | "},
        {9, "hidden 1 | Rising For = 3 | Falling For = 2 | "},
        {2, "hidden 1 | No Of Days = 3 | Old caption 2 = 2 hidden | "},
        {3, "hidden 1 | No Of Days = 3 | Old caption 2 = 2 hidden | "},
        {6, "hidden 1 | No Of Days = 3 | Old caption 2 = 2 hidden | "}};
    // The queries with proposals of their own. Last N Days Movement: ten
    // entries below the second date; 3 Months: 66 below the first; Weekly,
    // Monthly and 52 Week: a window of N trading days ending with the first date.
    const QList<std::pair<QStringList, QString>> own{
        {{"Abnormal Change in delivery qty over previous day", "Abnormal Change in % delivery qty over previous day",
          "Abnormal Change in Trading qty over previous day"},
         "hidden 1 | Percentage [%] = 100 | Old caption 2 = 2 hidden | no ranges"},
        {{"Abnormal Change in delivery qty above Average Delivery Qty",
          "Abnormal Change in Trading qty above Average Trading Qty"},
         "hidden 1 | Percentage [%] = 100 | No Of Days = 7 | no ranges"},
        {{"Abnormal Change in Trading qty below Average Trading Qty"},
         "hidden 1 | Percentage [%] = 999999 | No Of Days = 7 | no ranges"},
        {{"Volume breakout with upward price", "Volume breakout with downward price",
          "Delivery breakout with upward price (Avg)", "Delivery breakout with downward price (Avg)",
          "Delivery breakout with upward price (Previous Day)", "Delivery breakout with downward price (Previous Day)"},
         "hidden 1 | No Of Days = 10 | Percentage [%] = 40 | "},
        {{"Last N Days Movement"}, "hidden 11 | No Of Days = 10 | Old caption 2 = 2 hidden | "},
        {{"Abnormal Rise in Delivery Qty"}, "hidden 1 | Rise by % = 10 | Old caption 2 = 2 hidden | "},
        {{"Abnormal Fall in Delivery Qty"}, "hidden 1 | Fall by % = 10 | Old caption 2 = 2 hidden | "},
        {{"Rise in Delivery Qty over 3 days", "Fall in Delivery Qty over 3 days"},
         "hidden 1 | No Of Days = 10 hidden | Old caption 2 = 2 hidden | "},
        {{"3 Months High Delivery", "3 Months Low Delivery"}, "shown 69 | No Of Days = 10 hidden | Old caption 2 = 2 hidden | "},
        {{"14 day EMA Positive", "14 day EMA Negative"}, "hidden 1 | No Of Days = 14 | Old caption 2 = 2 hidden | "},
        {{"34 day EMA Positive", "34 day EMA Negative"}, "hidden 1 | No Of Days = 34 | Old caption 2 = 2 hidden | "},
        {{"200 day SMA Positive", "200 day SMA Negative"}, "hidden 1 | No Of Days = 200 | Old caption 2 = 2 hidden | "},
        {{"Weekly High", "Weekly Low"}, "shown 9 | No Of Days = 7 | Old caption 2 = 2 hidden | "},
        {{"Monthly High", "Monthly Low"}, "shown 32 | No Of Days = 30 | Old caption 2 = 2 hidden | "},
        {{"52 Week High", "52 Week Low"}, "shown 252 | No Of Days = 250 | Old caption 2 = 2 hidden | "},
        {{"Belmora - Price Query"}, "hidden 1 | No Of Days = 2 | Old caption 2 = 2 hidden | "},
        {{"Pellam Query"}, "hidden 1 | DMA - 1 = 12 | DMA - 2 = 48 | "}};
    QHash<QString, QString> proposals;
    for (const auto& [labels, expected] : own)
        for (const QString& label : labels) {
            EXPECT_TRUE(catalogueLabels().contains(label)) << label.toStdString();
            proposals.insert(label, expected);
        }
    int checked = 0;
    for (const QueryGroup& group : queryGroups()) {
        for (const QString& label : group.labels) {
            const ParameterSetup setup = setUpParameters(group.number, label, earlierFields(), kDays);
            EXPECT_EQ(setup.fields.firstDate, kDays.at(3)) << label.toStdString();
            EXPECT_EQ(describe(setup), proposals.value(label, groupDefaults.value(group.number)))
                << "group " << group.number << ": " << label.toStdString();
            ++checked;
        }
    }
    EXPECT_EQ(checked, 8 + 16 + 8 + 8 + 6 + 20 + 14 + 32 + 8);
}

TEST(ParameterSetup, BelmoraAndPellamPresetFiltersExchangeAndGroup)
{
    const ParameterSetup belmora = setUpParameters(6, QStringLiteral("Belmora - Price Query"), earlierFields(), kDays);
    EXPECT_EQ(belmora.rangePresets, (QList<RangePreset>{{RangeMeasure::Price, QStringLiteral("50")},
                                                        {RangeMeasure::TradedQty, QStringLiteral("25000")},
                                                        {RangeMeasure::DeliveryPercent, QStringLiteral("30")}}));
    EXPECT_TRUE(belmora.chooseCombine);
    EXPECT_TRUE(belmora.groupName.isEmpty());
    const ParameterSetup pellam = setUpParameters(7, QStringLiteral("Pellam Query"), earlierFields(), kDays);
    EXPECT_TRUE(pellam.chooseCombine);
    EXPECT_EQ(pellam.groupName, QStringLiteral("Derivatives F & O"));
    EXPECT_TRUE(pellam.rangePresets.isEmpty());
    const ParameterSetup other = setUpParameters(7, QStringLiteral("QXV Query"), earlierFields(), kDays);
    EXPECT_FALSE(other.chooseCombine);
    EXPECT_TRUE(other.groupName.isEmpty());
}

TEST(ParameterSetup, DateShiftsCountTradingDaysAndRunOutEmpty)
{
    // The first date's entry, the query, and the second date's entry set up
    // (-1: left empty), over all 300 dates or the newest 40.
    const QList<QDate> few = kDays.mid(0, 40);
    const struct {
        int first;
        const char* label;
        const QList<QDate>& days;
        int second;
    } shifts[] = {{0, "Weekly High", kDays, 6},   {0, "52 Week Low", kDays, 249},  {0, "3 Months Low Delivery", kDays, 66},
                  // Too few trading dates, or no first date to count from.
                  {15, "3 Months High Delivery", few, -1}, {15, "Monthly High", few, -1}, {15, "Weekly Low", few, 21},
                  {-1, "Weekly Low", few, -1}};
    for (const auto& s : shifts) {
        ParameterFields fields = earlierFields();
        fields.firstDate = s.first < 0 ? QDate() : s.days.at(s.first);
        EXPECT_EQ(setUpParameters(8, s.label, fields, s.days).fields.secondDate, s.days.value(s.second)) << s.label;
    }
    // Last N Days Movement counts from the second date; from an empty box it
    // takes the tenth date.
    ParameterFields fields = earlierFields();
    fields.secondDate = QDate();
    EXPECT_EQ(setUpParameters(8, QStringLiteral("Last N Days Movement"), fields, kDays).fields.secondDate, kDays.at(9));
    fields.secondDate = kDays.at(295);
    EXPECT_FALSE(setUpParameters(8, QStringLiteral("Last N Days Movement"), fields, kDays).fields.secondDate.isValid());

    // Typed days move the second date to the start of a window that long:
    // the same N gives the same window as choosing the query did.
    EXPECT_TRUE(secondDateFollowsDays(QStringLiteral("52 Week High")));
    EXPECT_TRUE(secondDateFollowsDays(QStringLiteral("Monthly Low")));
    EXPECT_FALSE(secondDateFollowsDays(QStringLiteral("3 Months High Delivery")));
    const std::pair<const char*, int> windows[] = {{"7", 8}, {"10", 11}, {"1", 2}, {"0", -1}, {"299", -1},
                                                   {"99999999999999", -1}};
    for (const auto& [days, start] : windows)
        EXPECT_EQ(windowStartDate(kDays.at(2), QString::fromLatin1(days), kDays), kDays.value(start)) << days;
}

TEST(ParameterSetup, GroupSwitchesShowAndHideTheRightFields)
{
    // A research query shows both numbers; an average query after it shows
    // both dates and neither number nor caption, and empties the first.
    ParameterFields fields = setUpParameters(9, QStringLiteral("Rate"), earlierFields(), kDays).fields;
    ASSERT_TRUE(fields.number.shown && fields.number2.shown);
    fields = setUpParameters(1, QStringLiteral("Combined Report"), fields, kDays).fields;
    EXPECT_TRUE(fields.secondDateShown);
    EXPECT_FALSE(fields.number.shown);
    EXPECT_TRUE(fields.number.text.isEmpty());
    EXPECT_FALSE(fields.number2.shown);
    // A price query after a breakout hides the second number too.
    fields = setUpParameters(8, QStringLiteral("Volume breakout with upward price"), earlierFields(), kDays).fields;
    ASSERT_TRUE(fields.number2.shown);
    fields = setUpParameters(5, QStringLiteral("Top Gainer in price (%)"), fields, kDays).fields;
    EXPECT_FALSE(fields.number.shown || fields.number2.shown || fields.secondDateShown);
}

TEST(ParameterSetup, NumbersAndRangeBoundsAsTyped)
{
    for (const char* text : {"12.5", "-3", " 7 ", "0", ".5", "5.", "+4", "9999999999"})
        EXPECT_TRUE(isNumberText(QString::fromLatin1(text))) << text;
    // "1,500" would read as 1; "1 2" as 12.
    for (const char* text : {"12a", "", "   ", "1,500", "1 2", "-", ".", "abc", "1.2.3", "1e5"})
        EXPECT_FALSE(isNumberText(QString::fromLatin1(text))) << text;

    // An empty range bound sets no limit on its side.
    const RangeBox openAbove = rangeFromBoxes(true, QStringLiteral("10"), QStringLiteral(" "));
    EXPECT_EQ((std::tuple{openAbove.ticked, openAbove.low, openAbove.high}), (std::tuple{true, 10.0, 9999999999.0}));
    const RangeBox openBelow = rangeFromBoxes(true, QString(), QStringLiteral("20.5"));
    EXPECT_EQ((std::pair{openBelow.low, openBelow.high}), (std::pair{0.0, 20.5}));
    EXPECT_FALSE(rangeFromBoxes(false, QStringLiteral("1"), QStringLiteral("2")).ticked);
}
