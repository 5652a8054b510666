// The look-up: type-ahead by column kind, header sorts and the chosen row.
#include "portfolio/lookupdialog.h"
#include "portfoliofixture.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>
#include <gtest/gtest.h>

using portfolio::LookupRows;

namespace {

class LookupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* company : {"Bharat Forge", "Asian Paints", "Apollo Tyres", "Axis Bank", "Apollo Tyres"})
            pf::addScrip(store.db(), QString::fromLatin1(company));
    }
    LookupRows scrips() { return LookupRows(store.db(), portfolio::scripLookupSql(), portfolio::scripLookupTypes()); }
    QString currentCompany(const LookupRows& rows) { return rows.text(rows.currentRow(), 0); }

    TestStore store;
    ScriptedPrompt prompt;
};

TEST_F(LookupTest, TextSearchKeepsAnExactMatchAheadElseTakesTheFirstPrefix)
{
    LookupRows rows = scrips();
    ASSERT_EQ(rows.fieldNames(), (QStringList{QStringLiteral("Script"), QStringLiteral("Srno"), QStringLiteral("Nse Code"),
                                              QStringLiteral("Bse Code")}));
    EXPECT_EQ(rows.currentRow(), 0);
    EXPECT_FALSE(rows.typeAhead(0, QStringLiteral("ap")));
    EXPECT_EQ(rows.currentRow(), 0);  // "Apollo Tyres", first in name order
    rows.setCurrentRow(1);            // the second "Apollo Tyres"
    EXPECT_FALSE(rows.typeAhead(0, QStringLiteral("apollo tyres")));
    EXPECT_EQ(rows.currentRow(), 1);  // found from the current row on
    EXPECT_FALSE(rows.typeAhead(0, QStringLiteral("As")));
    EXPECT_EQ(currentCompany(rows), QStringLiteral("Asian Paints"));
    EXPECT_FALSE(rows.typeAhead(0, QStringLiteral("O'Neil")));  // quotes are harmless
    EXPECT_EQ(rows.currentRow(), -1);
    EXPECT_FALSE(rows.currentTexts());
}

TEST_F(LookupTest, NumberSearchStartsAtTheTopAndRefusesText)
{
    LookupRows rows = scrips();
    EXPECT_FALSE(rows.typeAhead(1, QStringLiteral("4")));
    EXPECT_EQ(currentCompany(rows), QStringLiteral("Axis Bank"));
    EXPECT_FALSE(rows.typeAhead(1, QStringLiteral("40")));
    EXPECT_EQ(rows.currentRow(), -1);
    const auto failure = rows.typeAhead(1, QStringLiteral("x"));
    ASSERT_TRUE(failure);
    // Letters other than the upper-case ones search nothing.
    LookupRows lower(store.db(), portfolio::scripLookupSql(), {QStringLiteral("t")});
    lower.setCurrentRow(2);
    EXPECT_FALSE(lower.typeAhead(0, QStringLiteral("Axis Bank")));
    EXPECT_EQ(lower.currentRow(), 2);
}

TEST_F(LookupTest, HeaderClicksAlternateAndFillerColumnsAreIgnored)
{
    LookupRows rows = scrips();
    rows.headerClick(2);  // "Nse Code" ascending
    EXPECT_EQ(rows.text(0, 2), QStringLiteral("APOLLO TYRES"));
    rows.headerClick(2);
    EXPECT_EQ(rows.text(0, 2), QStringLiteral("BHARAT FORGE"));
    rows.headerClick(2);
    EXPECT_EQ(rows.text(0, 2), QStringLiteral("APOLLO TYRES"));
    rows.headerClick(1);  // another column starts ascending
    EXPECT_EQ(rows.text(0, 1), QStringLiteral("1"));

    LookupRows filler(store.db(), QStringLiteral("SELECT company, srno AS \"\u00A0\" FROM ScripMaster ORDER BY srno DESC"),
                      {QStringLiteral("T"), QStringLiteral("N")});
    filler.headerClick(1);
    EXPECT_EQ(filler.text(0, 1), QStringLiteral("5"));
}

TEST_F(LookupTest, TheDialogGivesTheChosenRowsTextsOrNothing)
{
    portfolio::LookupDialog dialog;
    dialog.DefaultComboVal = QStringLiteral("Srno");
    dialog.search_call(store.db(), portfolio::scripLookupSql(), portfolio::scripLookupTypes());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Seach"));
    EXPECT_EQ(dialog.columnList()->currentText(), QStringLiteral("Srno"));
    EXPECT_TRUE(dialog.DefaultComboVal.isEmpty());
    dialog.searchBox()->setText(QStringLiteral("3"));
    ASSERT_GE(dialog.grid()->currentRow(), 0);
    EXPECT_EQ(dialog.grid()->item(dialog.grid()->currentRow(), 1)->text(), QStringLiteral("3"));
    dialog.cmd_ok_Click();
    EXPECT_EQ(dialog.chosenRow(),
              (QStringList{QStringLiteral("Apollo Tyres"), QStringLiteral("3"), QStringLiteral("APOLLO TYRES"), QString()}));

    portfolio::LookupDialog nothing;
    nothing.search_call(store.db(), portfolio::scripLookupSql(), portfolio::scripLookupTypes());
    nothing.searchBox()->setText(QStringLiteral("99"));
    nothing.cmd_ok_Click();
    EXPECT_TRUE(nothing.chosenRow().isEmpty());

    // A search after a header sort shows the rows in the query's order again.
    portfolio::LookupDialog sorted;
    sorted.search_call(store.db(), portfolio::scripLookupSql(), portfolio::scripLookupTypes());
    sorted.headerClick(1);
    sorted.headerClick(1);
    EXPECT_EQ(sorted.grid()->item(0, 1)->text(), QStringLiteral("5"));
    sorted.searchBox()->setText(QStringLiteral("Ax"));
    EXPECT_EQ(sorted.grid()->item(4, 0)->text(), QStringLiteral("Bharat Forge"));
    ASSERT_GE(sorted.grid()->currentRow(), 0);
    EXPECT_EQ(sorted.grid()->item(sorted.grid()->currentRow(), 0)->text(), QStringLiteral("Axis Bank"));

    portfolio::LookupDialog wrong;
    wrong.search_call(store.db(), portfolio::scripLookupSql(), portfolio::scripLookupTypes());
    wrong.columnList()->setCurrentIndex(1);
    wrong.searchBox()->setText(QStringLiteral("abc"));
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages[0].text.startsWith(QStringLiteral(" Error In Query ")));
    EXPECT_EQ(prompt.messages[0].title, QStringLiteral("Error"));
}

TEST_F(LookupTest, AnEmptyLookupSaysSoAndChoosesNothing)
{
    const portfolio::LookupRunner lookup = portfolio::dialogLookup(store.db(), nullptr);
    EXPECT_TRUE(lookup(portfolio::portfolioLookupSql(), portfolio::portfolioLookupTypes()).isEmpty());
    ASSERT_EQ(prompt.texts(), QStringList{QStringLiteral("No records found")});
    EXPECT_EQ(prompt.messages[0].title, QStringLiteral("No Records"));
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Information);
}

}  // namespace
