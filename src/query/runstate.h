#pragma once

#include "query/runinputs.h"
#include "query/sql.h"
#include "query/tradingcalendar.h"
#include "ui/prompt.h"

#include <QDate>
#include <QString>
#include <array>
#include <stdexcept>

namespace query {

// Ends a run without a result: `text` is what the user is shown.
class Refusal : public std::runtime_error {
public:
    explicit Refusal(const QString& text, ui::Icon icon = ui::Icon::None)
        : std::runtime_error(text.toStdString()), m_text(text), m_icon(icon) {}
    const QString& text() const { return m_text; }
    ui::Icon icon() const { return m_icon; }

private:
    QString m_text;
    ui::Icon m_icon;
};

// Messages of refused runs.
namespace refusals {
inline QString selectValidDate() { return QStringLiteral("Select A Valid Date"); }
inline QString optionNotAllowed() { return QStringLiteral("Option Not Allowed"); }
QString noTradesData();
QString notATradingDay(const QDate& day);
QString tooFewTradingDays(const QDate& firstDate);
}  // namespace refusals

// Where each range measure is found in the statement a range condition goes
// into: an SQL expression per measure, empty when the statement has none.
struct MeasureColumns {
    std::array<QString, kRangeMeasureCount> expressions;

    // The day figures of an `mto` row for the exchange: the exchange's own
    // columns, or for both exchanges the summed quantities, the NSE close
    // when above 0 (else the BSE close) and the percentage of the sums.
    // `alias` qualifies every column ("mto", "a"); empty leaves them bare.
    static MeasureColumns ofMto(Exchange exchange, const QString& alias = {});
    // The day figures of a scan's work table, whose columns clprice, trdqty,
    // delyqty and perc hold the chosen exchange's figures (for both
    // exchanges the sums, the delivery percentage being tested on them).
    static MeasureColumns ofScanTable(Exchange exchange, const QString& alias);
};

// Everything a run works from, filled from the run inputs before the query's
// own statements run. Branches and computations read it and may set the
// later dates (secondDate .. eighthDate) for themselves.
struct RunState {
    QString label;
    int group = 1;
    int labelPosition = -1;           // position of the label in its group's list
    Exchange exchange = Exchange::Nse;
    QString exchangeName;             // "NSE", "BSE" or "NSE & BSE"

    QDate firstDate;
    QDate secondDate;                 // second date box, or the N-day window start (below)
    QDate thirdDate, fourthDate, fifthDate, sixthDate, seventhDate, eighthDate;
    TradingCalendar calendar;         // the trading dates, seen from firstDate

    double number = 0;                // first number box, read for its leading number
    double number2 = 0;               // second number box
    int count = 0;                    // first number box read as a count of days or a rank (readCounts)
    int count2 = 0;                   // second number box read as a count of days
    double abnormalPercent = 0;       // the percentage of the two "over previous day" delivery queries
    int dayPosition = 0;              // trading days counted while the window start was sought
    bool windowFound = false;         // the N-day window start was found
    // The query's screen hides the second date and asks for N days: the
    // second date is the N-day window start alone, whatever the hidden box
    // holds, and there is none when the store does not reach that far back.
    bool secondDateIsWindowStart = false;

    QString groupCode;                // trimmed; "ALL" or empty: no restriction
    QString groupName;
    Sql groupFilter;                  // " And Exists(... mto.scriptcode) ", or empty

    int scripCount = 0;
    Sql scripFilter;                  // " and scriptcode in (...)", or empty
    QString scripText;

    std::array<RangeBox, kRangeMeasureCount> ranges{};

    // The ticked range boxes joined by " and " over `columns`, or an empty
    // text: each keeps the values between its two bounds, whichever of them
    // is the larger. Refuses when a ticked measure has no column in the
    // statement.
    Sql rangeCondition(const MeasureColumns& columns) const;
    // " and " + the range condition, or an empty text.
    Sql andRangeCondition(const MeasureColumns& columns) const;
    bool hasRangeFilter() const;

    // The group restriction on the scrip code column `scripColumn`; empty
    // when no group is chosen or the group is "ALL".
    Sql groupFilterOn(const QString& scripColumn) const;
    bool groupRestricts() const;

    // Reads the query's count boxes (countBoxes) into count and count2;
    // refuses a box whose text is not a count it allows.
    void readCounts(const RunInputs& inputs);
    // N of a ranking: the first box's count.
    int rankCount() const { return count; }

    // The trading day `k` entries before firstDate; refuses when the store
    // holds no such day.
    QDate tradingDayBefore(int k) const;
    QDate previousTradingDay() const { return tradingDayBefore(1); }
    // secondDate; refuses when there is none: with too few trading days
    // before the first date when the second date is the window start, else
    // because no second date was chosen.
    QDate requireSecondDate() const;
};

// The prologue of a run: dates, exchange, group and scrip filters, range
// bounds and the N-day window start, from the inputs and the trading dates
// (newest first).
// Refuses a run without a first date.
RunState buildRunState(const RunInputs& inputs, const QList<QDate>& tradingDates);

// The per-day work table `queryresult1` of the "Average Queries" group: the
// day rows between the two dates with the scrip, group and range filters.
void makeAverageDayTable(store::Database& db, const RunState& state);

}  // namespace query
