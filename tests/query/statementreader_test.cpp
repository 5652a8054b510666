// Reading stored values without QVariants: days as the date module reads
// them, and each value as SQLite holds it.

#include "query/statementreader.h"
#include "store/database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

TEST(StatementReader, ReadsStoredDaysAsTheDateModuleDoes)
{
    store::Database db;
    db.open(QStringLiteral(":memory:"));
    const struct {
        const char* value;  // an SQL literal
        QDate day;          // null: no day
    } cases[] = {
        {"'2024-01-05'", QDate(2024, 1, 5)},
        {"'1999-12-31'", QDate(1999, 12, 31)},
        {"'2024-02-29'", QDate(2024, 2, 29)},
        {"'2023-02-29'", QDate()},   // no such day
        {"'2024-13-01'", QDate()},
        {"'2024-1-05'", QDate()},    // the month in two digits only
        {"'2024-01-05 10:00'", QDate()},
        {"' 2024-01-05'", QDate()},
        {"'2024/01/05'", QDate()},
        {"'05/Jan/2024'", QDate()},
        {"20240105", QDate()},       // a number is no stored day
        {"NULL", QDate()},
    };
    for (const auto& c : cases) {
        query::StatementReader rows(db.handle(), query::Sql(QStringLiteral("SELECT %1").arg(QLatin1String(c.value))));
        ASSERT_TRUE(rows.next()) << c.value;
        EXPECT_EQ(rows.day(0), c.day) << c.value;
    }
}

TEST(StatementReader, GivesEachValueWithItsType)
{
    store::Database db;
    db.open(QStringLiteral(":memory:"));
    query::StatementReader rows(db.handle(), query::Sql("SELECT 12.5, 7, 'NSE  ', x'00ff', NULL"));
    ASSERT_TRUE(rows.next());
    EXPECT_EQ(rows.value(0).type(), SQLITE_FLOAT);
    EXPECT_EQ(rows.value(0).real(), 12.5);
    EXPECT_EQ(rows.value(1).type(), SQLITE_INTEGER);
    EXPECT_EQ(rows.value(1).integer(), 7);
    EXPECT_EQ(rows.value(2).type(), SQLITE_TEXT);
    EXPECT_EQ(rows.value(2).view(), QByteArrayView("NSE  "));
    EXPECT_EQ(rows.value(3).type(), SQLITE_BLOB);
    EXPECT_EQ(rows.value(3).view(), QByteArrayView("\x00\xff", 2));
    EXPECT_EQ(rows.value(4).type(), SQLITE_NULL);
    EXPECT_FALSE(rows.next());
}

}  // namespace
