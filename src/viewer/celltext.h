#pragma once

#include "store/database.h"

#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <array>

namespace query {
class RowValue;
}

// How the result grid writes its values. Its cells and the pass that finds
// each column's widest values (ResultRows::widestTexts) write them with the
// same functions, so that the width a column is given is that of the text it
// shows.
namespace viewer {

// Room for any number as the grid writes it.
using NumberText = std::array<char, 32>;

// A number as the grid writes it: a whole number below 10^15 in full, any
// other with at most 15 significant digits ("1234567.25", "0.333333333333333",
// "1e+15"). Returns the characters written into `buffer`.
QByteArrayView writeNumber(double value, NumberText& buffer);
QByteArrayView writeNumber(qint64 value, NumberText& buffer);

// The text the grid shows for `value`, as the store reads it for a column of
// `kind`: numbers as writeNumber writes them, days as dd/MMM/yyyy, any other
// value as it is; empty for an empty cell.
QString cellText(const QVariant& value, store::ColumnKind kind);

// The same for a value as SQLite holds it, without making a QVariant of it:
// a number is written into `buffer`, text is handed back as it is stored.
// A day therefore comes back as it is stored (yyyy-MM-dd), which
// datetext::storageToDisplay writes as the grid does. Empty for an empty cell.
QByteArrayView storedCellText(const query::RowValue& value, store::ColumnKind kind, NumberText& buffer);

}  // namespace viewer
