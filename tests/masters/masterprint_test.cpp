// Print on the master forms: the list holds the table's current rows in the
// form's order under the form's own title and headings.
#include "masters/frmgroupmaster.h"
#include "masters/frmscriptmaster.h"
#include "mastersfixture.h"
#include "reports/reportdocument.h"

#include <QPrintPreviewDialog>

namespace {

// A master form that keeps the lists it would preview instead of opening a
// window.
template <class Form>
class PrintCapturing : public Form {
public:
    using Form::Form;
    QList<reports::ReportDocument> printed;

protected:
    void showReport(const reports::ReportDocument& document) override { printed.append(document); }
};

// A printed list as lines: caption and titles, headings, rows, footnotes.
QStringList lines(const reports::ReportDocument& document)
{
    QStringList headings;
    for (const reports::ReportColumn& column : document.columns)
        headings.append(column.heading);
    QStringList result{document.windowCaption + " / " + document.titleLines.join(" / "), headings.join(" | ")};
    for (const QStringList& row : document.rows)
        result.append(row.join(" | "));
    return result + document.footnotes;
}

class MasterPrintTest : public FormTest<PrintCapturing<masters::FrmScriptMaster>> {
protected:
    void SetUp() override
    {
        fixture::addScrip(db(), "Zeta Steel", "ZETA", "500900");
        fixture::addScrip(db(), "Alpha Mills", "ALPHA", "500100");
        fixture::addScrip(db(), "O'Neil Foods", "ONEIL", "500300");
    }
};

TEST_F(MasterPrintTest, ScripListHoldsTheTablesCurrentRowsInTheFormsOrderAndNothingWhileTyping)
{
    open();
    // A row written after the form opened is listed too.
    fixture::addScrip(db(), "Beta Power", "BETA", "500200");
    press("Print");
    ASSERT_EQ(form->printed.size(), 1);
    EXPECT_EQ(lines(form->printed[0]),
              QStringList({"Branch Master Report / Scrip Master", "NSE Scrip Code | BSE Scrip Code | Company",
                           "ALPHA | 500100 | Alpha Mills", "BETA | 500200 | Beta Power", "ONEIL | 500300 | O'Neil Foods",
                           "ZETA | 500900 | Zeta Steel", "** End Of Report **"}));
    EXPECT_EQ(text("Text2"), "Zeta Steel");
    EXPECT_TRUE(prompt.messages.isEmpty());

    // The browse window's column sort orders the form's own rows.
    form->adoPrimaryRS().setSort({{"bsescrip", false}});
    press("print");
    ASSERT_EQ(form->printed.size(), 2);
    EXPECT_EQ(lines(form->printed[1]).mid(2, 4),
              QStringList({"ZETA | 500900 | Zeta Steel", "ONEIL | 500300 | O'Neil Foods", "BETA | 500200 | Beta Power",
                           "ALPHA | 500100 | Alpha Mills"}));

    press("New");
    EXPECT_FALSE(form->toolbar()->action("Print")->isEnabled());
    child("Text2")->setText("Gamma Chem");
    form->Toolbar1_ButtonClick("PRINT");
    EXPECT_EQ(form->printed.size(), 2);
    EXPECT_TRUE(form->isAddingNew());
    press("Save");
    EXPECT_EQ(count("ScripMaster"), 5);
    press("Print");
    ASSERT_EQ(form->printed.size(), 3);
    EXPECT_EQ(form->printed[2].rows.size(), 5);
}

TEST_F(MasterPrintTest, GroupListHasCodeAndDescriptionByName)
{
    fixture::addGroup(db(), "NIFTY", "Nifty fifty");
    fixture::addGroup(db(), "BANKS", "Banking");
    PrintCapturing<masters::FrmGroupMaster> groups(db());
    groups.toolbar()->action("Print")->trigger();
    ASSERT_EQ(groups.printed.size(), 1);
    EXPECT_EQ(lines(groups.printed[0]),
              QStringList({"Branch Master Report / Group Master", "Group Code | Group Description",
                           "BANKS | Banking", "NIFTY | Nifty fifty", "** End Of Report **"}));
    EXPECT_EQ(groups.findChild<QLineEdit*>("Text1")->text(), "NIFTY");
}

TEST_F(MasterPrintTest, PrintOpensThePreviewOfTheList)
{
    masters::FrmScriptMaster form(db());
    form.show();
    form.toolbar()->action("Print")->trigger();
    const auto previews = form.findChildren<QPrintPreviewDialog*>();
    ASSERT_EQ(previews.size(), 1);
    EXPECT_TRUE(previews[0]->isVisible());
    EXPECT_EQ(previews[0]->windowTitle(), "Branch Master Report");
    previews[0]->close();
}

}  // namespace
