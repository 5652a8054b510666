#include "import/bhavcopyfixture.h"
#include "import/xlsimportscreen.h"
#include "import/importscreens.h"
#include "import/xlsfixture.h"
#include "import/xlsimporter.h"
#include "import/xlssheet.h"
#include "shell/screenregistry.h"
#include "support/fakeservices.h"
#include "support/scriptedprompt.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace import;
using Status = XlsImportOutcome::Status;

namespace {

// A sheet row: column B the symbol cell, L the price, M the quantity in thousands.
QVariantList sheetRow(const QVariant& symbol, const QVariant& price, const QVariant& quantity)
{
    QVariantList row(13);
    row[0] = QStringLiteral("x");
    row[1] = symbol;
    row[11] = price;
    row[12] = quantity;
    return row;
}

QVariantList headings()
{
    return sheetRow(QStringLiteral("Symbol"), QStringLiteral("Close"), QStringLiteral("Qty"));
}

QStringList mtoTable(store::Database& db)
{
    QStringList rows;
    for (const auto& row : db.query("SELECT TransDate, scriptcode, NSEScriptCode, BSEScriptCode, typeof(BSEScriptCode), "
                                    "NSETrdQty, BSETrdQty, NSEDelyQty, BSEDelyQty, NSEPerc, BSEPerc, NSEClPrice, "
                                    "BSEClPrice FROM mto ORDER BY TransDate, scriptcode")
                               .rows) {
        QStringList values;
        for (const QVariant& value : row)
            values.append(value.toString());
        rows.append(values.join(QLatin1Char('|')));
    }
    return rows;
}

class XlsImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.db().exec("INSERT INTO ScripMaster (srno, company, nsescrip) VALUES (7, 'Abcde Ltd', 'ABCDE'), "
                        "(8, 'Bolt Ltd', ' bolt '), (9, 'Quote Ltd', 'O''NEIL'), (10, 'Zeta Ltd', 'ZETA')");
    }

    QString workbook(const QList<QVariantList>& rows, const QString& sheet = QStringLiteral("Sheet1"))
    {
        const QString path = store.folder() + "/book.xls";
        EXPECT_TRUE(writeXlsFixture(path, {{QStringLiteral("Other"), {{QStringLiteral("not this one")}}},
                                           {sheet, QList<QVariantList>{headings()} + rows}}));
        return path;
    }

    XlsImportOutcome importRows(const QList<QVariantList>& rows) { return XlsImporter(store.db()).importSheet(workbook(rows), day); }

    TestStore store;
    const QDate day{2024, 4, 2};
};

}  // namespace

TEST_F(XlsImport, WritesOneRowPerSheetRowWithAQuantity)
{
    const XlsImportOutcome outcome = importRows({
        sheetRow("ABCDE-EQ1", 123.45, 12.5),
        sheetRow("BOLT-EQ1", QVariant(), 3),         // no price: 0
        sheetRow("O'NEIL-EQ1", "45.5", "2"),         // figures as text
        sheetRow("ZETA-EQ1", 10, 0),                 // no quantity: passed over
        sheetRow("ZETA-EQ1", 10, QVariant()),
        sheetRow("ZETA-EQ1", 10, "abc"),
        sheetRow("UNKNOWN-EQ1", 10, -4),
    });
    ASSERT_TRUE(outcome.imported()) << outcome.message.toStdString();
    EXPECT_EQ(outcome.message, "Updation Over");
    EXPECT_EQ(outcome.rowsImported, 3);
    EXPECT_EQ(mtoTable(store.db()), (QStringList{
                                        "2024-04-02|7|ABCDE|0|text|12500|0|0|0|0|0|123.45|0",
                                        "2024-04-02|8|BOLT|0|text|3000|0|0|0|0|0|0|0",
                                        "2024-04-02|9|O'NEIL|0|text|2000|0|0|0|0|0|45.5|0",
                                    }));
}

TEST_F(XlsImport, ARowThatCannotBeStoredRefusesTheWholeSheet)
{
    const QList<QVariantList> good{sheetRow("ABCDE-EQ1", 1, 1)};
    const QList<std::pair<QVariantList, QString>> cases{
        {sheetRow("NOSUCH-EQ1", 1, 1), "Row 3: the symbol NOSUCH is not in the scrip master"},
        {sheetRow("ABC", 1, 1), "Row 3: \"ABC\" holds no symbol before its last four characters"},
        {sheetRow(QVariant(), 1, 1), "Row 3: \"\" holds no symbol before its last four characters"},
        {sheetRow("abcde-EQ2", 1, 1), "Row 3: the symbol abcde is on row 2 already"},
    };
    for (const auto& [row, reason] : cases) {
        const XlsImportOutcome outcome = importRows(good + QList<QVariantList>{row});
        EXPECT_EQ(outcome.status, Status::RowsRefused) << reason.toStdString();
        EXPECT_EQ(outcome.refusedRows, QStringList{reason});
        EXPECT_TRUE(outcome.message.contains(reason)) << outcome.message.toStdString();
        EXPECT_TRUE(mtoTable(store.db()).isEmpty()) << reason.toStdString();
    }
}

TEST_F(XlsImport, ALoadedDayOrAnUnreadableWorkbookIsRefused)
{
    XlsImporter importer(store.db());
    EXPECT_EQ(importer.importSheet("  ", day).message, "Please Select The Excel File To Import From ");

    const QString notABook = writeText(store.folder(), "plain.xls", "SYMBOL,SERIES\n");
    XlsImportOutcome outcome = importer.importSheet(notABook, day);
    EXPECT_EQ(outcome.status, Status::Unreadable);
    EXPECT_TRUE(outcome.message.contains("plain.xls")) << outcome.message.toStdString();
    EXPECT_EQ(importer.importSheet(store.folder() + "/missing.xls", day).status, Status::Unreadable);

    const QString wrongSheet = store.folder() + "/data.xls";
    ASSERT_TRUE(writeXlsFixture(wrongSheet, {{"Data", {headings(), sheetRow("ABCDE-EQ1", 1, 1)}}}));
    outcome = importer.importSheet(wrongSheet, day);
    EXPECT_EQ(outcome.status, Status::Unreadable);
    EXPECT_TRUE(outcome.message.contains("sheet1")) << outcome.message.toStdString();

    // The sheet's name in any letter case is found.
    ASSERT_TRUE(importer.importSheet(workbook({sheetRow("ABCDE-EQ1", 1, 1)}, "SHEET1"), day).imported());
    const QStringList loaded = mtoTable(store.db());
    outcome = importer.importSheet(workbook({sheetRow("ZETA-EQ1", 1, 1)}), day);
    EXPECT_EQ(outcome.status, Status::DayPresent);
    EXPECT_EQ(outcome.message, "The Data For The Selected Date Already Exists");
    EXPECT_EQ(mtoTable(store.db()), loaded);
}

TEST(XlsSheetReader, ReadsNumbersTextsAndEmptyCells)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("cells.xls");
    ASSERT_TRUE(writeXlsFixture(path, {{"sheet1", {{"a", 1.5}, {QVariant(), "Ünïcode"}}}}));
    XlsSheet sheet;
    QString error;
    ASSERT_TRUE(sheet.read(path, "Sheet1", &error)) << error.toStdString();
    EXPECT_EQ(sheet.rowCount(), 2);
    EXPECT_EQ(sheet.columnCount(), 2);
    EXPECT_EQ(sheet.cell(0, 0).asText(), "a");
    EXPECT_EQ(sheet.cell(0, 1).number, 1.5);
    EXPECT_TRUE(sheet.cell(1, 0).isEmpty());
    EXPECT_EQ(sheet.cell(1, 1).text, QString::fromUtf8("Ünïcode"));
    EXPECT_TRUE(sheet.cell(5, 9).isEmpty());
}

TEST(XlsImportScreen, OpensFromItsMenuItemAndImports)
{
    FakeServices services;
    ScriptedPrompt prompt;
    shell::ScreenRegistry registry;
    registerImportScreens(registry);
    ASSERT_TRUE(registry.contains("importfromexcel"));
    std::unique_ptr<QWidget> screen(registry.factory("importfromexcel")(services));
    EXPECT_EQ(screen->windowTitle(), "Import From Excel");
    auto* file = screen->findChild<QLineEdit*>("Text1");
    auto* picker = screen->findChild<QDateEdit*>("DTPicker1");
    auto* process = screen->findChild<QPushButton*>("cmdOpen");
    ASSERT_TRUE(file && picker && process);
    EXPECT_EQ(process->text(), "Process");
    EXPECT_EQ(picker->date(), QDate::currentDate());

    QTest::mouseClick(process, Qt::LeftButton);
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].text, "Please Select The Excel File To Import From ");
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Critical);
    EXPECT_EQ(prompt.messages[0].title, "Import From Excel");

    services.database().exec("INSERT INTO ScripMaster (srno, nsescrip) VALUES (1, 'ABCDE')");
    const QString path = services.dataFolder() + "/day.xls";
    ASSERT_TRUE(writeXlsFixture(path, {{"Sheet1", {headings(), sheetRow("ABCDE-EQ1", 5, 1)}}}));
    prompt.files.enqueue(path);
    QTest::mouseClick(screen->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    EXPECT_EQ(prompt.fileRequests.last().filter, "Excel Files(*.xls)");
    EXPECT_EQ(file->text(), path);
    picker->setDate(QDate(2024, 4, 3));
    QTest::mouseClick(process, Qt::LeftButton);
    EXPECT_EQ(prompt.lastText(), "Updation Over");
    EXPECT_EQ(prompt.messages.last().title, "Tarvenix");
    EXPECT_EQ(services.database().scalar("SELECT NSETrdQty FROM mto WHERE TransDate = '2024-04-03'").toDouble(), 1000);
}
