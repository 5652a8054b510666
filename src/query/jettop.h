#pragma once

#include "query/sql.h"

#include <QList>
#include <QString>

namespace query {

// One column of a result: its expression and its heading.
struct ResultColumn {
    QString expression;
    QString heading;
};

// The filler columns of widths first .. first + count - 1 as result columns.
QList<ResultColumn> fillerColumns(int count, int first = 1);

// "select top n ... order by key" with Jet's meaning: every row tied with
// the n-th on the key is kept, so more than n rows can come back. Rows that
// tie on the key are listed by `tieHeading` (a heading of `columns`).
// `fromWhere` is the statement's FROM clause with its conditions.
Sql jetTop(int n, const QList<ResultColumn>& columns, const Sql& fromWhere, const QString& orderKey, bool descending,
           const QString& tieHeading);

}  // namespace query
