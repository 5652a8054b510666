#pragma once

#include "query/sql.h"
#include "store/database.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace query {

// Drops the work table `name` when it exists and makes it again with the
// declared `columns`, filled from `select` inside the store: the rows never
// travel through memory, so large day tables are made quickly. The select
// must give its columns in the declared order.
void remakeWorkTable(store::Database& db, const QString& name, const QList<store::Column>& columns,
                     const Sql& select);

// remakeWorkTable() for a select that reads a long window: share `part` of
// `parts` of the rows comes from `shareOf(part, parts)`, each share read on a
// connection and thread of its own (windowreading::readShares), and the rows
// go into the table share after share, so the table holds them in the order
// of the shares. With plain statements asked for, one share.
void remakeWorkTableInShares(store::Database& db, const QString& name, const QList<store::Column>& columns,
                             int shares, const std::function<Sql(int part, int parts)>& shareOf);

// Drops the work table `name` and makes it from `select`, column types taken
// from the rows (store::Database::makeTable); for small tables.
void remakeTable(store::Database& db, const QString& name, const Sql& select);

// Indexes the work table `name` ("temp.<table>" for a temporary one) on its
// columns `keys`, in order. A statement that joins the table on them then
// looks up each row of the other side instead of reading the whole table
// for it, which costs the product of the two tables' sizes: four times the
// time for twice the scrips. No keys, no index.
void indexWorkTable(store::Database& db, const QString& name, const QStringList& keys);

// Makes the new table `name` from `select` as store::Database::makeTable
// does (the same column names, declared types and values, and the error
// when the table exists), the rows copied inside the store instead of
// through memory: for results of any size.
void makeResultTable(store::Database& db, const QString& name, const Sql& select);

// While it lives, the connection's sorts use its helper threads and spill
// to temporary files (SQLite's sorter takes helper threads only then), and
// go back to memory after: a sort of millions of wide rows then takes a
// fraction of the time and a bounded amount of memory. Nothing changes
// when the connection has a temporary database open, as its temporary
// storage cannot change inside a transaction then.
class SortsInFiles {
public:
    explicit SortsInFiles(store::Database& db);
    ~SortsInFiles();
    SortsInFiles(const SortsInFiles&) = delete;
    SortsInFiles& operator=(const SortsInFiles&) = delete;

private:
    store::Database& m_db;
    bool m_switched = false;
    qint64 m_cacheSize = 0;
};

// Closes the connection's temporary database, and with it every temporary
// table, when no transaction is open: a temporary table left by an earlier
// run would otherwise keep the next run's large sorts in memory.
void closeTemporaryDatabase(store::Database& db);

}  // namespace query
