#include "support/resultcolumns.h"

#include <gtest/gtest.h>

QStringList texts(const query::RunOutcome& outcome, const QString& column)
{
    QStringList values;
    const int index = outcome.rows.columnIndex(column);
    for (const auto& row : outcome.rows.rows)
        values.append(index < 0 ? QStringLiteral("<no column %1>").arg(column) : row.at(index).toString());
    return values;
}

QList<double> numbers(const query::RunOutcome& outcome, const QString& column)
{
    QList<double> values;
    const int index = outcome.rows.columnIndex(column);
    for (const auto& row : outcome.rows.rows)
        values.append(index < 0 ? -999999 : row.at(index).toDouble());
    return values;
}

QStringList headings(const query::RunOutcome& outcome)
{
    QStringList names;
    for (const auto& column : outcome.rows.columns)
        names.append(column.name);
    return names;
}

void expectRun(const query::RunOutcome& outcome, const QStringList& headingList, const QList<Expected>& columns,
               const std::string& where)
{
    ASSERT_EQ(outcome.status, query::RunStatus::Completed) << where << ": " << outcome.message.toStdString();
    EXPECT_EQ(headings(outcome).mid(0, headingList.size()), headingList) << where;
    for (const Expected& expected : columns) {
        const std::string column = where + " [" + expected.column.toStdString() + "]";
        if (const auto* values = std::get_if<Texts>(&expected.values))
            EXPECT_EQ(texts(outcome, expected.column), *values) << column;
        else
            EXPECT_EQ(numbers(outcome, expected.column), std::get<Numbers>(expected.values)) << column;
    }
}

std::string describe(const query::RunInputs& in)
{
    return (in.label + QLatin1Char(' ') + query::exchangeName(in.exchange) + QStringLiteral(" [%1] [%2] %3")
                                                                               .arg(in.numberText, in.number2Text, in.groupCode))
        .toStdString();
}

void expectRun(const query::RunOutcome& outcome, const RunCase& expected)
{
    if (expected.refusal.isEmpty()) {
        expectRun(outcome, expected.headings, expected.columns, describe(expected.inputs));
        if (expected.secondDate.isValid()) {
            EXPECT_EQ(outcome.state.secondDate, expected.secondDate) << describe(expected.inputs);
        }
        return;
    }
    EXPECT_EQ(outcome.status, query::RunStatus::Refused) << describe(expected.inputs);
    EXPECT_EQ(outcome.message, expected.refusal) << describe(expected.inputs);
}

query::RunInputs inGroup(query::RunInputs inputs, const QString& groupCode)
{
    inputs.groupCode = groupCode;
    return inputs;
}

query::RunInputs onScrips(query::RunInputs inputs, const QList<qint64>& scripCodes)
{
    inputs.scripCodes = scripCodes;
    return inputs;
}

query::RunInputs inRange(query::RunInputs inputs, query::RangeMeasure measure, double low, double high)
{
    inputs.range(measure) = {true, low, high};
    return inputs;
}

query::RunInputs withNumber2(query::RunInputs inputs, const QString& number2)
{
    inputs.number2Text = number2;
    return inputs;
}

query::RunInputs withSecondDate(query::RunInputs inputs, const QDate& secondDate)
{
    inputs.secondDate = secondDate;
    return inputs;
}

query::RunInputs onDay(query::RunInputs inputs, const QDate& firstDate)
{
    inputs.firstDate = firstDate;
    return inputs;
}
