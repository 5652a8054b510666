#pragma once

#include "query/sql.h"

#include <QByteArray>
#include <QDate>
#include <functional>
#include <vector>

namespace store {
class Database;
}

namespace query {

class StatementReader;

// Reading the day rows of a window of trading days in shares, each share on
// a read connection of its own and a thread of its own, so that a long
// window is read by several cores at once. Every share reads its rows day by
// day in the order of the day index; a statement that reads a share names
// the days through daysOfWindow().
namespace windowreading {

// The trading days of mto from `from` to `to` as the table summary_days
// (column day), oldest first or newest first: one index seek per day. A
// statement that joins it CROSS JOIN mto on mto.TransDate = summary_days.day
// reads the window day by day. The rows of summary_days run one past the
// window's end: the joining statement also tests the day against the end
// (withinWindow()).
Sql daysOfWindow(const QVariant& from, const QVariant& to, bool newestFirst = false);
// " AND summary_days.day <= to" (>= from, newest first).
Sql withinWindow(const QVariant& from, const QVariant& to, bool newestFirst = false);

// The trading days of mto between `from` and `to`, oldest first, as stored.
std::vector<QByteArray> tradingDays(store::Database& db, const QDate& from, const QDate& to);

// The lowest and highest scrip code of mto.
struct ScripRange {
    qint64 low = 0;
    qint64 high = -1;
    qint64 count() const { return high >= low ? high - low + 1 : 0; }
};
ScripRange scripRange(store::Database& db);
// " AND <column> BETWEEN a AND b": share `part` of `parts` of the scrips.
Sql scripShare(const QString& column, const ScripRange& range, int part, int parts);

// What a share's statement reads: any table, or only tables that no query
// writes (mto and the masters), which read connections see as this one does
// even while its transaction has written work tables.
enum class Reading { AnyTable, MarketTables };

// How many shares to read about `rows` day rows in: one per 150,000 rows
// (rowsPerShare()), at most one per core this process may run on (8 at
// most), and one when other connections cannot read what this one sees (a
// store in memory or not in WAL mode, or a transaction that has written,
// unless only market tables are read).
int shareCount(store::Database& db, double rows, Reading reading = Reading::AnyTable);
double rowsPerShare();
// Tests read small windows in many shares by lowering it; 0 restores it.
void setRowsPerShare(double rows);

// Reads share 0 .. shares - 1 of a window: `statementOf(part, parts)` on a
// read connection of its own, its rows handed to `consume(part, rows)` on
// the share's thread, after `prepare(parts)` has made room for the parts.
// With one share, or when a read connection cannot be opened, everything is
// read as one share on `db` itself (prepare(1) again). Returns the shares
// read; an error of a statement goes to `error`.
int readShares(store::Database& db, int shares, const std::function<void(int parts)>& prepare,
               const std::function<Sql(int part, int parts)>& statementOf,
               const std::function<void(int part, StatementReader& rows)>& consume, QString& error);

}  // namespace windowreading

}  // namespace query
