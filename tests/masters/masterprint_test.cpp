// Print on the master forms: the list holds the table's current rows in the
// form's order under the form's own title and headings.
#include "masters/groupmasterform.h"
#include "masters/scripmasterform.h"
#include "mastersfixture.h"
#include "reports/reportdocument.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"

#include <QAction>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <gtest/gtest.h>
#include <memory>

using masters::GroupMasterForm;
using masters::ScripMasterForm;

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

QStringList headings(const reports::ReportDocument& document)
{
    QStringList result;
    for (const reports::ReportColumn& column : document.columns)
        result.append(column.heading);
    return result;
}

class MasterPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture::addScrip(db(), QStringLiteral("Zeta Steel"), QStringLiteral("ZETA"), QStringLiteral("500900"));
        fixture::addScrip(db(), QStringLiteral("Alpha Mills"), QStringLiteral("ALPHA"), QStringLiteral("500100"));
        fixture::addScrip(db(), QStringLiteral("O'Neil Foods"), QStringLiteral("ONEIL"), QStringLiteral("500300"));
    }
    static void press(masters::MasterForm& form, const QString& button) { form.toolbar()->action(button)->trigger(); }
    static QString boxText(QWidget& form, const char* name)
    {
        return form.findChild<QLineEdit*>(QString::fromLatin1(name))->text();
    }
    store::Database& db() { return store.db(); }

    TestStore store;
    ScriptedPrompt prompt;
};

TEST_F(MasterPrintTest, ScripListHoldsTheTablesCurrentRowsByCompanyAndTheFormEndsOnTheLastRow)
{
    PrintCapturing<ScripMasterForm> form(db());
    // A row written after the form opened is listed too.
    fixture::addScrip(db(), QStringLiteral("Beta Power"), QStringLiteral("BETA"), QStringLiteral("500200"));
    press(form, QStringLiteral("Print"));

    ASSERT_EQ(form.printed.size(), 1);
    const reports::ReportDocument& list = form.printed[0];
    EXPECT_EQ(list.windowCaption, QStringLiteral("Branch Master Report"));
    EXPECT_EQ(list.titleLines, QStringList{QStringLiteral("Scrip Master")});
    EXPECT_EQ(headings(list), (QStringList{QStringLiteral("NSE Scrip Code"), QStringLiteral("BSE Scrip Code"),
                                           QStringLiteral("Company")}));
    const QList<QStringList> expected{
        {QStringLiteral("ALPHA"), QStringLiteral("500100"), QStringLiteral("Alpha Mills")},
        {QStringLiteral("BETA"), QStringLiteral("500200"), QStringLiteral("Beta Power")},
        {QStringLiteral("ONEIL"), QStringLiteral("500300"), QStringLiteral("O'Neil Foods")},
        {QStringLiteral("ZETA"), QStringLiteral("500900"), QStringLiteral("Zeta Steel")}};
    EXPECT_EQ(list.rows, expected);
    EXPECT_EQ(list.footnotes, QStringList{QStringLiteral("** End Of Report **")});
    EXPECT_EQ(boxText(form, "Text2"), QStringLiteral("Zeta Steel"));
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(MasterPrintTest, ListFollowsTheOrderChosenInTheBrowseWindow)
{
    PrintCapturing<ScripMasterForm> form(db());
    // The browse window's column sort orders the form's own rows.
    form.adoPrimaryRS().setSort({{QStringLiteral("bsescrip"), false}});
    press(form, QStringLiteral("print"));
    ASSERT_EQ(form.printed.size(), 1);
    QStringList companies;
    for (const QStringList& row : form.printed[0].rows)
        companies.append(row.value(2));
    EXPECT_EQ(companies, (QStringList{QStringLiteral("Zeta Steel"), QStringLiteral("O'Neil Foods"),
                                      QStringLiteral("Alpha Mills")}));
}

TEST_F(MasterPrintTest, NothingPrintsWhileARowIsBeingTypedAndTheRowIsKept)
{
    PrintCapturing<ScripMasterForm> form(db());
    press(form, QStringLiteral("New"));
    EXPECT_FALSE(form.toolbar()->action(QStringLiteral("Print"))->isEnabled());
    form.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QStringLiteral("Gamma Chem"));
    form.Toolbar1_ButtonClick(QStringLiteral("PRINT"));
    EXPECT_TRUE(form.printed.isEmpty());
    EXPECT_TRUE(form.isAddingNew());
    press(form, QStringLiteral("Save"));
    EXPECT_EQ(fixture::count(db(), QStringLiteral("ScripMaster")), 4);
    press(form, QStringLiteral("Print"));
    ASSERT_EQ(form.printed.size(), 1);
    EXPECT_EQ(form.printed[0].rows.size(), 4);
}

TEST_F(MasterPrintTest, GroupListHasCodeAndDescriptionByName)
{
    fixture::addGroup(db(), QStringLiteral("NIFTY"), QStringLiteral("Nifty fifty"));
    fixture::addGroup(db(), QStringLiteral("BANKS"), QStringLiteral("Banking"));
    PrintCapturing<GroupMasterForm> form(db());
    press(form, QStringLiteral("Print"));

    ASSERT_EQ(form.printed.size(), 1);
    const reports::ReportDocument& list = form.printed[0];
    EXPECT_EQ(list.titleLines, QStringList{QStringLiteral("Group Master")});
    EXPECT_EQ(headings(list), (QStringList{QStringLiteral("Group Code"), QStringLiteral("Group Description")}));
    const QList<QStringList> expected{{QStringLiteral("BANKS"), QStringLiteral("Banking")},
                                      {QStringLiteral("NIFTY"), QStringLiteral("Nifty fifty")}};
    EXPECT_EQ(list.rows, expected);
    EXPECT_EQ(boxText(form, "Text1"), QStringLiteral("NIFTY"));
}

TEST_F(MasterPrintTest, PrintOpensThePreviewOfTheList)
{
    auto form = std::make_unique<ScripMasterForm>(db());
    form->show();
    press(*form, QStringLiteral("Print"));
    const auto previews = form->findChildren<QPrintPreviewDialog*>();
    ASSERT_EQ(previews.size(), 1);
    EXPECT_TRUE(previews[0]->isVisible());
    EXPECT_EQ(previews[0]->windowTitle(), QStringLiteral("Branch Master Report"));
    previews[0]->close();
}

}  // namespace
