#pragma once

#include "query/queryengine.h"

#include <QList>
#include <QStringList>

// Reading a query's result in tests: one column's values by heading (without
// regard to case), and the headings in order.
QStringList texts(const query::RunOutcome& outcome, const QString& column);
QList<double> numbers(const query::RunOutcome& outcome, const QString& column);
QStringList headings(const query::RunOutcome& outcome);
