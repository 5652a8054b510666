#include "viewer/resultexport.h"
#include "viewer/sheetpatcher.h"
#include "viewer/workbook.h"
#include "viewerfixture.h"

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using viewer::Workbook;
using viewer::WorkbookError;
using viewer::WorkbookSheet;

// The bytes of one entry of a zip archive, through unzip.
QByteArray entryBytes(const QString& archive, const QString& entry)
{
    QProcess process;
    process.start("unzip", {"-p", archive, entry});
    EXPECT_TRUE(process.waitForFinished(10000));
    return process.readAllStandardOutput();
}

class WorkbookTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString file(const QString& name) const { return folder.filePath(name); }
};

TEST_F(WorkbookTest, ValuesBoldAndSheetsSurviveSaveAndReadInAnXlsxThatOtherToolsRead)
{
    Workbook book;
    WorkbookSheet& first = book.addSheet("yearly high");
    first.setValue(1, 1, "stock");
    first.setValue(1, 2, "Rate");
    first.setBold(1, 1, 3);
    first.setValue(2, 1, "O'Neil & Sons");
    first.setValue(2, 2, 12.5);
    first.setValue(2, 3, QDate(2026, 1, 7));
    first.setValue(3, 2, qint64(1500));
    first.setValue(3, 1, QVariant());  // a null leaves the cell empty
    first.setValue(4, 28, QString(QChar(0x00A0)));
    first.setValue(5, 2, 42.0);
    book.addSheet("weekly low").setValue(5, 13, "kept");
    book.save(file("book.xlsx"));

    const Workbook read = Workbook::read(file("book.xlsx"));
    ASSERT_EQ(read.sheets().size(), 2);
    const WorkbookSheet* high = read.sheet("YEARLY HIGH");
    ASSERT_NE(high, nullptr);
    EXPECT_EQ(cellTexts(*high, "A1 A2 B2 C2 B3 A3"), "stock|O'Neil & Sons|12.5|2026-01-07|1500|-");
    EXPECT_EQ(high->value(2, 3).toDate(), QDate(2026, 1, 7));
    EXPECT_TRUE(high->isBold(1, 1));
    EXPECT_TRUE(high->isBold(1, 3));
    EXPECT_FALSE(high->isBold(2, 1));
    EXPECT_EQ(high->value(4, 28).toString(), QString(QChar(0x00A0)));
    EXPECT_EQ(cellTexts(read.sheets()[1], "M5"), "kept");

    const QByteArray xml = entryBytes(file("book.xlsx"), "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(xml.contains("<c r=\"A1\"")) << xml.constData();
    EXPECT_TRUE(xml.contains("<c r=\"B5\"><v>42</v></c>")) << xml.constData();
}

TEST_F(WorkbookTest, FailuresAreReportedAndKeepTheOldFile)
{
    EXPECT_THROW(Workbook::read(file("missing.xlsx")), WorkbookError);
    QFile text(file("notes.xlsx"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a workbook");
    text.close();
    EXPECT_THROW(Workbook::read(file("notes.xlsx")), WorkbookError);

    Workbook good;
    good.addSheet("a").setValue(1, 1, "old");
    good.save(file("keep.xlsx"));
    Workbook bad;
    bad.addSheet("bad[name]");
    EXPECT_THROW(bad.save(file("keep.xlsx")), WorkbookError);
    EXPECT_EQ(cellTexts(Workbook::read(file("keep.xlsx")).sheets()[0], "A1"), "old");
    EXPECT_FALSE(QFile::exists(file("keep.xlsx.part")));
    EXPECT_EQ(viewer::columnLetters(1), "A");
    EXPECT_EQ(viewer::columnLetters(13), "M");
    EXPECT_EQ(viewer::columnLetters(27), "AA");
}

TEST_F(WorkbookTest, PatchingASheetKeepsWhatItDoesNotChange)
{
    const QString path = file("template.xlsx");
    Workbook book;
    WorkbookSheet& target = book.addSheet("Abnormal Rise");
    target.setValue(1, 1, "old header");
    target.setValue(1, 9, "right of it");
    target.setValue(3, 2, "inside the block");
    target.setValue(3, 7, 99.0);
    target.setValue(2, 6, QDate(2025, 12, 31));
    book.addSheet("other").setValue(1, 1, "untouched");
    book.save(path);
    const QByteArray otherBefore = entryBytes(path, "xl/worksheets/sheet2.xml");

    WorkbookSheet changes;
    changes.setValue(1, 1, "stock & <co>");
    changes.setBold(1, 1, 2);
    changes.setValue(2, 1, "Alpha");
    changes.setValue(2, 2, QDate(2026, 1, 7));
    changes.setValue(4, 3, 12.25);
    for (int round = 0; round < 2; ++round)  // twice: the styles it adds are found again
        viewer::patchWorkbookSheet(path, "abnormal rise", changes, {viewer::CellBlock{2, 1, 3, 5}});

    const Workbook read = Workbook::read(path);
    ASSERT_EQ(read.sheets().size(), 2);
    const WorkbookSheet& sheet = read.sheets().first();
    // Cleared inside the block; kept right of it, with its date format.
    EXPECT_EQ(cellTexts(sheet, "A1 I1 A2 B2 B3 G3 F2 C4"),
              "stock & <co>|right of it|Alpha|2026-01-07|-|99|2025-12-31|12.25");
    EXPECT_EQ(sheet.value(2, 6).toDate(), QDate(2025, 12, 31));
    EXPECT_EQ(sheet.value(2, 2).toDate(), QDate(2026, 1, 7));
    EXPECT_TRUE(sheet.isBold(1, 1));
    EXPECT_EQ(cellTexts(read.sheets()[1], "A1"), "untouched");
    EXPECT_EQ(entryBytes(path, "xl/worksheets/sheet2.xml"), otherBefore);
    const QByteArray styles = entryBytes(path, "xl/styles.xml");
    EXPECT_EQ(styles.count("<font><b/><sz val=\"11\"/><name val=\"Calibri\"/>"), 1) << styles.constData();

    EXPECT_THROW(viewer::patchWorkbookSheet(path, "missing", changes), WorkbookError);
    EXPECT_THROW(viewer::patchWorkbookSheet(file("none.xlsx"), "other", changes), WorkbookError);
}

}  // namespace
