#include "query/parametersetup.h"

#include "store/jetfunctions.h"

#include <QRegularExpression>
#include <cmath>
#include <initializer_list>

namespace query {

namespace {

bool isOneOf(const QString& label, std::initializer_list<const char*> labels)
{
    for (const char* candidate : labels) {
        if (label == QLatin1String(candidate))
            return true;
    }
    return false;
}

const QString kNoOfDays = QStringLiteral("No Of Days");
const QString kPercentage = QStringLiteral("Percentage [%]");

// The trading date `offset` entries below `from` in the newest-first list,
// or null when `from` is not listed or the list ends first.
QDate dateBelow(const QList<QDate>& dates, const QDate& from, qsizetype offset)
{
    const qsizetype index = from.isValid() ? dates.indexOf(from) : -1;
    if (index < 0 || offset < 0 || index + offset >= dates.size())
        return {};
    return dates.at(index + offset);
}

bool isAbnormalChange(const QString& label)
{
    return isOneOf(label, {"Abnormal Change in Trading qty below Average Trading Qty",
                           "Abnormal Change in Trading qty above Average Trading Qty",
                           "Abnormal Change in delivery qty above Average Delivery Qty",
                           "Abnormal Change in Trading qty over previous day",
                           "Abnormal Change in % delivery qty over previous day",
                           "Abnormal Change in delivery qty over previous day"});
}

// Both dates, no number.
void betweenDates(ParameterFields& fields)
{
    fields.secondDateShown = true;
    fields.number.text.clear();
    fields.number.shown = false;
    // The second number goes with its caption; its text stays for later.
    fields.number2.shown = false;
}

// The first date only, no number; both numbers keep their texts.
void singleDate(ParameterFields& fields)
{
    fields.number.shown = false;
    fields.number2.shown = false;
    fields.secondDateShown = false;
}

// The first date and the number(s) of the groups that count days, with the
// captions and proposals of the group and then of the query.
void daysAndNumbers(int group, const QString& label, ParameterFields& fields, const QList<QDate>& dates)
{
    NumberField& number = fields.number;
    NumberField& number2 = fields.number2;
    number2.shown = false;
    number2.text = QStringLiteral("2");
    number.shown = true;
    number.text = QStringLiteral("3");
    number.caption = kNoOfDays;
    fields.secondDateShown = false;

    if (group == 9) {
        number.caption = QStringLiteral("Rising For");
        number2.caption = QStringLiteral("Falling For");
        number2.shown = true;
    } else if (group == 8) {
        number.text = QStringLiteral("10");
    }
    if (group == 4)
        number.caption = QStringLiteral("Value of 'N'");

    if (isOneOf(label, {"Abnormal Change in Trading qty over previous day",
                        "Abnormal Change in % delivery qty over previous day",
                        "Abnormal Change in delivery qty over previous day"})) {
        number.caption = kPercentage;
        number.text = QStringLiteral("100");
    } else if (isOneOf(label, {"Abnormal Change in Trading qty below Average Trading Qty",
                               "Abnormal Change in Trading qty above Average Trading Qty",
                               "Abnormal Change in delivery qty above Average Delivery Qty"})) {
        number = {kPercentage, QStringLiteral("100"), true};
        number2 = {kNoOfDays, QStringLiteral("7"), true};
        if (label == QLatin1String("Abnormal Change in Trading qty below Average Trading Qty"))
            number.text = QStringLiteral("999999");
    } else if (isOneOf(label, {"Delivery breakout with downward price (Previous Day)",
                               "Delivery breakout with upward price (Previous Day)",
                               "Delivery breakout with downward price (Avg)",
                               "Delivery breakout with upward price (Avg)", "Volume breakout with downward price",
                               "Volume breakout with upward price"})) {
        number = {kNoOfDays, QStringLiteral("10"), true};
        number2 = {kPercentage, QStringLiteral("40"), true};
    } else if (isOneOf(label, {"Fall in Delivery Qty over 3 days", "Rise in Delivery Qty over 3 days"})) {
        number.shown = false;
    } else if (isOneOf(label, {"3 Months Low Delivery", "3 Months High Delivery"})) {
        fields.secondDate = dateBelow(dates, fields.firstDate, 66);
        fields.secondDateShown = true;
        number.shown = false;
    } else if (label == QLatin1String("Abnormal Rise in Delivery Qty")) {
        number.caption = QStringLiteral("Rise by %");
    } else if (label == QLatin1String("Abnormal Fall in Delivery Qty")) {
        number.caption = QStringLiteral("Fall by %");
    } else if (isOneOf(label, {"14 day EMA Negative", "14 day EMA Positive"})) {
        number.text = QStringLiteral("14");
    } else if (isOneOf(label, {"34 day EMA Negative", "34 day EMA Positive"})) {
        number.text = QStringLiteral("34");
    } else if (secondDateFollowsDays(label)) {
        fields.secondDateShown = true;
        if (label.startsWith(QLatin1String("Weekly")))
            number.text = QStringLiteral("7");
        else if (label.startsWith(QLatin1String("Monthly")))
            number.text = QStringLiteral("30");
        else
            number.text = QStringLiteral("250");
        fields.secondDate = windowStartDate(fields.firstDate, number.text, dates);
    }
}

}  // namespace

bool secondDateFollowsDays(const QString& label)
{
    return isOneOf(label, {"52 Week Low", "52 Week High", "Monthly Low", "Monthly High", "Weekly Low", "Weekly High"});
}

QDate windowStartDate(const QDate& firstDate, const QString& daysText, const QList<QDate>& tradingDates)
{
    const double days = store::jetRound(store::jetVal(daysText));
    if (!(days >= 1) || days > static_cast<double>(tradingDates.size()))
        return {};
    return dateBelow(tradingDates, firstDate, static_cast<qsizetype>(days) - 1);
}

ParameterSetup setUpParameters(int group, const QString& label, const ParameterFields& current,
                               const QList<QDate>& tradingDates)
{
    ParameterSetup setup;
    ParameterFields& fields = setup.fields;
    fields = current;

    if (isAbnormalChange(label)) {
        setup.disableRangeFilters = true;
        fields.number.caption = kPercentage;
    }
    if (group == 1 || group == 7)
        betweenDates(fields);
    if (group == 5)
        singleDate(fields);
    if ((group >= 2 && group <= 4) || group == 6 || group == 8 || group == 9 ||
        isOneOf(label, {"Total Delivery Value for the unchanged scrips", "Total Delivery Value for the falling scrips",
                        "Total Delivery Value for the rising scrips"}))
        daysAndNumbers(group, label, fields, tradingDates);

    if (label == QLatin1String("Last N Days Movement")) {
        // Ten entries below the second date as it stands (from the top of
        // the list when the box is empty).
        const qsizetype from = fields.secondDate.isValid() ? tradingDates.indexOf(fields.secondDate) : -1;
        const qsizetype index = from + 10;
        fields.secondDate = index >= 0 && index < tradingDates.size() ? tradingDates.at(index) : QDate();
    }
    if (isOneOf(label, {"200 day SMA Negative", "200 day SMA Positive"}))
        fields.number.text = QStringLiteral("200");
    if (label == QLatin1String("Belmora - Price Query")) {
        setup.rangePresets = {{RangeMeasure::Price, QStringLiteral("50")},
                              {RangeMeasure::TradedQty, QStringLiteral("25000")},
                              {RangeMeasure::DeliveryPercent, QStringLiteral("30")}};
        setup.chooseCombine = true;
        fields.number.text = QStringLiteral("2");
    }
    if (label == QLatin1String("Pellam Query")) {
        // The second date goes with its caption.
        fields.secondDateShown = false;
        fields.number = {QStringLiteral("DMA - 1"), QStringLiteral("12"), true};
        fields.number2 = {QStringLiteral("DMA - 2"), QStringLiteral("48"), true};
        setup.chooseCombine = true;
        setup.groupName = QStringLiteral("Derivatives F & O");
    }
    return setup;
}

bool isNumberText(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^[ \\t]*[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)[ \\t]*$"));
    return number.match(text).hasMatch();
}

RangeBox rangeFromBoxes(bool ticked, const QString& lowText, const QString& highText)
{
    const QString high = highText.trimmed().isEmpty() ? kOpenUpperBound : highText;
    return RangeBox::fromTexts(ticked, lowText, high);
}

}  // namespace query
