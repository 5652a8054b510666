#pragma once

#include "query/queryengine.h"

#include <QList>
#include <QStringList>
#include <ostream>
#include <string>
#include <variant>

// Reading a query's result in tests: one column's values by heading (without
// regard to case), and the headings in order.
QStringList texts(const query::RunOutcome& outcome, const QString& column);
QList<double> numbers(const query::RunOutcome& outcome, const QString& column);
QStringList headings(const query::RunOutcome& outcome);

// Failures show texts as texts (one copy per file, as the other test folders
// keep their own).
static inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

// The values one result column should hold, row by row: texts or numbers.
using Texts = QStringList;
using Numbers = QList<double>;
struct Expected {
    QString column;
    std::variant<Texts, Numbers> values;
};

// Checks that a run completed, that its headings start with `headingList`
// and that each column holds its expected values; `where` names the case.
void expectRun(const query::RunOutcome& outcome, const QStringList& headingList, const QList<Expected>& columns,
               const std::string& where = {});

// One run of a table-driven test and what it should give: the headings and
// columns of a completed run (and its second date when given), or the
// message of a refusal.
struct RunCase {
    query::RunInputs inputs;
    QStringList headings;
    QList<Expected> columns = {};
    QString refusal = {};
    QDate secondDate = {};
};
std::string describe(const query::RunInputs& inputs);
void expectRun(const query::RunOutcome& outcome, const RunCase& expected);
template <typename Store>
void expectRuns(Store& store, const QList<RunCase>& cases)
{
    for (const RunCase& c : cases)
        expectRun(store.run(c.inputs), c);
}

// The inputs of a run with one choice changed.
query::RunInputs inGroup(query::RunInputs inputs, const QString& groupCode);
query::RunInputs onScrips(query::RunInputs inputs, const QList<qint64>& scripCodes);
query::RunInputs inRange(query::RunInputs inputs, query::RangeMeasure measure, double low, double high);
query::RunInputs withNumber2(query::RunInputs inputs, const QString& number2);
query::RunInputs withSecondDate(query::RunInputs inputs, const QDate& secondDate);
query::RunInputs onDay(query::RunInputs inputs, const QDate& firstDate);
