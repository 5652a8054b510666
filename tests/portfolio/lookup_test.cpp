// The look-up: type-ahead by column kind, header sorts and the chosen row.
#include "portfolio/lookupdialog.h"
#include "portfoliofixture.h"

#include <QComboBox>
#include <QTableWidget>

using portfolio::LookupRows;

namespace {

class LookupTest : public pf::ScreenTest {
protected:
    void SetUp() override
    {
        for (const char* company : {"Bharat Forge", "Asian Paints", "Apollo Tyres", "Axis Bank", "Apollo Tyres"})
            pf::addScrip(db(), company);
    }
    LookupRows scrips() { return LookupRows(db(), portfolio::scripLookupSql(), portfolio::scripLookupTypes()); }
    // A look-up dialog over the scrips, `typed` in its search box.
    void search(portfolio::LookupDialog& dialog, const QString& typed)
    {
        dialog.search_call(db(), portfolio::scripLookupSql(), portfolio::scripLookupTypes());
        dialog.searchBox()->setText(typed);
    }
    static QString current(const portfolio::LookupDialog& dialog, int column)
    {
        const int row = dialog.grid()->currentRow();
        return row < 0 ? "<none>" : dialog.grid()->item(row, column)->text();
    }
};

TEST_F(LookupTest, TypeAheadFindsByColumnKind)
{
    LookupRows rows = scrips();
    ASSERT_EQ(rows.fieldNames(), (QStringList{"Script", "Srno", "Nse Code", "Bse Code"}));
    EXPECT_EQ(rows.currentRow(), 0);
    // Text: an exact match ahead, else the first prefix, from the current row on.
    EXPECT_FALSE(rows.typeAhead(0, "ap"));
    EXPECT_EQ(rows.currentRow(), 0);  // "Apollo Tyres", first in name order
    rows.setCurrentRow(1);            // the second "Apollo Tyres"
    EXPECT_FALSE(rows.typeAhead(0, "apollo tyres"));
    EXPECT_EQ(rows.currentRow(), 1);
    EXPECT_FALSE(rows.typeAhead(0, "As"));
    EXPECT_EQ(rows.text(rows.currentRow(), 0), "Asian Paints");
    EXPECT_FALSE(rows.typeAhead(0, "O'Neil"));  // quotes are harmless
    EXPECT_EQ(rows.currentRow(), -1);
    EXPECT_FALSE(rows.currentTexts());

    // Numbers: from the top, and text is refused.
    EXPECT_FALSE(rows.typeAhead(1, "4"));
    EXPECT_EQ(rows.text(rows.currentRow(), 0), "Axis Bank");
    EXPECT_FALSE(rows.typeAhead(1, "40"));
    EXPECT_EQ(rows.currentRow(), -1);
    EXPECT_TRUE(rows.typeAhead(1, "x"));
    // Letters other than the upper-case ones search nothing.
    LookupRows lower(db(), portfolio::scripLookupSql(), {"t"});
    lower.setCurrentRow(2);
    EXPECT_FALSE(lower.typeAhead(0, "Axis Bank"));
    EXPECT_EQ(lower.currentRow(), 2);
}

TEST_F(LookupTest, HeaderClicksAlternateAndFillerColumnsAreIgnored)
{
    LookupRows rows = scrips();
    for (const char* first : {"APOLLO TYRES", "BHARAT FORGE", "APOLLO TYRES"}) {
        rows.headerClick(2);  // "Nse Code" ascending, then alternating
        EXPECT_EQ(rows.text(0, 2), first);
    }
    rows.headerClick(1);  // another column starts ascending
    EXPECT_EQ(rows.text(0, 1), "1");

    LookupRows filler(db(), "SELECT company, srno AS \"\u00A0\" FROM ScripMaster ORDER BY srno DESC", {"T", "N"});
    filler.headerClick(1);
    EXPECT_EQ(filler.text(0, 1), "5");
}

TEST_F(LookupTest, TheDialogGivesTheChosenRowsTextsOrNothing)
{
    portfolio::LookupDialog dialog;
    dialog.DefaultComboVal = "Srno";
    search(dialog, "3");
    EXPECT_EQ(dialog.windowTitle(), "Seach");
    EXPECT_EQ(dialog.columnList()->currentText(), "Srno");
    EXPECT_TRUE(dialog.DefaultComboVal.isEmpty());
    EXPECT_EQ(current(dialog, 1), "3");
    dialog.cmd_ok_Click();
    EXPECT_EQ(dialog.chosenRow(), (QStringList{"Apollo Tyres", "3", "APOLLO TYRES", QString()}));

    portfolio::LookupDialog nothing;
    search(nothing, "99");
    nothing.cmd_ok_Click();
    EXPECT_TRUE(nothing.chosenRow().isEmpty());

    // A search after a header sort shows the rows in the query's order again.
    portfolio::LookupDialog sorted;
    search(sorted, "");
    sorted.headerClick(1);
    sorted.headerClick(1);
    EXPECT_EQ(sorted.grid()->item(0, 1)->text(), "5");
    sorted.searchBox()->setText("Ax");
    EXPECT_EQ(sorted.grid()->item(4, 0)->text(), "Bharat Forge");
    EXPECT_EQ(current(sorted, 0), "Axis Bank");

    portfolio::LookupDialog wrong;
    search(wrong, "");
    wrong.columnList()->setCurrentIndex(1);
    wrong.searchBox()->setText("abc");
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.lastText().startsWith(" Error In Query "));
    EXPECT_EQ(prompt.messages[0].title, "Error");

    // An empty look-up says so and chooses nothing.
    prompt.messages.clear();
    const portfolio::LookupRunner lookup = portfolio::dialogLookup(db(), nullptr);
    EXPECT_TRUE(lookup(portfolio::portfolioLookupSql(), portfolio::portfolioLookupTypes()).isEmpty());
    ASSERT_EQ(prompt.texts(), QStringList{"No records found"});
    EXPECT_EQ(prompt.messages[0].title, "No Records");
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Information);
}

}  // namespace
