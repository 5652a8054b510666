// The printed master lists: what the scrip and group lists show on paper.
#include "reportfixtures.h"
#include "reports/masterlist.h"
#include "reports/reportengine.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace reports;
using reportfixtures::pdfPages;
using reportfixtures::pdfText;
using store::ColumnKind;

namespace {

// Rows shaped as the scrip master's table reads them, key first.
store::Rows scripRows(int count)
{
    store::Rows rows;
    rows.columns = {{QStringLiteral("srno"), ColumnKind::Integer},
                    {QStringLiteral("company"), ColumnKind::Text},
                    {QStringLiteral("nsescrip"), ColumnKind::Text},
                    {QStringLiteral("bsescrip"), ColumnKind::Text}};
    for (int i = 0; i < count; ++i)
        rows.rows.append({qlonglong(900 + i), reportfixtures::companyName(i), QStringLiteral("NSE%1").arg(i, 4, 10, QLatin1Char('0')),
                          QStringLiteral("5%1").arg(i, 5, 10, QLatin1Char('0'))});
    return rows;
}

class MasterListTest : public ::testing::Test {
protected:
    QString pdfPath(const QString& name) const { return m_dir.filePath(name + QStringLiteral(".pdf")); }
    QTemporaryDir m_dir;
};

TEST_F(MasterListTest, ScripListPrintsTitleHeadingsEveryRowUnderItsHeadingAndTheEndMark)
{
    const ReportDocument document = buildMasterList(scripMasterList(), scripRows(4));
    EXPECT_EQ(document.windowCaption, QStringLiteral("Branch Master Report"));
    const QString path = pdfPath(QStringLiteral("scrips"));
    QString error;
    ASSERT_TRUE(writeReportPdf(document, path, &error)) << error.toStdString();
    int pages = 0;
    const std::optional<QString> text = pdfText(path, &pages);
    if (!text)
        GTEST_SKIP() << "pdftotext is not installed";

    EXPECT_EQ(pages, 1);
    EXPECT_TRUE(text->startsWith(QStringLiteral("Scrip Master NSE Scrip Code BSE Scrip Code Company"))) << *text;
    // Each scrip's codes and name on one line, in the headings' order; the
    // scrip number is not listed.
    for (int i = 0; i < 4; ++i) {
        const QString line = QStringLiteral("NSE%1 5%2 %3")
                                 .arg(i, 4, 10, QLatin1Char('0'))
                                 .arg(i, 5, 10, QLatin1Char('0'))
                                 .arg(reportfixtures::companyName(i));
        EXPECT_TRUE(text->contains(line)) << line;
        EXPECT_FALSE(text->contains(QString::number(900 + i))) << i;
    }
    EXPECT_TRUE(text->endsWith(QStringLiteral("** End Of Report **"))) << *text;
    EXPECT_FALSE(text->contains(QStringLiteral("Branch")));
}

TEST_F(MasterListTest, LongListRunsOverPagesWithHeadingsOnEachAndEveryScripOnce)
{
    const int count = 160;
    const ReportDocument document = buildMasterList(scripMasterList(), scripRows(count));
    const QString path = pdfPath(QStringLiteral("long"));
    ASSERT_TRUE(writeReportPdf(document, path));
    const QStringList pages = pdfPages(path);
    if (pages.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";

    ASSERT_GE(pages.size(), 3);
    EXPECT_EQ(renderReportPages(document, 72).size(), pages.size());
    for (int page = 0; page < pages.size(); ++page) {
        EXPECT_TRUE(pages[page].contains(QStringLiteral("NSE Scrip Code BSE Scrip Code Company"))) << page;
        EXPECT_EQ(pages[page].contains(QStringLiteral("** End Of Report **")), page == pages.size() - 1) << page;
    }
    const QString all = pages.join(QLatin1Char(' '));
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(all.count(reportfixtures::companyName(i)), 1) << i;
}

TEST_F(MasterListTest, GroupListHasTwoColumnsAndFindsFieldsWhateverTheirCase)
{
    store::Rows rows;
    rows.columns = {{QStringLiteral("GroupCode"), ColumnKind::Text}, {QStringLiteral("GroupName"), ColumnKind::Text}};
    rows.rows = {{QStringLiteral("BANKS"), QStringLiteral("Banking Stocks")},
                 {QStringLiteral("ONEIL"), QStringLiteral("O'Neil Picks")},
                 {QStringLiteral("EMPTY"), QVariant()}};
    const ReportDocument document = buildMasterList(groupMasterList(), rows);
    ASSERT_EQ(document.columns.size(), 2);
    EXPECT_EQ(document.rows.last(), (QStringList{QStringLiteral("EMPTY"), QString()}));

    const QString path = pdfPath(QStringLiteral("groups"));
    ASSERT_TRUE(writeReportPdf(document, path));
    int pages = 0;
    const std::optional<QString> text = pdfText(path, &pages);
    if (!text)
        GTEST_SKIP() << "pdftotext is not installed";
    EXPECT_EQ(pages, 1);
    EXPECT_TRUE(text->startsWith(QStringLiteral("Group Master Group Code Group Description BANKS Banking Stocks "
                                                "ONEIL O'Neil Picks EMPTY ** End Of Report **")))
        << *text;
}

TEST_F(MasterListTest, EmptyTablePrintsHeadingsAndTheEndMarkOnOnePage)
{
    const ReportDocument document = buildMasterList(scripMasterList(), scripRows(0));
    const QString path = pdfPath(QStringLiteral("empty"));
    ASSERT_TRUE(writeReportPdf(document, path));
    int pages = 0;
    const std::optional<QString> text = pdfText(path, &pages);
    if (!text)
        GTEST_SKIP() << "pdftotext is not installed";
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(*text, QStringLiteral("Scrip Master NSE Scrip Code BSE Scrip Code Company ** End Of Report **"));
}

}  // namespace
