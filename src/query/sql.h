#pragma once

#include "store/database.h"

#include <QString>
#include <QVariant>

struct sqlite3;

namespace query {

// A fragment of SQL text with the values bound to its '?' marks, in order.
// Fragments are joined with + so that a fragment built once (a group filter, a
// range condition) carries its own values into every statement it goes into.
struct Sql {
    QString text;
    store::Params params;

    Sql() = default;
    Sql(const char* fragment) : text(QString::fromUtf8(fragment)) {}
    Sql(const QString& fragment) : text(fragment) {}

    // One bound value: the text "?" carrying `value`.
    static Sql value(const QVariant& value);

    bool isBlank() const { return text.trimmed().isEmpty(); }

    Sql& operator+=(const Sql& other);
    friend Sql operator+(Sql left, const Sql& right) { return left += right; }
};

// The filler column "space(1) as <name>", the name made of `width` no-break
// spaces. Result lists end with fillers of growing width (1, 2, 3 ...); the
// viewer and the printed layouts treat them as blank columns.
QString filler(int width);
// Fillers of the widths first .. first + count - 1, each led by a comma.
QString fillers(int count, int first = 1);

// The statement with every bound value written in as an SQL literal (text
// quoted with its quotes doubled, dates as 'yyyy-MM-dd'): the text kept as the
// last query's statement, which store::Database::makeTable can run again.
QString withLiterals(const Sql& sql);


}  // namespace query
