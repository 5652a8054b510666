#pragma once

#include "store/database.h"

#include <QString>
#include <QVariant>

// Number patterns of the printed layouts, in the style the layouts were
// designed with: '#' an optional digit, '0' a required digit, ',' a digit
// group separator whose positions give the group sizes ("#,##,###" groups
// the Indian way: 12,34,567), '.' the decimal point.
namespace reports {

inline const QString kWholeNumberPattern = QStringLiteral("#,##,###");
inline const QString kDecimalNumberPattern = QStringLiteral("#,##,###.##");

// `value` written with `pattern`. At least one integer digit is always
// written, so zero prints as "0", not as nothing; a decimal point with no
// digits after it is left out.
QString formatNumber(double value, const QString& pattern);

// The text of one report cell: empty for a null value, dates as dd/MMM/yyyy,
// numbers of the numeric kinds through `pattern` (as they come when the
// pattern is empty), anything else as its text.
QString formatCell(const QVariant& value, store::ColumnKind kind, const QString& pattern);

}  // namespace reports
