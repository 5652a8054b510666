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
        db().exec("INSERT INTO ScripMaster (company, nsescrip, bsescrip) VALUES "
                  "('Zeta', 'ZETA', ''), ('alpha', 'ALPHA', '1'), ('Beta', 'BETA', '2')");
    }
    store::Database& db() { return store.db(); }
    static QString company(const Recordset& set) { return set.value("company").toString(); }
    QString stored(int srno) { return db().scalar("SELECT company FROM ScripMaster WHERE srno = ?", {srno}).toString(); }
    TestStore store;
};

TEST_F(RecordsetTest, MovesFindsFiltersAndSortsWithBofAndEof)
{
    auto set = Recordset::fromTable(db(), "ScripMaster", "ORDER BY company");
    ASSERT_EQ(set.recordCount(), 3);
    EXPECT_EQ(set.value("Company").toString(), "alpha");
    set.movePrevious();
    EXPECT_TRUE(set.bof());
    EXPECT_THROW(company(set), store::StoreError);
    set.moveLast();
    EXPECT_EQ(company(set), "Zeta");
    set.moveNext();
    EXPECT_TRUE(set.eof());
    EXPECT_THROW(set.value("nosuchfield"), store::StoreError);

    auto query = Recordset::fromQuery(db(), "SELECT * FROM ScripMaster");
    EXPECT_TRUE(query.find("nsescrip", "beta"));
    EXPECT_EQ(company(query), "Beta");
    EXPECT_FALSE(query.find("nsescrip", "ALPHA", query.position() + 1));
    EXPECT_TRUE(query.eof());
    query.setSort({{"company", false}});
    EXPECT_EQ(company(query), "Zeta");
    const int bse = query.fieldIndex("bsescrip");
    query.setFilter([bse](const Recordset&, const Recordset::Row& row) { return !row[bse].toString().isEmpty(); });
    ASSERT_EQ(query.recordCount(), 2);
    EXPECT_EQ(company(query), "Beta");
    query.clearFilter();
    EXPECT_EQ(query.recordCount(), 3);
    EXPECT_THROW(query.addNew(), store::StoreError);  // a query's rows are read-only
}

TEST_F(RecordsetTest, AddUpdateDeleteWriteThrough)
{
    auto set = Recordset::fromTable(db(), "ScripMaster", "ORDER BY srno");
    set.addNew();
    set.setValue("company", "O'Neil");
    set.setValue("nsescrip", "ONEIL");
    set.update();
    EXPECT_EQ(set.value("srno").toLongLong(), 4);  // numbered by the table
    EXPECT_EQ(stored(4), "O'Neil");

    set.moveFirst();
    set.edit();
    set.setValue("company", "Zeta Ltd");
    set.cancelUpdate();
    EXPECT_EQ(company(set), "Zeta");
    set.setValue("company", "Zeta Ltd");
    set.update();
    EXPECT_EQ(stored(1), "Zeta Ltd");

    set.deleteCurrent();
    EXPECT_EQ(set.recordCount(), 3);
    EXPECT_EQ(company(set), "alpha");
    EXPECT_EQ(db().scalar("SELECT count(*) FROM ScripMaster").toInt(), 3);
    // A deleted number is never given again.
    set.moveLast();
    set.deleteCurrent();
    set.addNew();
    set.setValue("company", "New");
    set.update();
    EXPECT_EQ(set.value("srno").toLongLong(), 5);
}

TEST_F(RecordsetTest, ModelShowsVisibleRowsAndDisplayDates)
{
    db().exec("INSERT INTO mto (TransDate, scriptcode, NSEClPrice) VALUES ('2026-12-04', 1, 12.5)");
    auto set = Recordset::fromQuery(db(), "SELECT TransDate, NSEClPrice FROM mto");
    store::RecordsetModel model;
    model.setRecordset(&set);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "TransDate");
    EXPECT_EQ(model.index(0, 0).data().toString(), "04/Dec/2026");
    EXPECT_EQ(model.index(0, 1).data().toString(), "12.5");
}

}  // namespace
