#include "import/xlsfixture.h"
#include "import/xlsimporter.h"
#include "import/xlssheet.h"
#include "support/teststore.h"

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
    EXPECT_EQ(XlsImporter(store.db()).importSheet(path, QDate(2024, 4, 2)).message, "Updation Over");
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
