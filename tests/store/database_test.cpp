#include "store/database.h"
#include "store/schema.h"
#include "store/storeerror.h"
#include "store/transaction.h"
#include "support/lockprobe.h"
#include "support/teststore.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

using store::ColumnKind;
using store::StoreError;

TEST(Schema, CreatesEveryTableAndIsSafeToRunTwice)
{
    TestStore store;
    for (const QString& table : store::mainTableNames())
        EXPECT_TRUE(store.db().tableExists(table)) << table.toStdString();
    store.db().exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('NIFTY', 'Nifty 50')"));
    store::createMainSchema(store.db());
    EXPECT_EQ(store.db().scalar(QStringLiteral("SELECT count(*) FROM GroupMaster")).toInt(), 1);

    const auto columns = store.db().tableColumns(QStringLiteral("mto"));
    ASSERT_EQ(columns.size(), 12);
    EXPECT_EQ(columns[0].name, QStringLiteral("TransDate"));
    EXPECT_EQ(columns[0].kind, ColumnKind::Date);
    EXPECT_EQ(columns[11].name, QStringLiteral("BSEClPrice"));
    EXPECT_EQ(columns[11].kind, ColumnKind::Real);
}

TEST(Schema, TextKeysCompareWithoutRegardToCase)
{
    TestStore store;
    auto& db = store.db();
    db.exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('Nifty', 'Nifty 50')"));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT GroupName FROM GroupMaster WHERE GroupCode = ?"), {QStringLiteral("NIFTY")})
                  .toString(),
              QStringLiteral("Nifty 50"));
    EXPECT_THROW(db.exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('NIFTY', 'again')")), StoreError);
    // One row per scrip and day.
    db.exec(QStringLiteral("INSERT INTO mto (TransDate, scriptcode) VALUES ('2026-12-04', 1)"));
    EXPECT_THROW(db.exec(QStringLiteral("INSERT INTO mto (TransDate, scriptcode) VALUES ('2026-12-04', 1)")), StoreError);
}

TEST(Database, DatesAndNumbersRoundTripThroughBoundValues)
{
    TestStore store;
    auto& db = store.db();
    db.exec(QStringLiteral("INSERT INTO mto (TransDate, scriptcode, NSETrdQty, NSEScriptCode) VALUES (?, ?, ?, ?)"),
            {QDate(2026, 12, 4), 7, 7, QStringLiteral("O'NEIL")});
    const auto rows = db.query(QStringLiteral("SELECT TransDate, NSETrdQty / 2 AS half, NSEScriptCode FROM mto"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.rows[0][0].toDate(), QDate(2026, 12, 4));
    EXPECT_DOUBLE_EQ(rows.rows[0][1].toDouble(), 3.5);  // never integer division
    EXPECT_EQ(rows.value(0, QStringLiteral("nsescriptcode")).toString(), QStringLiteral("O'NEIL"));
    EXPECT_THROW(db.exec(QStringLiteral("DELETE FROM mto WHERE scriptcode = ?"), {}), StoreError);
}

TEST(Database, OpenExistingRefusesAMissingFileAndNonDatabase)
{
    QTemporaryDir dir;
    store::Database db;
    EXPECT_THROW(db.openExisting(dir.filePath(QStringLiteral("missing.db"))), StoreError);
    QFile junk(dir.filePath(QStringLiteral("junk.db")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    try {
        db.openExisting(junk.fileName());
        FAIL() << "a file that is not a database was opened";
    } catch (const StoreError& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("junk.db")));
    }
    EXPECT_FALSE(db.isOpen());
}

// Any code of the process may open and close the store's files (a dialog
// guessing their type, a copy): the store's locks hold until the store itself
// lets them go.
TEST(Database, StaysLockedWhenItsFilesAreOpenedAndClosedElsewhere)
{
    TestStore store;
    store.db().exec(QStringLiteral("BEGIN IMMEDIATE"));
    store.db().exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('HELD', 'held')"));
    for (const char* suffix : {"", "-wal", "-shm"}) {
        QFile file(store.path() + QLatin1String(suffix));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << suffix;
        file.read(100);
    }
    EXPECT_EQ(writeFromAnotherProcess(store.path()), SQLITE_BUSY);
    store.db().exec(QStringLiteral("COMMIT"));
    EXPECT_EQ(writeFromAnotherProcess(store.path()), SQLITE_OK);
    EXPECT_EQ(store.db().scalar(QStringLiteral("SELECT count(*) FROM GroupMaster")).toInt(), 2);
}

TEST(MakeTable, DeclaresColumnTypesAndKeepsDatesAsDates)
{
    TestStore store;
    auto& db = store.db();
    db.exec(QStringLiteral("INSERT INTO ScripMaster (company, nsescrip, bsescrip) VALUES ('Acme', 'ACME', '500001')"));
    db.exec(QStringLiteral("INSERT INTO mto VALUES ('2026-12-03', 1, 'ACME', '500001', 100, 50, 40, 10, 40, 20, 12.5, 12.6)"));
    db.exec(QStringLiteral("INSERT INTO mto VALUES ('2026-12-04', 1, 'ACME', '500001', 300, 50, 90, 10, 30, 20, 13.5, 13.6)"));
    db.makeTable(QStringLiteral("QueryResult"),
                 QStringLiteral("SELECT s.company AS Scrip, max(m.TransDate) AS LastDay, count(*) AS Days, "
                                "round(avg(m.NSEPerc), 2) AS AvgPerc, space(1) AS \"\u00a0\" "
                                "FROM mto m JOIN ScripMaster s ON s.srno = m.scriptcode GROUP BY s.company"));
    const auto columns = db.tableColumns(QStringLiteral("QueryResult"));
    ASSERT_EQ(columns.size(), 5);
    EXPECT_EQ(columns[0].kind, ColumnKind::Text);
    EXPECT_EQ(columns[1].kind, ColumnKind::Date);
    EXPECT_EQ(columns[2].kind, ColumnKind::Integer);
    EXPECT_EQ(columns[3].kind, ColumnKind::Real);
    EXPECT_EQ(columns[4].name, QStringLiteral("\u00a0"));
    const auto rows = db.query(QStringLiteral("SELECT * FROM QueryResult"));
    EXPECT_EQ(rows.rows[0][1].toDate(), QDate(2026, 12, 4));
    EXPECT_DOUBLE_EQ(rows.rows[0][3].toDouble(), 35.0);

    // A second make-table of the same name fails until the table is dropped.
    EXPECT_THROW(db.makeTable(QStringLiteral("queryresult"), QStringLiteral("SELECT 1 AS x")), StoreError);
    db.dropIfExists(QStringLiteral("QueryResult"));
    db.dropIfExists(QStringLiteral("QueryResult"));
    db.makeTable(QStringLiteral("QueryResult"), QStringLiteral("SELECT 1 AS x, 2 AS x"));
    const auto renamed = db.tableColumns(QStringLiteral("QueryResult"));
    ASSERT_EQ(renamed.size(), 2);
    EXPECT_EQ(renamed[1].name, QStringLiteral("x:1"));
}

TEST(Transaction, RollsBackUnlessCommitted)
{
    TestStore store;
    auto& db = store.db();
    try {
        store::Transaction transaction(db);
        db.exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('A', 'a')"));
        db.exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('A', 'duplicate')"));
        transaction.commit();
    } catch (const StoreError&) {
    }
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM GroupMaster")).toInt(), 0);

    {
        store::Transaction outer(db);
        db.exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('B', 'b')"));
        {
            store::Transaction inner(db);
            db.exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('C', 'c')"));
        }  // inner rolled back
        outer.commit();
    }
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT group_concat(GroupCode) FROM GroupMaster")).toString(),
              QStringLiteral("B"));
}
