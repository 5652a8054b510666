#include "store/database.h"
#include "store/schema.h"
#include "store/storeerror.h"
#include "store/transaction.h"
#include "support/lockprobe.h"
#include "support/teststore.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

using store::StoreError;

namespace {

// A table's columns as "name kind", the kind as I(nteger), R(eal), D(ate), T(ext).
QStringList columns(store::Database& db, const QString& table)
{
    QStringList result;
    for (const store::Column& column : db.tableColumns(table))
        result.append(column.name + " " + QChar("IRDT"[int(column.kind)]));
    return result;
}

QString groupCodes(store::Database& db)
{
    return db.scalar("SELECT group_concat(GroupCode) FROM GroupMaster").toString();
}

}  // namespace

TEST(Schema, CreatesEveryTableIsSafeToRunTwiceAndKeysCompareWithoutCase)
{
    TestStore store;
    auto& db = store.db();
    for (const QString& table : store::mainTableNames())
        EXPECT_TRUE(db.tableExists(table)) << table.toStdString();
    db.exec("INSERT INTO GroupMaster VALUES ('Nifty', 'Nifty 50')");
    store::createMainSchema(db);
    EXPECT_EQ(groupCodes(db), "Nifty");
    const QStringList mto = columns(db, "mto");
    ASSERT_EQ(mto.size(), 12);
    EXPECT_EQ(mto.first(), "TransDate D");
    EXPECT_EQ(mto.last(), "BSEClPrice R");

    EXPECT_EQ(db.scalar("SELECT GroupName FROM GroupMaster WHERE GroupCode = ?", {"NIFTY"}).toString(), "Nifty 50");
    EXPECT_THROW(db.exec("INSERT INTO GroupMaster VALUES ('NIFTY', 'again')"), StoreError);
    // One row per scrip and day.
    db.exec("INSERT INTO mto (TransDate, scriptcode) VALUES ('2026-12-04', 1)");
    EXPECT_THROW(db.exec("INSERT INTO mto (TransDate, scriptcode) VALUES ('2026-12-04', 1)"), StoreError);
}

TEST(Database, DatesAndNumbersRoundTripThroughBoundValues)
{
    TestStore store;
    auto& db = store.db();
    db.exec("INSERT INTO mto (TransDate, scriptcode, NSETrdQty, NSEScriptCode) VALUES (?, ?, ?, ?)",
            {QDate(2026, 12, 4), 7, 7, "O'NEIL"});
    const auto rows = db.query("SELECT TransDate, NSETrdQty / 2 AS half, NSEScriptCode FROM mto");
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.rows[0][0].toDate(), QDate(2026, 12, 4));
    EXPECT_DOUBLE_EQ(rows.rows[0][1].toDouble(), 3.5);  // never integer division
    EXPECT_EQ(rows.value(0, "nsescriptcode").toString(), "O'NEIL");
    EXPECT_THROW(db.exec("DELETE FROM mto WHERE scriptcode = ?", {}), StoreError);
    // Only a store that is there opens (a junk file is refused at start-up).
    store::Database other;
    EXPECT_THROW(other.openExisting(store.folder() + "/missing.db"), StoreError);
}

// Any code of the process may open and close the store's files (a dialog
// guessing their type, a copy): the store's locks hold until the store itself
// lets them go.
TEST(Database, StaysLockedWhenItsFilesAreOpenedAndClosedElsewhere)
{
    TestStore store;
    store.db().exec("BEGIN IMMEDIATE");
    store.db().exec("INSERT INTO GroupMaster VALUES ('HELD', 'held')");
    for (const char* suffix : {"", "-wal", "-shm"}) {
        QFile file(store.path() + suffix);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << suffix;
        file.read(100);
    }
    EXPECT_EQ(writeFromAnotherProcess(store.path()), SQLITE_BUSY);
    store.db().exec("COMMIT");
    EXPECT_EQ(writeFromAnotherProcess(store.path()), SQLITE_OK);
    EXPECT_EQ(groupCodes(store.db()), "HELD,PROBE");
}

TEST(MakeTable, DeclaresColumnTypesKeepsDatesAsDatesAndRefusesAnExistingTable)
{
    TestStore store;
    auto& db = store.db();
    db.exec("INSERT INTO ScripMaster (company, nsescrip, bsescrip) VALUES ('Acme', 'ACME', '500001')");
    db.exec("INSERT INTO mto VALUES ('2026-12-03', 1, 'ACME', '500001', 100, 50, 40, 10, 40, 20, 12.5, 12.6)");
    db.exec("INSERT INTO mto VALUES ('2026-12-04', 1, 'ACME', '500001', 300, 50, 90, 10, 30, 20, 13.5, 13.6)");
    db.makeTable("QueryResult",
                 "SELECT s.company AS Scrip, max(m.TransDate) AS LastDay, count(*) AS Days, "
                 "round(avg(m.NSEPerc), 2) AS AvgPerc, space(1) AS \"\u00a0\" "
                 "FROM mto m JOIN ScripMaster s ON s.srno = m.scriptcode GROUP BY s.company");
    EXPECT_EQ(columns(db, "QueryResult"), QStringList({"Scrip T", "LastDay D", "Days I", "AvgPerc R", "\u00a0 T"}));
    const auto rows = db.query("SELECT * FROM QueryResult");
    EXPECT_EQ(rows.rows[0][1].toDate(), QDate(2026, 12, 4));
    EXPECT_DOUBLE_EQ(rows.rows[0][3].toDouble(), 35.0);

    EXPECT_THROW(db.makeTable("queryresult", "SELECT 1 AS x"), StoreError);
    db.dropIfExists("QueryResult");
    db.dropIfExists("QueryResult");
    db.makeTable("QueryResult", "SELECT 1 AS x, 2 AS x");
    EXPECT_EQ(columns(db, "QueryResult"), QStringList({"x I", "x:1 I"}));
}

TEST(Transaction, RollsBackUnlessCommitted)
{
    TestStore store;
    auto& db = store.db();
    try {
        store::Transaction transaction(db);
        db.exec("INSERT INTO GroupMaster VALUES ('A', 'a')");
        db.exec("INSERT INTO GroupMaster VALUES ('A', 'duplicate')");
        transaction.commit();
    } catch (const StoreError&) {
    }
    EXPECT_EQ(groupCodes(db), QString());
    {
        store::Transaction outer(db);
        db.exec("INSERT INTO GroupMaster VALUES ('B', 'b')");
        {
            store::Transaction inner(db);
            db.exec("INSERT INTO GroupMaster VALUES ('C', 'c')");
        }  // inner rolled back
        outer.commit();
    }
    EXPECT_EQ(groupCodes(db), "B");
}
