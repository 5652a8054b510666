#include "store/recordset.h"
#include "store/recordsetmodel.h"
#include "store/storeerror.h"
#include "support/teststore.h"

#include <gtest/gtest.h>

using store::Recordset;

namespace {

class RecordsetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto& db = store.db();
        db.exec(QStringLiteral("INSERT INTO ScripMaster (company, nsescrip, bsescrip) VALUES ('Zeta', 'ZETA', '')"));
        db.exec(QStringLiteral("INSERT INTO ScripMaster (company, nsescrip, bsescrip) VALUES ('alpha', 'ALPHA', '1')"));
        db.exec(QStringLiteral("INSERT INTO ScripMaster (company, nsescrip, bsescrip) VALUES ('Beta', 'BETA', '2')"));
    }
    TestStore store;
};

TEST_F(RecordsetTest, MovesThroughRowsWithBofAndEof)
{
    auto set = Recordset::fromTable(store.db(), QStringLiteral("ScripMaster"), QStringLiteral("ORDER BY company"));
    ASSERT_EQ(set.recordCount(), 3);
    EXPECT_EQ(set.value(QStringLiteral("Company")).toString(), QStringLiteral("alpha"));
    set.movePrevious();
    EXPECT_TRUE(set.bof());
    EXPECT_THROW(set.value(QStringLiteral("company")), store::StoreError);
    set.moveLast();
    EXPECT_EQ(set.value(QStringLiteral("company")).toString(), QStringLiteral("Zeta"));
    set.moveNext();
    EXPECT_TRUE(set.eof());
    EXPECT_THROW(set.value(QStringLiteral("nosuchfield")), store::StoreError);
}

TEST_F(RecordsetTest, FindFilterAndSort)
{
    auto set = Recordset::fromQuery(store.db(), QStringLiteral("SELECT * FROM ScripMaster"));
    EXPECT_TRUE(set.find(QStringLiteral("nsescrip"), QStringLiteral("beta")));
    EXPECT_EQ(set.value(QStringLiteral("company")).toString(), QStringLiteral("Beta"));
    EXPECT_FALSE(set.find(QStringLiteral("nsescrip"), QStringLiteral("ALPHA"), set.position() + 1));
    EXPECT_TRUE(set.eof());

    set.setSort({{QStringLiteral("company"), false}});
    EXPECT_EQ(set.value(QStringLiteral("company")).toString(), QStringLiteral("Zeta"));
    const int bse = set.fieldIndex(QStringLiteral("bsescrip"));
    set.setFilter([bse](const Recordset&, const Recordset::Row& row) { return !row[bse].toString().isEmpty(); });
    ASSERT_EQ(set.recordCount(), 2);
    EXPECT_EQ(set.value(QStringLiteral("company")).toString(), QStringLiteral("Beta"));
    set.clearFilter();
    EXPECT_EQ(set.recordCount(), 3);
    EXPECT_THROW(set.addNew(), store::StoreError);  // a query's rows are read-only
}

TEST_F(RecordsetTest, AddUpdateDeleteWriteThrough)
{
    auto& db = store.db();
    auto set = Recordset::fromTable(db, QStringLiteral("ScripMaster"), QStringLiteral("ORDER BY srno"));
    set.addNew();
    set.setValue(QStringLiteral("company"), QStringLiteral("O'Neil"));
    set.setValue(QStringLiteral("nsescrip"), QStringLiteral("ONEIL"));
    set.update();
    EXPECT_EQ(set.value(QStringLiteral("srno")).toLongLong(), 4);  // numbered by the table
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT company FROM ScripMaster WHERE srno = 4")).toString(),
              QStringLiteral("O'Neil"));

    set.moveFirst();
    set.edit();
    set.setValue(QStringLiteral("company"), QStringLiteral("Zeta Ltd"));
    set.cancelUpdate();
    EXPECT_EQ(set.value(QStringLiteral("company")).toString(), QStringLiteral("Zeta"));
    set.setValue(QStringLiteral("company"), QStringLiteral("Zeta Ltd"));
    set.update();
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT company FROM ScripMaster WHERE srno = 1")).toString(),
              QStringLiteral("Zeta Ltd"));

    set.deleteCurrent();
    EXPECT_EQ(set.recordCount(), 3);
    EXPECT_EQ(set.value(QStringLiteral("company")).toString(), QStringLiteral("alpha"));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM ScripMaster")).toInt(), 3);

    // A deleted number is never given again.
    set.moveLast();
    set.deleteCurrent();
    set.addNew();
    set.setValue(QStringLiteral("company"), QStringLiteral("New"));
    set.update();
    EXPECT_EQ(set.value(QStringLiteral("srno")).toLongLong(), 5);
}

TEST_F(RecordsetTest, ModelShowsVisibleRowsAndDisplayDates)
{
    store.db().exec(QStringLiteral("INSERT INTO mto (TransDate, scriptcode, NSEClPrice) VALUES ('2026-12-04', 1, 12.5)"));
    auto set = Recordset::fromQuery(store.db(), QStringLiteral("SELECT TransDate, NSEClPrice FROM mto"));
    store::RecordsetModel model;
    model.setRecordset(&set);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("TransDate"));
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("04/Dec/2026"));
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QStringLiteral("12.5"));
}

}  // namespace
