#include "import/xlsfixture.h"
#include "import/xlsimporter.h"
#include "import/xlssheet.h"
#include "support/teststore.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace import;

TEST(XlsImport, WritesOneRowPerSheetRowWithAQuantity)
{
    TestStore store;
    store.db().exec("INSERT INTO ScripMaster (srno, company, nsescrip) VALUES (7, 'Abcde', 'ABCDE'), "
                    "(8, 'Bolt', ' bolt '), (9, 'Quote', 'O''NEIL'), (10, 'Zeta', 'ZETA'), (11, 'U', 'ÜNÏ')");
    // A sheet row: column B the symbol cell, L the price, M the quantity in thousands.
    auto sheetRow = [](const QVariant& symbol, const QVariant& price, const QVariant& quantity) {
        return QVariantList{"x", symbol} + QVariantList(9) + QVariantList{price, quantity};
    };
    // The sheet is found by its name in any letter case, not by its place.
    const QString path = store.folder() + "/book.xls";
    ASSERT_TRUE(writeXlsFixture(path, {{"Other", {{"not this one"}}},
                                       {"SHEET1",
                                        {sheetRow("Symbol", "Close", "Qty"), sheetRow("ABCDE-EQ1", 123.45, 12.5),
                                         sheetRow("BOLT-EQ1", QVariant(), 3),  // no price: 0
                                         sheetRow("O'NEIL-EQ1", "45.5", "2"),  // figures as text
                                         sheetRow("ZETA-EQ1", 10, 0),          // no quantity: passed over
                                         sheetRow("ZETA-EQ1", 10, QVariant()), sheetRow("ZETA-EQ1", 10, "abc"),
                                         sheetRow("UNKNOWN-EQ1", 10, -4), sheetRow("ünï-EQ1", 1, 1)}}}));
    EXPECT_EQ(XlsImporter(store.db()).importSheet(path, QDate(2024, 4, 2)).message, "Updation Over\n4 rows written.");
    QStringList stored;
    for (const auto& row : store.db().query("SELECT TransDate, scriptcode, NSEScriptCode, BSEScriptCode, "
                                            "typeof(BSEScriptCode), NSETrdQty, BSETrdQty, NSEDelyQty, BSEDelyQty, "
                                            "NSEPerc, BSEPerc, NSEClPrice, BSEClPrice FROM mto ORDER BY scriptcode")
                               .rows) {
        QStringList values;
        for (const QVariant& value : row)
            values.append(value.toString());
        stored.append(values.join(QLatin1Char('|')));
    }
    EXPECT_EQ(stored, (QStringList{"2024-04-02|7|ABCDE|0|text|12500|0|0|0|0|0|123.45|0",
                                   "2024-04-02|8|BOLT|0|text|3000|0|0|0|0|0|0|0",
                                   "2024-04-02|9|O'NEIL|0|text|2000|0|0|0|0|0|45.5|0",
                                   "2024-04-02|11|ünï|0|text|1000|0|0|0|0|0|1|0"}));

    // The sheet as read: its size, and a cell beyond it reads as empty.
    XlsSheet sheet;
    ASSERT_TRUE(sheet.read(path, "sheet1", nullptr));
    EXPECT_EQ(sheet.rowCount(), 9);
    EXPECT_EQ(sheet.columnCount(), 13);
    EXPECT_TRUE(sheet.cell(9, 13).isEmpty());
}

namespace {

// A store with two scrips and the sheet rows given as symbol, price and
// quantity cells (columns B, L and M) below a heading row.
class XlsRows : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.db().exec("INSERT INTO ScripMaster (srno, company, nsescrip) VALUES (7, 'Abcde', 'ABCDE'), "
                        "(8, 'Bolt', 'BOLT'), (9, 'Cord', 'CORD')");
    }
    XlsImportOutcome import(const QList<QVariantList>& rows)
    {
        QList<QVariantList> cells{QVariantList(13, "head")};
        for (const QVariantList& given : rows)
            cells.append(QVariantList{QVariant(), given[0]} + QVariantList(9) + given.mid(1));
        EXPECT_TRUE(writeXlsFixture(store.folder() + "/book.xls", {{"sheet1", cells}}));
        return XlsImporter(store.db()).importSheet(store.folder() + "/book.xls", day);
    }
    QStringList stored()
    {
        QStringList rows;
        for (const auto& row : store.db().query("SELECT scriptcode, NSETrdQty, NSEClPrice FROM mto ORDER BY rowid").rows)
            rows.append(row[0].toString() + "|" + row[1].toString() + "|" + row[2].toString());
        return rows;
    }
    TestStore store;
    const QDate day{2024, 4, 2};
};

}  // namespace

// Rows that cannot be stored are skipped and named; the others are written.
TEST_F(XlsRows, RefusedRowsAreSkippedAndNamedTheOthersWritten)
{
    const XlsImportOutcome outcome = import({{"ABCDE-EQ1", 10, 1},
                                             {"NOSUCH-EQ1", 1, 1},
                                             {"BOLT-EQ1", -5, 2},
                                             {"abcde-EQ2", 11, 3},
                                             {"BOLT-EQ1", 20, 1e308},
                                             {"ABC", 1, 1},
                                             {"CORD-EQ1", "1e20", 1},
                                             {"BOLT-EQ1", 12.5, 4}});
    EXPECT_TRUE(outcome.imported());
    EXPECT_EQ(outcome.rowsImported, 2);
    EXPECT_EQ(outcome.message.toStdString(),
              "Updation Over\n2 rows written.\n6 rows skipped:\n"
              "Row 3: the symbol NOSUCH is not in the scrip master\n"
              "Row 4: the price -5 is not a figure a price can be\n"
              "Row 5: the symbol abcde is on row 2 already\n"
              "Row 6: the quantity 1e+308 is not a figure a quantity can be\n"
              "Row 7: \"ABC\" holds no symbol before its last four characters\n"
              "Row 8: the price 1e20 is not a figure a price can be");
    EXPECT_EQ(stored(), (QStringList{"7|1000|10", "8|4000|12.5"}));
    // The day is loaded now.
    EXPECT_EQ(import({{"CORD-EQ1", 1, 1}}).message, "The Data For The Selected Date Already Exists");
}

// A sheet of hundreds of bad rows names the first twenty of them and counts
// the rest, so that its message box fits on the screen.
TEST_F(XlsRows, AMessageNamesTwentyBadRowsAndCountsTheRest)
{
    auto unknownRows = [](int count) {
        QList<QVariantList> rows;
        for (int i = 0; i < count; ++i)
            rows.append({QStringLiteral("NO%1-EQ1").arg(i), 1, 1});
        return rows;
    };
    auto lines = [](const QString& message) { return message.split(QLatin1Char('\n')); };

    // Twenty are all named; a twenty-first is counted instead.
    QStringList twenty = lines(import(unknownRows(20)).message);
    EXPECT_EQ(twenty.size(), 22);
    EXPECT_EQ(twenty.last(), "Nothing was written for the day.");
    EXPECT_EQ(twenty[20], "Row 21: the symbol NO19 is not in the scrip master");

    const XlsImportOutcome many = import(unknownRows(300) + QList<QVariantList>{{"BOLT-EQ1", 1, 2}});
    EXPECT_EQ(many.rowsImported, 1);
    const QStringList shown = lines(many.message);
    ASSERT_EQ(shown.size(), 24);
    EXPECT_EQ(shown.mid(0, 3), (QStringList{"Updation Over", "1 row written.", "300 rows skipped:"}));
    EXPECT_EQ(shown[22], "Row 21: the symbol NO19 is not in the scrip master");
    EXPECT_EQ(shown[23], "… and 280 rows more");
}

// A sheet of which no row can be stored, and a store that cannot be written,
// leave the day without any row and say so; neither is a skipped row.
TEST_F(XlsRows, NothingIsWrittenWhenNoRowCanBeOrTheStoreRefuses)
{
    XlsImportOutcome outcome = import({{"NOSUCH-EQ1", 1, 1}, {"BOLT-EQ1", 1, -1}, {"CORD-EQ1", -1, 1}});
    EXPECT_EQ(outcome.status, XlsImportOutcome::Status::RowsRefused);
    EXPECT_EQ(outcome.message, "The sheet was not imported; these rows cannot be stored:\n"
                               "Row 2: the symbol NOSUCH is not in the scrip master\n"
                               "Row 4: the price -1 is not a figure a price can be\n"
                               "Nothing was written for the day.");
    EXPECT_TRUE(stored().isEmpty());

    // The store fails on the second row written: the first is taken back.
    store.db().exec("CREATE TRIGGER full_disk BEFORE INSERT ON mto WHEN NEW.scriptcode = 8 "
                    "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END");
    outcome = import({{"ABCDE-EQ1", 10, 1}, {"BOLT-EQ1", 12, 2}, {"NOSUCH-EQ1", 1, 1}});
    EXPECT_EQ(outcome.status, XlsImportOutcome::Status::StoreFailed);
    EXPECT_EQ(outcome.rowsImported, 0);
    EXPECT_EQ(outcome.message.toStdString(),
              ("The sheet could not be imported: the store " + QDir::toNativeSeparators(store.db().path()) +
               " could not be written: database or disk is full\nNothing was written for the day.")
                  .toStdString());
    EXPECT_TRUE(stored().isEmpty());
}
