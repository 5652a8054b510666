#pragma once

#include "store/database.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

// The viewer's filter: conditions on the result's columns, each comparing a
// column with a value the user typed, joined by AND and OR. The filter is a
// value that becomes a condition of SQL over the rows kept in the store; its
// text is only how it is shown and handed on for printing.
namespace viewer {

enum class FilterOperator { Equal, Greater, Less, GreaterOrEqual, LessOrEqual, Like };
enum class FilterJoiner { And, Or };

// The operators a column of `kind` offers, in list order: every number and
// date column gets the five comparisons, a text column "=" and "Like".
QStringList operatorCaptions(store::ColumnKind kind);
std::optional<FilterOperator> operatorFromCaption(const QString& caption);
QString operatorCaption(FilterOperator op);

// The joiner list's items, "AND" then "OR".
QStringList joinerCaptions();
std::optional<FilterJoiner> joinerFromCaption(const QString& caption);

// A condition of a WHERE clause with its values to bind, in order.
struct FilterSql {
    QString condition;
    store::Params params;
};

// One column compared with one typed value.
struct FilterCondition {
    int column = -1;
    QString columnName;
    store::ColumnKind kind = store::ColumnKind::Text;
    FilterOperator op = FilterOperator::Equal;
    // A double for number columns, a QDate for date columns, the text as
    // typed for text columns.
    QVariant value;
    // The typed text, kept for the shown form of a date value.
    QString typedText;

    // The condition on the column named `column` (quoted as SQL wants):
    // an empty cell never matches; a number column matches numbers only, a
    // date column days only. Text compares without regard to case; "Like"
    // is a prefix match, or a match anywhere when the typed value starts
    // with % or *; its other characters match themselves.
    FilterSql sql(const QString& column) const;
    // "[column] op value", e.g. [stock] Like 'AB%', [NSEPerc] > 50.5,
    // [TransDate] = #05/Dec/2026#.
    QString text() const;
};

// The condition a row of the filter panel describes, or nothing when its
// value does not fit the column (a date column given text that no date form
// reads, see datetext::fromTyped). Number columns take the leading number of
// the text (none gives 0).
std::optional<FilterCondition> makeCondition(const store::Column& column, int columnIndex, FilterOperator op,
                                             const QString& typedValue);

// Conditions joined strictly left to right: ((c0 j1 c1) j2 c2) j3 c3. So
// appending "AND c" always narrows what the filter lets through.
class ResultFilter {
public:
    bool isEmpty() const { return m_terms.isEmpty(); }
    int size() const { return static_cast<int>(m_terms.size()); }
    // The first condition's joiner is ignored.
    void append(FilterJoiner joiner, const FilterCondition& condition);
    // The whole filter on the columns `columns` (those of the result the
    // conditions were made for); "1" when the filter is empty.
    FilterSql sql(const QList<store::Column>& columns) const;
    // The same conditions on other rows, whose columns `columns` hold the
    // filtered ones under the same names (the result beside the chart rows
    // drawn from it); nothing when one of them is missing there.
    std::optional<ResultFilter> onColumns(const QList<store::Column>& columns) const;
    // The filter as shown, e.g. [stock] Like 'AB%' And [NSEPerc] > 50.5; an
    // OR-joined condition is bracketed, and a text holding an OR is bracketed
    // before an AND is appended to it, so the text groups as the filter does.
    QString text() const;

private:
    struct Term {
        FilterJoiner joiner;
        FilterCondition condition;
    };
    QList<Term> m_terms;
};

// What the user set in one row of the filter panel.
struct FilterRowInput {
    int column = -1;  // the picked column's position, -1 when none is picked
    QString operatorText;
    QString valueText;
    QString joinerText;  // joins the next used row; empty on the last row
};

// Why a press of a filter button stopped, and where the focus goes.
struct FilterProblem {
    enum class Field { None, Column, Operator, Value };
    QString message;
    int style = 0;  // message style number (48: exclamation)
    int row = 0;
    Field field = Field::None;
};

// The rows of the filter panel read for "Show" or "Show In Results".
struct FilterRowsReading {
    std::optional<FilterProblem> problem;
    // Every used row joined left to right ("Show").
    ResultFilter composed;
    // The first row alone ("Show In Results" narrows the filter in force by it).
    FilterCondition firstRow;
};

// Checks the first row (column, operator and value must be filled), then
// turns every used row into a condition in row order. A row after an unused
// one is joined by the joiner of the last used row before it.
FilterRowsReading readFilterRows(const QList<store::Column>& columns, const QList<FilterRowInput>& rows);

}  // namespace viewer
