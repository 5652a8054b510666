#include "query/catalogue.h"
#include "query/parametersetup.h"

#include <QHash>
#include <gtest/gtest.h>
#include <optional>

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

// The fields as an earlier query left them: every value differs from what
// any set-up writes, so a test sees exactly what the set-up changed.
ParameterFields earlierFields()
{
    ParameterFields fields;
    fields.firstDate = kDays.at(3);
    fields.secondDate = kDays.at(1);
    fields.secondDateShown = false;
    fields.number = {QStringLiteral("Old caption"), QStringLiteral("77"), true};
    fields.number2 = {QStringLiteral("Old caption 2"), QStringLiteral("88"), true};
    return fields;
}

std::string show(const NumberField& field)
{
    return (field.caption + QStringLiteral(" = \"") + field.text + (field.shown ? "\" shown" : "\" hidden"))
        .toStdString();
}

// What choosing a query leaves: the second date box (shown or not, and its
// date as an entry of kDays: -1 for empty, nothing for "as it was"), the two
// number fields and whether the range filters become unavailable.
struct Expected {
    bool secondShown = false;
    std::optional<int> secondEntry;
    NumberField number;
    NumberField number2;
    bool rangesUnavailable = false;
};

const NumberField kOldNumber2Hidden{QStringLiteral("Old caption 2"), QStringLiteral("88"), false};
const NumberField kOldNumber2ReadTwo{QStringLiteral("Old caption 2"), QStringLiteral("2"), false};

// What the groups propose for a query that has no proposals of its own.
Expected groupDefault(int group)
{
    switch (group) {
    case 1:
    case 7:
        return {true, std::nullopt, {QStringLiteral("Old caption"), QString(), false}, kOldNumber2Hidden};
    case 5:
        return {false, std::nullopt, {QStringLiteral("Old caption"), QStringLiteral("77"), false}, kOldNumber2Hidden};
    case 4:
        return {false, std::nullopt, {QStringLiteral("Value of 'N'"), QStringLiteral("3"), true}, kOldNumber2ReadTwo};
    case 8:
        return {false, std::nullopt, {QStringLiteral("No Of Days"), QStringLiteral("10"), true}, kOldNumber2ReadTwo};
    case 9:
        return {false,
                std::nullopt,
                {QStringLiteral("Rising For"), QStringLiteral("3"), true},
                {QStringLiteral("Falling For"), QStringLiteral("2"), true}};
    default:  // 2, 3 and 6
        return {false, std::nullopt, {QStringLiteral("No Of Days"), QStringLiteral("3"), true}, kOldNumber2ReadTwo};
    }
}

// The queries with proposals of their own, from the earlier fields (first
// date at entry 3, second date at entry 1).
QHash<QString, Expected> ownProposals()
{
    const NumberField days10{QStringLiteral("No Of Days"), QStringLiteral("10"), true};
    const NumberField daysHidden{QStringLiteral("No Of Days"), QStringLiteral("10"), false};
    const NumberField percent100{QStringLiteral("Percentage [%]"), QStringLiteral("100"), true};
    const NumberField days7{QStringLiteral("No Of Days"), QStringLiteral("7"), true};
    const NumberField percent40{QStringLiteral("Percentage [%]"), QStringLiteral("40"), true};
    auto days = [](const char* text) { return NumberField{QStringLiteral("No Of Days"), QString::fromLatin1(text), true}; };

    QHash<QString, Expected> expected;
    for (const char* label : {"Abnormal Change in delivery qty over previous day",
                              "Abnormal Change in % delivery qty over previous day",
                              "Abnormal Change in Trading qty over previous day"})
        expected.insert(QString::fromLatin1(label), {false, std::nullopt, percent100, kOldNumber2ReadTwo, true});
    for (const char* label :
         {"Abnormal Change in delivery qty above Average Delivery Qty", "Abnormal Change in Trading qty above Average Trading Qty"})
        expected.insert(QString::fromLatin1(label), {false, std::nullopt, percent100, days7, true});
    expected.insert(QStringLiteral("Abnormal Change in Trading qty below Average Trading Qty"),
                    {false, std::nullopt, {QStringLiteral("Percentage [%]"), QStringLiteral("999999"), true}, days7, true});
    for (const char* label : {"Volume breakout with upward price", "Volume breakout with downward price",
                              "Delivery breakout with upward price (Avg)", "Delivery breakout with downward price (Avg)",
                              "Delivery breakout with upward price (Previous Day)",
                              "Delivery breakout with downward price (Previous Day)"})
        expected.insert(QString::fromLatin1(label), {false, std::nullopt, days10, percent40});
    // Ten entries below the second date.
    expected.insert(QStringLiteral("Last N Days Movement"), {false, 11, days10, kOldNumber2ReadTwo});
    expected.insert(QStringLiteral("Abnormal Rise in Delivery Qty"),
                    {false, std::nullopt, {QStringLiteral("Rise by %"), QStringLiteral("10"), true}, kOldNumber2ReadTwo});
    expected.insert(QStringLiteral("Abnormal Fall in Delivery Qty"),
                    {false, std::nullopt, {QStringLiteral("Fall by %"), QStringLiteral("10"), true}, kOldNumber2ReadTwo});
    for (const char* label : {"Rise in Delivery Qty over 3 days", "Fall in Delivery Qty over 3 days"})
        expected.insert(QString::fromLatin1(label), {false, std::nullopt, daysHidden, kOldNumber2ReadTwo});
    // 66 entries below the first date.
    for (const char* label : {"3 Months High Delivery", "3 Months Low Delivery"})
        expected.insert(QString::fromLatin1(label), {true, 69, daysHidden, kOldNumber2ReadTwo});
    for (const char* label : {"14 day EMA Positive", "14 day EMA Negative"})
        expected.insert(QString::fromLatin1(label), {false, std::nullopt, days("14"), kOldNumber2ReadTwo});
    for (const char* label : {"34 day EMA Positive", "34 day EMA Negative"})
        expected.insert(QString::fromLatin1(label), {false, std::nullopt, days("34"), kOldNumber2ReadTwo});
    for (const char* label : {"200 day SMA Positive", "200 day SMA Negative"})
        expected.insert(QString::fromLatin1(label), {false, std::nullopt, days("200"), kOldNumber2ReadTwo});
    // A window of N trading days ending with the first date.
    for (const char* label : {"Weekly High", "Weekly Low"})
        expected.insert(QString::fromLatin1(label), {true, 3 + 6, days("7"), kOldNumber2ReadTwo});
    for (const char* label : {"Monthly High", "Monthly Low"})
        expected.insert(QString::fromLatin1(label), {true, 3 + 29, days("30"), kOldNumber2ReadTwo});
    for (const char* label : {"52 Week High", "52 Week Low"})
        expected.insert(QString::fromLatin1(label), {true, 3 + 249, days("250"), kOldNumber2ReadTwo});
    expected.insert(QStringLiteral("Belmora - Price Query"), {false, std::nullopt, days("2"), kOldNumber2ReadTwo});
    expected.insert(QStringLiteral("Pellam Query"),
                    {false,
                     std::nullopt,
                     {QStringLiteral("DMA - 1"), QStringLiteral("12"), true},
                     {QStringLiteral("DMA - 2"), QStringLiteral("48"), true}});
    return expected;
}

}  // namespace

TEST(ParameterSetup, EveryQueryOfTheCatalogueGetsItsCaptionsProposalsAndDates)
{
    const QHash<QString, Expected> proposals = ownProposals();
    const ParameterFields earlier = earlierFields();
    int checked = 0;
    for (const QueryGroup& group : queryGroups()) {
        for (const QString& label : group.labels) {
            const Expected expected = proposals.value(label, groupDefault(group.number));
            const ParameterSetup setup = setUpParameters(group.number, label, earlier, kDays);
            const ParameterFields& fields = setup.fields;
            const std::string where = "group " + std::to_string(group.number) + ": " + label.toStdString();

            EXPECT_EQ(fields.firstDate, earlier.firstDate) << where;
            EXPECT_EQ(fields.secondDateShown, expected.secondShown) << where;
            const QDate second = !expected.secondEntry ? earlier.secondDate
                                 : *expected.secondEntry < 0 ? QDate()
                                                             : kDays.at(*expected.secondEntry);
            EXPECT_EQ(fields.secondDate, second) << where;
            EXPECT_EQ(fields.number, expected.number) << where << " -> " << show(fields.number);
            EXPECT_EQ(fields.number2, expected.number2) << where << " -> " << show(fields.number2);
            EXPECT_EQ(setup.disableRangeFilters, expected.rangesUnavailable) << where;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 8 + 16 + 8 + 8 + 6 + 20 + 14 + 32 + 8);
    // Every query with proposals of its own is in some list.
    for (const QString& label : proposals.keys())
        EXPECT_TRUE(catalogueLabels().contains(label)) << label.toStdString();
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
    ParameterFields fields = earlierFields();
    fields.firstDate = kDays.first();
    EXPECT_EQ(setUpParameters(8, QStringLiteral("Weekly High"), fields, kDays).fields.secondDate, kDays.at(6));
    EXPECT_EQ(setUpParameters(8, QStringLiteral("52 Week Low"), fields, kDays).fields.secondDate, kDays.at(249));
    EXPECT_EQ(setUpParameters(8, QStringLiteral("3 Months Low Delivery"), fields, kDays).fields.secondDate,
              kDays.at(66));

    // Too few trading dates: the second date box is left empty.
    const QList<QDate> few = kDays.mid(0, 40);
    fields.firstDate = few.at(15);
    EXPECT_FALSE(setUpParameters(8, QStringLiteral("3 Months High Delivery"), fields, few).fields.secondDate.isValid());
    EXPECT_FALSE(setUpParameters(8, QStringLiteral("Monthly High"), fields, few).fields.secondDate.isValid());
    EXPECT_EQ(setUpParameters(8, QStringLiteral("Weekly Low"), fields, few).fields.secondDate, few.at(21));
    // No first date: nothing to count from.
    fields.firstDate = QDate();
    EXPECT_FALSE(setUpParameters(8, QStringLiteral("Weekly Low"), fields, few).fields.secondDate.isValid());

    // Last N Days Movement counts from the second date; from an empty box it
    // takes the tenth date.
    fields = earlierFields();
    fields.secondDate = QDate();
    EXPECT_EQ(setUpParameters(8, QStringLiteral("Last N Days Movement"), fields, kDays).fields.secondDate, kDays.at(9));
    fields.secondDate = kDays.at(295);
    EXPECT_FALSE(
        setUpParameters(8, QStringLiteral("Last N Days Movement"), fields, kDays).fields.secondDate.isValid());
}

TEST(ParameterSetup, TypedDaysMoveTheSecondDateToTheWindowStart)
{
    EXPECT_TRUE(secondDateFollowsDays(QStringLiteral("52 Week High")));
    EXPECT_TRUE(secondDateFollowsDays(QStringLiteral("Monthly Low")));
    EXPECT_FALSE(secondDateFollowsDays(QStringLiteral("3 Months High Delivery")));
    // The same N gives the same window as choosing the query did.
    EXPECT_EQ(windowStartDate(kDays.at(2), QStringLiteral("7"), kDays), kDays.at(8));
    EXPECT_EQ(windowStartDate(kDays.at(2), QStringLiteral("10"), kDays), kDays.at(11));
    EXPECT_EQ(windowStartDate(kDays.at(2), QStringLiteral("1"), kDays), kDays.at(2));
    EXPECT_FALSE(windowStartDate(kDays.at(2), QStringLiteral("0"), kDays).isValid());
    EXPECT_FALSE(windowStartDate(kDays.at(2), QStringLiteral("299"), kDays).isValid());
    EXPECT_FALSE(windowStartDate(kDays.at(2), QStringLiteral("99999999999999"), kDays).isValid());
}

TEST(ParameterSetup, GroupSwitchesShowAndHideTheRightFields)
{
    // A research query shows both numbers; an average query after it shows
    // both dates and neither number nor caption, and empties the first.
    ParameterFields fields = earlierFields();
    fields = setUpParameters(9, QStringLiteral("Rate"), fields, kDays).fields;
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
    EXPECT_FALSE(fields.number.shown);
    EXPECT_FALSE(fields.number2.shown);
    EXPECT_FALSE(fields.secondDateShown);
}

TEST(ParameterSetup, OnlyWholeNumbersAndDecimalsReadAsNumbers)
{
    for (const char* text : {"12.5", "-3", " 7 ", "0", ".5", "5.", "+4", "9999999999"})
        EXPECT_TRUE(isNumberText(QString::fromLatin1(text))) << text;
    // "1,500" would read as 1; "1 2" as 12.
    for (const char* text : {"12a", "", "   ", "1,500", "1 2", "-", ".", "abc", "1.2.3", "1e5"})
        EXPECT_FALSE(isNumberText(QString::fromLatin1(text))) << text;
}

TEST(ParameterSetup, AnEmptyRangeBoundSetsNoLimitOnItsSide)
{
    const RangeBox openAbove = rangeFromBoxes(true, QStringLiteral("10"), QStringLiteral(" "));
    EXPECT_TRUE(openAbove.ticked);
    EXPECT_EQ(openAbove.low, 10);
    EXPECT_EQ(openAbove.high, 9999999999.0);
    const RangeBox openBelow = rangeFromBoxes(true, QString(), QStringLiteral("20.5"));
    EXPECT_EQ(openBelow.low, 0);
    EXPECT_EQ(openBelow.high, 20.5);
    EXPECT_FALSE(rangeFromBoxes(false, QStringLiteral("1"), QStringLiteral("2")).ticked);
}
