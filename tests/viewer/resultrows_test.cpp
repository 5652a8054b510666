// The viewer's rows kept in the store: the copy that outlives the result
// table, the positions read a page at a time, the order of a header sort and
// the filter; and the workbook written row after row.
#include "viewer/resultrows.h"
#include "viewer/workbook.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using viewer::ResultRows;

class ResultRowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.open(folder.filePath("rows.db"));
        db.exec("CREATE TABLE QueryResult (stock TEXT COLLATE NOCASE, qty REAL, TransDate DATE)");
        // Row i: stock from the list, quantity i (none on every seventh), a day.
        const QStringList stocks = {"beta", "Alpha", "alpha", "Gamma", "BETA"};
        for (int i = 1; i <= 1500; ++i)
            db.exec("INSERT INTO QueryResult VALUES (?, ?, ?)",
                    {stocks[i % 5], i % 7 == 0 ? QVariant() : QVariant(i * 1.0), QDate(2026, 1, 1).addDays(i % 30)});
    }
    QStringList column(const ResultRows& rows, int column, int count)
    {
        QStringList values;
        for (int position = 0; position < count; ++position)
            values.append(rows.row(position).value(column).toString());
        return values;
    }

    QTemporaryDir folder;
    store::Database db;
};

}  // namespace

TEST_F(ResultRowsTest, TheCopyOutlivesTheResultAndIsReadInPages)
{
    for (const char* setUp : {"", "DELETE FROM QueryResult WHERE rowid = 3"}) {
        if (*setUp)
            db.exec(setUp);  // a gap in the row numbers: the copy numbers the rows afresh
        ResultRows rows(db);
        rows.load("select * from QueryResult");
        const qint64 count = db.scalar("SELECT count(*) FROM QueryResult").toLongLong();
        db.exec("ALTER TABLE QueryResult RENAME TO Gone");
        ASSERT_EQ(rows.count(), count);
        EXPECT_EQ(rows.columns().at(2).kind, store::ColumnKind::Date);
        // Across the pages, in the order read.
        for (const qint64 position : {qint64(0), qint64(511), qint64(512), count - 1})
            EXPECT_EQ(rows.row(position), db.query("SELECT * FROM Gone LIMIT 1 OFFSET ?", {position}).rows.first());
        EXPECT_TRUE(rows.row(count).isEmpty());
        qint64 visited = 0;
        rows.forEach([&visited](const QVariantList&) { ++visited; }, 1000);
        EXPECT_EQ(visited, count - 1000);
        db.exec("ALTER TABLE Gone RENAME TO QueryResult");
    }
    // The table goes with the rows.
    EXPECT_FALSE(db.tableExists(ResultRows::kShownTable));
}

TEST_F(ResultRowsTest, AnySelectIsCopiedInItsOrderAndARefusedOneLeavesNothing)
{
    ResultRows rows(db);
    rows.load("select stock, qty * 2 as twice, '2026-02-0' || (rowid % 9 + 1) as day from QueryResult"
              " where qty > 1490 order by qty desc");
    EXPECT_EQ(rows.count(), 8);
    EXPECT_EQ(rows.row(0), (QVariantList{"beta", 3000.0, QDate(2026, 2, 7)}));
    EXPECT_EQ(rows.columns().at(2).kind, store::ColumnKind::Date);
    EXPECT_THROW(rows.load("select * from NoSuchTable"), store::StoreError);
    EXPECT_EQ(rows.count(), 0);
    EXPECT_TRUE(rows.columns().isEmpty());
}

TEST_F(ResultRowsTest, HeaderOrderAndFilterRunOverEveryRow)
{
    ResultRows rows(db);
    rows.load("select * from QueryResult");
    // Text without regard to case, ties in the order read; empty cells first.
    rows.show(std::nullopt, viewer::SortKey{0, true});
    EXPECT_EQ(column(rows, 0, 3), (QStringList{"Alpha", "alpha", "Alpha"}));
    EXPECT_EQ(column(rows, 1, 3), (QStringList{"1", "2", "6"}));
    rows.show(std::nullopt, viewer::SortKey{1, true});
    EXPECT_EQ(column(rows, 1, 2), (QStringList{"", ""}));
    rows.show(std::nullopt, viewer::SortKey{1, false});
    EXPECT_EQ(column(rows, 1, 2), (QStringList{"1500", "1499"}));
    EXPECT_EQ(rows.row(rows.count() - 1).value(1), QVariant());

    viewer::ResultFilter filter;
    filter.append(viewer::FilterJoiner::And, *viewer::makeCondition(rows.columns()[0], 0, viewer::FilterOperator::Equal, "BETA"));
    filter.append(viewer::FilterJoiner::And, *viewer::makeCondition(rows.columns()[1], 1, viewer::FilterOperator::Greater, "1400"));
    rows.show(filter, viewer::SortKey{1, false});
    // beta and BETA (i % 5 of 1 and 4) above 1400, less the sevenths.
    EXPECT_EQ(rows.count(), 35);
    EXPECT_EQ(column(rows, 1, 2), (QStringList{"1500", "1499"}));
    rows.show(std::nullopt, std::nullopt);
    EXPECT_EQ(rows.count(), 1500);
    EXPECT_EQ(rows.row(0).value(1), 1.0);
}

TEST(SheetStreamTest, RowsGoInOrderAndOnlyAFinishedWorkbookIsLeft)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("out.xlsx");
    {
        viewer::SheetStream sheet(path, "Sheet1");
        sheet.setValue(1, 1, "stock");
        sheet.setBold(1, 1, 2);
        sheet.setValue(2, 2, QDate(2026, 1, 5));
        EXPECT_THROW(sheet.setValue(1, 3, 5), viewer::WorkbookError);
    }
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(QFile::exists(path + ".part"));

    viewer::SheetStream sheet(path, "Sheet1");
    sheet.setValue(1, 1, "stock");
    sheet.setBold(1, 1, 2);
    sheet.setValue(3, 2, 2.5);
    sheet.finish();
    const viewer::WorkbookSheet read = viewer::Workbook::read(path).sheets().first();
    EXPECT_EQ(read.value(1, 1).toString(), "stock");
    EXPECT_TRUE(read.isBold(1, 1));
    EXPECT_EQ(read.value(3, 2).toDouble(), 2.5);
    EXPECT_EQ(read.lastRow(), 3);
}
