// The printed master lists: what the scrip and group lists show on paper.
#include "reportfixtures.h"
#include "reports/masterlist.h"
#include "reports/reportengine.h"

#include <gtest/gtest.h>

using namespace reports;
using reportfixtures::companyName;
using reportfixtures::printedPages;
using store::ColumnKind;

namespace {

// Rows shaped as the scrip master's table reads them, key first.
store::Rows scripRows(int count)
{
    store::Rows rows;
    rows.columns = {{"srno", ColumnKind::Integer}, {"company", ColumnKind::Text}, {"nsescrip", ColumnKind::Text},
                    {"bsescrip", ColumnKind::Text}};
    for (int i = 0; i < count; ++i)
        rows.rows.append({qlonglong(900 + i), companyName(i), QStringLiteral("NSE%1").arg(i, 4, 10, QLatin1Char('0')),
                          QStringLiteral("5%1").arg(i, 5, 10, QLatin1Char('0'))});
    return rows;
}

TEST(MasterList, ScripListPrintsTitleHeadingsEveryRowUnderItsHeadingAndTheEndMark)
{
    const ReportDocument document = buildMasterList(scripMasterList(), scripRows(4));
    EXPECT_EQ(document.windowCaption, "Branch Master Report");
    const QStringList pages = printedPages(document);
    ASSERT_EQ(pages.size(), 1);
    const QString& text = pages[0];
    EXPECT_TRUE(text.startsWith("Scrip Master NSE Scrip Code BSE Scrip Code Company")) << text;
    // Each scrip's codes and name on one line, in the headings' order; the
    // scrip number is not listed.
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(text.contains(QStringLiteral("NSE000%1 50000%1 %2").arg(i).arg(companyName(i)))) << i;
        EXPECT_FALSE(text.contains(QString::number(900 + i))) << i;
    }
    EXPECT_TRUE(text.endsWith("** End Of Report **")) << text;
    EXPECT_FALSE(text.contains("Branch"));

    // An empty table prints the headings and the end mark on one page.
    EXPECT_EQ(printedPages(buildMasterList(scripMasterList(), scripRows(0))),
              QStringList{"Scrip Master NSE Scrip Code BSE Scrip Code Company ** End Of Report **"});
}

TEST(MasterList, LongListRunsOverPagesWithHeadingsOnEachAndEveryScripOnce)
{
    const int count = 160;
    const ReportDocument document = buildMasterList(scripMasterList(), scripRows(count));
    const QStringList pages = printedPages(document);
    ASSERT_GE(pages.size(), 3);
    EXPECT_EQ(renderReportPages(document, 72).size(), pages.size());
    for (int page = 0; page < pages.size(); ++page) {
        EXPECT_TRUE(pages[page].contains("NSE Scrip Code BSE Scrip Code Company")) << page;
        EXPECT_EQ(pages[page].contains("** End Of Report **"), page == pages.size() - 1) << page;
    }
    const QString all = pages.join(' ');
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(all.count(companyName(i)), 1) << i;
}

TEST(MasterList, GroupListHasTwoColumnsAndFindsFieldsWhateverTheirCase)
{
    store::Rows rows;
    rows.columns = {{"GroupCode", ColumnKind::Text}, {"GroupName", ColumnKind::Text}};
    rows.rows = {{"BANKS", "Banking Stocks"}, {"ONEIL", "O'Neil Picks"}, {"EMPTY", QVariant()}};
    const ReportDocument document = buildMasterList(groupMasterList(), rows);
    ASSERT_EQ(document.columns.size(), 2);
    EXPECT_EQ(document.rows.last(), (QStringList{"EMPTY", QString()}));
    EXPECT_EQ(printedPages(document), QStringList{"Group Master Group Code Group Description BANKS Banking Stocks "
                                                  "ONEIL O'Neil Picks EMPTY ** End Of Report **"});
}

}  // namespace
