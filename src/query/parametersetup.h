#pragma once

#include "query/runinputs.h"

#include <QDate>
#include <QList>
#include <QString>

// What choosing a query does to the parameter fields of the query screen:
// which date and number boxes show, their captions and the values they
// propose. Logic only; the screen reads its fields into ParameterFields and
// applies what comes back.
namespace query {

// A number box of the query screen with its caption; both show or hide together.
struct NumberField {
    QString caption;
    QString text;
    bool shown = false;

    bool operator==(const NumberField&) const = default;
};

// The parameter fields of the query screen. The first date always shows.
struct ParameterFields {
    QDate firstDate;               // null while no trading date is chosen
    QDate secondDate;              // null while the second date box is empty
    bool secondDateShown = true;
    NumberField number;            // the first number (N, days or a percentage)
    NumberField number2;           // the second number

    bool operator==(const ParameterFields&) const = default;
};

// A range filter that a query ticks, with the lower bound it proposes.
struct RangePreset {
    RangeMeasure measure = RangeMeasure::Price;
    QString lowText;

    bool operator==(const RangePreset&) const = default;
};

// Everything that choosing a query sets: the parameter fields, and for a few
// queries the range filters, the exchange and the scrip group.
struct ParameterSetup {
    ParameterFields fields;
    // The five range check boxes become unavailable (until a group choice
    // makes them available again).
    bool disableRangeFilters = false;
    QList<RangePreset> rangePresets;
    bool chooseCombine = false;
    QString groupName;             // the scrip group to choose; empty for none
};

// The caption both number boxes carry until a query sets theirs.
inline const QString kNumberCaptionAtStart = QStringLiteral("% Range From 52 Week HV");
// What a ticked range filter proposes as its upper bound: no upper limit.
inline const QString kOpenUpperBound = QStringLiteral("9999999999");

// The set-up of `label` chosen in query group `group` (1 to 9), starting
// from the fields as they stand. `tradingDates` are the trading dates newest
// first, as the date boxes list them; a date that lies beyond the oldest one
// leaves the second date empty.
ParameterSetup setUpParameters(int group, const QString& label, const ParameterFields& current,
                               const QList<QDate>& tradingDates);

// Whether the second date of `label` follows the number of days typed (the
// weekly, monthly and 52 week highs and lows).
bool secondDateFollowsDays(const QString& label);
// The start of the window of N trading days that ends with `firstDate`, N
// read from `daysText`; null when the dates do not reach back that far or N
// is below 1.
QDate windowStartDate(const QDate& firstDate, const QString& daysText, const QList<QDate>& tradingDates);

// Whether a box's text reads wholly as a number: an optional sign, digits
// with at most one decimal point, blanks around. An empty text, "12a" or
// "1,500" do not.
bool isNumberText(const QString& text);

// A range filter from its two bound boxes. A box left empty sets no limit on
// its side: an empty lower bound reads as 0, an empty upper bound as
// kOpenUpperBound.
RangeBox rangeFromBoxes(bool ticked, const QString& lowText, const QString& highText);

}  // namespace query
