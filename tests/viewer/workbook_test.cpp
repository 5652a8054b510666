#include "viewer/resultexport.h"
#include "viewer/sheetpatcher.h"
#include "viewer/workbook.h"

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using viewer::Workbook;
using viewer::WorkbookError;
using viewer::WorkbookSheet;
using viewer::patchWorkbookSheet;

class WorkbookTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString file(const QString& name) const { return folder.filePath(name); }
};

TEST_F(WorkbookTest, ValuesBoldAndSheetsSurviveSaveAndRead)
{
    Workbook book;
    WorkbookSheet& first = book.addSheet(QStringLiteral("yearly high"));
    first.setValue(1, 1, QStringLiteral("stock"));
    first.setValue(1, 2, QStringLiteral("Rate"));
    first.setBold(1, 1, 3);
    first.setValue(2, 1, QStringLiteral("O'Neil & Sons"));
    first.setValue(2, 2, 12.5);
    first.setValue(2, 3, QDate(2026, 1, 7));
    first.setValue(3, 2, qint64(1500));
    first.setValue(3, 1, QVariant());  // a null leaves the cell empty
    first.setValue(4, 28, QString(QChar(0x00A0)));
    book.addSheet(QStringLiteral("weekly low")).setValue(5, 13, QStringLiteral("kept"));
    book.save(file(QStringLiteral("book.xlsx")));

    const Workbook read = Workbook::read(file(QStringLiteral("book.xlsx")));
    ASSERT_EQ(read.sheets().size(), 2);
    const WorkbookSheet* high = read.sheet(QStringLiteral("YEARLY HIGH"));
    ASSERT_NE(high, nullptr);
    EXPECT_EQ(high->value(1, 1).toString(), QStringLiteral("stock"));
    EXPECT_TRUE(high->isBold(1, 1));
    EXPECT_TRUE(high->isBold(1, 3));
    EXPECT_FALSE(high->isBold(2, 1));
    EXPECT_EQ(high->value(2, 1).toString(), QStringLiteral("O'Neil & Sons"));
    EXPECT_DOUBLE_EQ(high->value(2, 2).toDouble(), 12.5);
    EXPECT_EQ(high->value(2, 3).toDate(), QDate(2026, 1, 7));
    EXPECT_DOUBLE_EQ(high->value(3, 2).toDouble(), 1500.0);
    EXPECT_FALSE(high->value(3, 1).isValid());
    EXPECT_EQ(high->value(4, 28).toString(), QString(QChar(0x00A0)));
    EXPECT_EQ(read.sheets()[1].value(5, 13).toString(), QStringLiteral("kept"));
}

TEST_F(WorkbookTest, SavedFileIsAnXlsxThatOtherToolsRead)
{
    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    if (unzip.isEmpty())
        GTEST_SKIP() << "unzip is not installed";
    Workbook book;
    WorkbookSheet& sheet = book.addSheet(QStringLiteral("Sheet1"));
    sheet.setValue(1, 1, QStringLiteral("stock"));
    sheet.setValue(2, 2, 42.0);
    book.save(file(QStringLiteral("plain.xlsx")));

    QProcess process;
    process.start(unzip, {QStringLiteral("-p"), file(QStringLiteral("plain.xlsx")), QStringLiteral("xl/worksheets/sheet1.xml")});
    ASSERT_TRUE(process.waitForFinished(10000));
    const QByteArray xml = process.readAllStandardOutput();
    EXPECT_TRUE(xml.contains("<c r=\"A1\"")) << xml.constData();
    EXPECT_TRUE(xml.contains("<c r=\"B2\"><v>42</v></c>")) << xml.constData();
}

TEST_F(WorkbookTest, FailuresAreReportedAndKeepTheOldFile)
{
    EXPECT_THROW(Workbook::read(file(QStringLiteral("missing.xlsx"))), WorkbookError);

    QFile text(file(QStringLiteral("notes.xlsx")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a workbook");
    text.close();
    EXPECT_THROW(Workbook::read(file(QStringLiteral("notes.xlsx"))), WorkbookError);

    Workbook good;
    good.addSheet(QStringLiteral("a")).setValue(1, 1, QStringLiteral("old"));
    good.save(file(QStringLiteral("keep.xlsx")));
    Workbook bad;
    bad.addSheet(QStringLiteral("bad[name]"));
    EXPECT_THROW(bad.save(file(QStringLiteral("keep.xlsx"))), WorkbookError);
    EXPECT_EQ(Workbook::read(file(QStringLiteral("keep.xlsx"))).sheets()[0].value(1, 1).toString(), QStringLiteral("old"));
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("keep.xlsx.part"))));
}

// The bytes of one entry of a zip archive, through unzip; empty without it.
QByteArray entryBytes(const QString& archive, const QString& entry)
{
    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    if (unzip.isEmpty())
        return QByteArray();
    QProcess process;
    process.start(unzip, {QStringLiteral("-p"), archive, entry});
    process.waitForFinished(10000);
    return process.readAllStandardOutput();
}

TEST_F(WorkbookTest, PatchingASheetKeepsWhatItDoesNotChange)
{
    const QString path = file(QStringLiteral("template.xlsx"));
    Workbook book;
    WorkbookSheet& target = book.addSheet(QStringLiteral("Abnormal Rise"));
    target.setValue(1, 1, QStringLiteral("old header"));
    target.setValue(1, 9, QStringLiteral("right of it"));
    target.setValue(3, 2, QStringLiteral("inside the block"));
    target.setValue(3, 7, 99.0);
    target.setValue(2, 6, QDate(2025, 12, 31));
    book.addSheet(QStringLiteral("other")).setValue(1, 1, QStringLiteral("untouched"));
    book.save(path);
    const QByteArray otherBefore = entryBytes(path, QStringLiteral("xl/worksheets/sheet2.xml"));

    WorkbookSheet changes;
    changes.setValue(1, 1, QStringLiteral("stock & <co>"));
    changes.setBold(1, 1, 2);
    changes.setValue(2, 1, QStringLiteral("Alpha"));
    changes.setValue(2, 2, QDate(2026, 1, 7));
    changes.setValue(4, 3, 12.25);
    for (int round = 0; round < 2; ++round)  // twice: the styles it adds are found again
        patchWorkbookSheet(path, QStringLiteral("abnormal rise"), changes, viewer::CellBlock{2, 1, 3, 5});

    const Workbook read = Workbook::read(path);
    ASSERT_EQ(read.sheets().size(), 2);
    const WorkbookSheet& sheet = read.sheets().first();
    EXPECT_EQ(sheet.value(1, 1).toString(), QStringLiteral("stock & <co>"));
    EXPECT_TRUE(sheet.isBold(1, 1));
    EXPECT_EQ(sheet.value(1, 9).toString(), QStringLiteral("right of it"));
    EXPECT_EQ(sheet.value(2, 1).toString(), QStringLiteral("Alpha"));
    EXPECT_EQ(sheet.value(2, 2).toDate(), QDate(2026, 1, 7));
    EXPECT_FALSE(sheet.value(3, 2).isValid());                  // cleared
    EXPECT_DOUBLE_EQ(sheet.value(3, 7).toDouble(), 99.0);        // right of the block
    EXPECT_EQ(sheet.value(2, 6).toDate(), QDate(2025, 12, 31));  // kept with its date format
    EXPECT_DOUBLE_EQ(sheet.value(4, 3).toDouble(), 12.25);
    EXPECT_EQ(read.sheets()[1].value(1, 1).toString(), QStringLiteral("untouched"));
    if (!otherBefore.isEmpty()) {
        EXPECT_EQ(entryBytes(path, QStringLiteral("xl/worksheets/sheet2.xml")), otherBefore);
        const QByteArray styles = entryBytes(path, QStringLiteral("xl/styles.xml"));
        EXPECT_EQ(styles.count("<font><b/><sz val=\"11\"/><name val=\"Calibri\"/>"), 1) << styles.constData();
    }

    EXPECT_THROW(patchWorkbookSheet(path, QStringLiteral("missing"), changes), WorkbookError);
    EXPECT_THROW(patchWorkbookSheet(file(QStringLiteral("none.xlsx")), QStringLiteral("other"), changes), WorkbookError);
}

TEST(WorkbookNames, ColumnLetters)
{
    EXPECT_EQ(viewer::columnLetters(1), QStringLiteral("A"));
    EXPECT_EQ(viewer::columnLetters(13), QStringLiteral("M"));
    EXPECT_EQ(viewer::columnLetters(27), QStringLiteral("AA"));
}

}  // namespace
