#pragma once

#include "query/branch.h"

#include <QDate>
#include <QString>

// What the queries that list day rows (a row per scrip and day) share: blank
// filler columns that carry a declared type, so their result table is made
// in one pass, and the choice to read a long period scrip by scrip.
namespace query {

// Remakes the one-row work table kFillerRow, whose TEXT column `blank` holds
// the filler value.
inline const QString kFillerRow = QStringLiteral("fillerrow");
void makeFillerRow(store::Database& db);

// The filler columns of `filler()`, taken from kFillerRow (which the select
// must name in its FROM): the same blank values, with a declared type.
QString declaredFiller(int width);
// Declared fillers of the widths first .. first + count - 1, each led by a comma.
QString declaredFillers(int count, int first = 1);

// Whether the day rows of every scrip between the two days (either order)
// are too many to sort at once in memory: such a list is better read scrip by
// scrip in the order shown (through the (scrip, day) index), each scrip's
// days sorted on their own.
// Never with plain statements asked for.
bool readScripByScrip(RunContext& context, const QDate& one, const QDate& other);
// How many day rows are sorted at once; 0 restores the default. Tests lower
// it to have small lists read scrip by scrip.
void setRowsSortedAtOnce(qint64 rows);

}  // namespace query
