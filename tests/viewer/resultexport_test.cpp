#include "viewer/resultexport.h"
#include "viewerfixture.h"

#include <QDate>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using namespace viewer;

store::Rows makeRows(int count)
{
    store::Rows rows;
    rows.columns = {{"stock", store::ColumnKind::Text}, {"s_code", store::ColumnKind::Integer},
                    {"Rate", store::ColumnKind::Real}, {"S_Kept", store::ColumnKind::Text},
                    {"TransDate", store::ColumnKind::Date}};
    for (int i = 1; i <= count; ++i)
        rows.rows.append({QStringLiteral("Scrip %1").arg(i), i, i * 1.5, QStringLiteral("k%1").arg(i),
                          QDate(2026, 1, i % 28 + 1)});
    return rows;
}

class ResultExportTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString file(const QString& name) const { return folder.filePath(name); }
};

TEST_F(ResultExportTest, QueriesChooseTheirExportByExactNameAndWriteTheSameLayout)
{
    EXPECT_EQ(exportTargetFor("Top 5 Gainer & Loser"), ExportTarget::DerivativesReport);
    EXPECT_EQ(exportTargetFor("52 Week High"), ExportTarget::MarketWatch);
    EXPECT_EQ(marketWatchSheetFor("52 Week High"), "yearly high");
    for (const char* name : {"weekly high", "Weekly High ", ""})
        EXPECT_EQ(exportTargetFor(name), ExportTarget::NewWorkbook) << name;
    EXPECT_EQ(marketWatchSheets().size(), 18);

    // Lower-case s_ columns are left out; every column of the result is bold.
    store::Rows rows = makeRows(3);
    rows.rows[1][2] = QVariant();  // a null rate
    WorkbookSheet sheet("Sheet1");
    writeResultRows(sheet, rows);
    EXPECT_EQ(cellTexts(sheet, "A1 B1 C1 D1 E1 A2 B2 B3"), "stock|Rate|S_Kept|TransDate|-|Scrip 1|1.5|-");
    EXPECT_EQ(sheet.value(4, 4).toDate(), QDate(2026, 1, 4));
    EXPECT_TRUE(sheet.isBold(1, 5));  // five columns in the result
    EXPECT_FALSE(sheet.isBold(1, 6));
    EXPECT_EQ(sheet.lastRow(), 4);

    // A new workbook starts at the chosen record.
    exportNewWorkbook(file("out.xlsx"), makeRows(50), 9);
    const Workbook book = Workbook::read(file("out.xlsx"));
    ASSERT_EQ(book.sheets().size(), 1);
    EXPECT_EQ(cellTexts(book.sheets().first(), "A2 A42"), "Scrip 10|Scrip 50");
    EXPECT_EQ(book.sheets().first().lastRow(), 42);
    EXPECT_TRUE(book.sheets().first().isBold(1, 1));
}

TEST_F(ResultExportTest, MarketWatchKeepsEverythingOutsideTheClearedBlock)
{
    const QString path = file(kMarketWatchFile);
    // An earlier, wider and longer result of the same query, and another sheet.
    Workbook earlier = newMarketWatchWorkbook();
    WorkbookSheet* high = earlier.sheet("yearly high");
    for (int column = 1; column <= 15; ++column)
        high->setValue(1, column, QStringLiteral("old%1").arg(column));
    for (int row = 2; row <= 610; ++row) {
        high->setValue(row, 1, "old row");
        high->setValue(row, 14, "col N");
    }
    earlier.sheet("weekly low")->setValue(2, 1, "other query");
    earlier.save(path);

    EXPECT_TRUE(exportMarketWatch(path, "52 Week High", makeRows(3)));
    Workbook book = Workbook::read(path);
    EXPECT_EQ(book.sheets().size(), 18);
    ASSERT_NE(book.sheet("yearly high"), nullptr);
    // Right of the new header the old one stays; below row 500 the old rows.
    EXPECT_EQ(cellTexts(*book.sheet("yearly high"), "A1 E1 A4 A5 A500 A501 N3"),
              "stock|old5|Scrip 3|-|-|old row|col N");
    EXPECT_EQ(cellTexts(*book.sheet("weekly low"), "A2"), "other query");

    // A workbook that lost the sheet gets it back.
    Workbook partial;
    partial.addSheet("notes").setValue(1, 1, "mine");
    partial.save(path);
    EXPECT_TRUE(exportMarketWatch(path, "Weekly High", makeRows(1)));
    EXPECT_EQ(workbookSheetNames(path), (QStringList{"notes", "weekly high"}));
    book = Workbook::read(path);
    EXPECT_EQ(cellTexts(*book.sheet("notes"), "A1"), "mine");
    EXPECT_EQ(cellTexts(*book.sheet("weekly high"), "A2"), "Scrip 1");
}

TEST_F(ResultExportTest, MarketWatchIsMadeWhenMissingAndAnEmptyResultLeavesTheHeader)
{
    const QString path = file(kMarketWatchFile);
    EXPECT_TRUE(exportMarketWatch(path, "Weekly Low", makeRows(600)));
    Workbook book = Workbook::read(path);
    EXPECT_EQ(book.sheets().size(), 18);
    EXPECT_EQ(cellTexts(*book.sheet("weekly low"), "A601"), "Scrip 600");

    EXPECT_FALSE(exportMarketWatch(path, "Weekly Low", makeRows(0)));
    book = Workbook::read(path);
    // Below the cleared block the earlier rows stay.
    EXPECT_EQ(cellTexts(*book.sheet("weekly low"), "A1 A2 A501"), "stock|-|Scrip 500");
}

TEST_F(ResultExportTest, ANullValueEmptiesItsCellWhereNothingClearedIt)
{
    // Fourteen text columns, reaching past M: "old<row>_<column>" in 600
    // rows, then "new..." with the first and last columns null.
    const auto rowsOf = [](bool nulls) {
        store::Rows rows;
        for (int column = 0; column < 14; ++column)
            rows.columns.append({QStringLiteral("c%1").arg(column), store::ColumnKind::Text});
        for (int row = 0; row < 600; ++row) {
            QVariantList values;
            for (int column = 0; column < 14; ++column)
                values.append((nulls ? "new" : "old") + QString::number(row) + '_' + QString::number(column));
            if (nulls)
                values.first() = values.last() = QVariant();
            rows.rows.append(values);
        }
        return rows;
    };
    const QString marketWatch = file(kMarketWatchFile);
    exportMarketWatch(marketWatch, "52 Week High", rowsOf(false));
    exportMarketWatch(marketWatch, "52 Week High", rowsOf(true));
    // The derivatives report written over the template it is made from.
    const QString derivatives = file(kDerivativesTemplateFile);
    exportDerivativesReport(derivatives, derivatives, rowsOf(false));
    exportDerivativesReport(derivatives, derivatives, rowsOf(true));
    for (const auto& [path, sheet] : {std::pair{marketWatch, QString("yearly high")}, {derivatives, kDerivativesSheet}})
        EXPECT_EQ(cellTexts(*Workbook::read(path).sheet(sheet), "A502 B502 N3 N502 A601 N601"), "-|new500_1|-|-|-|-")
            << sheet.toStdString();
}

TEST_F(ResultExportTest, DerivativesReportFillsACopyAndNeverChangesTheTemplate)
{
    const QString templatePath = file("templates/" + kDerivativesTemplateFile);
    exportDerivativesReport(templatePath, file("report.xlsx"), makeRows(2));
    ASSERT_TRUE(QFileInfo::exists(templatePath));
    EXPECT_EQ(Workbook::read(templatePath).sheets().first().lastRow(), 0);
    EXPECT_EQ(cellTexts(*Workbook::read(file("report.xlsx")).sheet("Sheet1"), "A3"), "Scrip 2");

    Workbook noSheet;
    noSheet.addSheet("other");
    noSheet.save(file("broken.xlsx"));
    EXPECT_THROW(exportDerivativesReport(file("broken.xlsx"), file("r2.xlsx"), makeRows(1)), WorkbookError);
}

}  // namespace
