#include "viewer/resultexport.h"

#include <QDate>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using namespace viewer;

store::Rows makeRows(int count)
{
    store::Rows rows;
    rows.columns = {{QStringLiteral("stock"), store::ColumnKind::Text},
                    {QStringLiteral("s_code"), store::ColumnKind::Integer},
                    {QStringLiteral("Rate"), store::ColumnKind::Real},
                    {QStringLiteral("S_Kept"), store::ColumnKind::Text},
                    {QStringLiteral("TransDate"), store::ColumnKind::Date}};
    for (int i = 1; i <= count; ++i)
        rows.rows.append({QStringLiteral("Scrip %1").arg(i), i, i * 1.5, QStringLiteral("k%1").arg(i), QDate(2026, 1, i % 28 + 1)});
    return rows;
}

class ResultExportTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString file(const QString& name) const { return folder.filePath(name); }
};

TEST_F(ResultExportTest, QueriesChooseTheirExportByExactName)
{
    EXPECT_EQ(exportTargetFor(QStringLiteral("Top 5 Gainer & Loser")), ExportTarget::DerivativesReport);
    EXPECT_EQ(exportTargetFor(QStringLiteral("52 Week High")), ExportTarget::MarketWatch);
    EXPECT_EQ(marketWatchSheetFor(QStringLiteral("52 Week High")), QStringLiteral("yearly high"));
    EXPECT_EQ(exportTargetFor(QStringLiteral("weekly high")), ExportTarget::NewWorkbook);
    EXPECT_EQ(exportTargetFor(QStringLiteral("Weekly High ")), ExportTarget::NewWorkbook);
    EXPECT_EQ(exportTargetFor(QString()), ExportTarget::NewWorkbook);
    EXPECT_EQ(marketWatchSheets().size(), 18);
}

TEST_F(ResultExportTest, LayoutLeavesOutLowerCaseSColumnsAndBoldsEveryColumn)
{
    store::Rows rows = makeRows(3);
    rows.rows[1][2] = QVariant();  // a null rate
    WorkbookSheet sheet(QStringLiteral("Sheet1"));
    writeResultRows(sheet, rows);
    EXPECT_EQ(sheet.value(1, 1).toString(), QStringLiteral("stock"));
    EXPECT_EQ(sheet.value(1, 2).toString(), QStringLiteral("Rate"));
    EXPECT_EQ(sheet.value(1, 3).toString(), QStringLiteral("S_Kept"));
    EXPECT_EQ(sheet.value(1, 4).toString(), QStringLiteral("TransDate"));
    EXPECT_FALSE(sheet.value(1, 5).isValid());
    EXPECT_TRUE(sheet.isBold(1, 5));   // five columns in the result
    EXPECT_FALSE(sheet.isBold(1, 6));
    EXPECT_EQ(sheet.value(2, 1).toString(), QStringLiteral("Scrip 1"));
    EXPECT_DOUBLE_EQ(sheet.value(2, 2).toDouble(), 1.5);
    EXPECT_FALSE(sheet.value(3, 2).isValid());
    EXPECT_EQ(sheet.value(4, 4).toDate(), QDate(2026, 1, 4));
    EXPECT_EQ(sheet.lastRow(), 4);
}

TEST_F(ResultExportTest, NewWorkbookStartsAtTheChosenRecord)
{
    exportNewWorkbook(file(QStringLiteral("out.xlsx")), makeRows(50), 9);
    const Workbook book = Workbook::read(file(QStringLiteral("out.xlsx")));
    ASSERT_EQ(book.sheets().size(), 1);
    const WorkbookSheet& sheet = book.sheets().first();
    EXPECT_EQ(sheet.value(2, 1).toString(), QStringLiteral("Scrip 10"));
    EXPECT_EQ(sheet.value(42, 1).toString(), QStringLiteral("Scrip 50"));
    EXPECT_EQ(sheet.lastRow(), 42);
    EXPECT_TRUE(sheet.isBold(1, 1));
}

TEST_F(ResultExportTest, MarketWatchKeepsEverythingOutsideTheClearedBlock)
{
    const QString path = file(kMarketWatchFile);
    // An earlier, wider and longer result of the same query, and another sheet.
    Workbook earlier = newMarketWatchWorkbook();
    WorkbookSheet* high = earlier.sheet(QStringLiteral("yearly high"));
    for (int column = 1; column <= 15; ++column)
        high->setValue(1, column, QStringLiteral("old%1").arg(column));
    for (int row = 2; row <= 610; ++row) {
        high->setValue(row, 1, QStringLiteral("old row"));
        high->setValue(row, 14, QStringLiteral("col N"));
    }
    earlier.sheet(QStringLiteral("weekly low"))->setValue(2, 1, QStringLiteral("other query"));
    earlier.save(path);

    EXPECT_TRUE(exportMarketWatch(path, QStringLiteral("52 Week High"), makeRows(3)));
    const Workbook book = Workbook::read(path);
    EXPECT_EQ(book.sheets().size(), 18);
    const WorkbookSheet* sheet = book.sheet(QStringLiteral("yearly high"));
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->value(1, 1).toString(), QStringLiteral("stock"));
    EXPECT_EQ(sheet->value(1, 5).toString(), QStringLiteral("old5"));  // right of the new header
    EXPECT_EQ(sheet->value(4, 1).toString(), QStringLiteral("Scrip 3"));
    EXPECT_FALSE(sheet->value(5, 1).isValid());
    EXPECT_FALSE(sheet->value(500, 1).isValid());
    EXPECT_EQ(sheet->value(501, 1).toString(), QStringLiteral("old row"));
    EXPECT_EQ(sheet->value(3, 14).toString(), QStringLiteral("col N"));
    EXPECT_EQ(book.sheet(QStringLiteral("weekly low"))->value(2, 1).toString(), QStringLiteral("other query"));
}

TEST_F(ResultExportTest, MarketWatchIsMadeWhenMissingAndAnEmptyResultLeavesTheHeader)
{
    const QString path = file(kMarketWatchFile);
    EXPECT_TRUE(exportMarketWatch(path, QStringLiteral("Weekly Low"), makeRows(600)));
    Workbook book = Workbook::read(path);
    EXPECT_EQ(book.sheets().size(), 18);
    EXPECT_EQ(book.sheet(QStringLiteral("weekly low"))->value(601, 1).toString(), QStringLiteral("Scrip 600"));

    store::Rows empty = makeRows(0);
    EXPECT_FALSE(exportMarketWatch(path, QStringLiteral("Weekly Low"), empty));
    book = Workbook::read(path);
    const WorkbookSheet* sheet = book.sheet(QStringLiteral("weekly low"));
    EXPECT_EQ(sheet->value(1, 1).toString(), QStringLiteral("stock"));
    EXPECT_FALSE(sheet->value(2, 1).isValid());
    EXPECT_EQ(sheet->value(501, 1).toString(), QStringLiteral("Scrip 500"));  // below the cleared block
}

TEST_F(ResultExportTest, MarketWatchWorkbookThatLostTheSheetGetsItBack)
{
    const QString path = file(kMarketWatchFile);
    Workbook partial;
    partial.addSheet(QStringLiteral("notes")).setValue(1, 1, QStringLiteral("mine"));
    partial.save(path);
    EXPECT_TRUE(exportMarketWatch(path, QStringLiteral("Weekly High"), makeRows(1)));
    EXPECT_EQ(workbookSheetNames(path), QStringList({QStringLiteral("notes"), QStringLiteral("weekly high")}));
    const Workbook book = Workbook::read(path);
    EXPECT_EQ(book.sheet(QStringLiteral("notes"))->value(1, 1).toString(), QStringLiteral("mine"));
    EXPECT_EQ(book.sheet(QStringLiteral("weekly high"))->value(2, 1).toString(), QStringLiteral("Scrip 1"));
}

TEST_F(ResultExportTest, DerivativesReportFillsACopyAndNeverChangesTheTemplate)
{
    const QString templatePath = file(QStringLiteral("templates/") + kDerivativesTemplateFile);
    exportDerivativesReport(templatePath, file(QStringLiteral("report.xlsx")), makeRows(2));
    ASSERT_TRUE(QFileInfo::exists(templatePath));
    EXPECT_EQ(Workbook::read(templatePath).sheets().first().lastRow(), 0);
    const Workbook filled = Workbook::read(file(QStringLiteral("report.xlsx")));
    EXPECT_EQ(filled.sheet(QStringLiteral("Sheet1"))->value(3, 1).toString(), QStringLiteral("Scrip 2"));

    Workbook noSheet;
    noSheet.addSheet(QStringLiteral("other"));
    noSheet.save(file(QStringLiteral("broken.xlsx")));
    EXPECT_THROW(exportDerivativesReport(file(QStringLiteral("broken.xlsx")), file(QStringLiteral("r2.xlsx")), makeRows(1)),
                 WorkbookError);
}

}  // namespace
