#include "support/resultcolumns.h"

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
