// The scrip master on the master-form template: add, edit, cancel, delete,
// keyboard navigation, closing, find, browse and print.
#include "masters/browsedialog.h"
#include "masters/scripmasterform.h"
#include "mastersfixture.h"

#include <QPrintPreviewDialog>

namespace {

class ScripMasterTest : public FormTest<PrintCapturing<masters::ScripMasterForm>> {
protected:
    void SetUp() override
    {
        fixture::addScrip(db(), "Zeta Steel", "ZETA", "500900");
        fixture::addScrip(db(), "Alpha Mills", "ALPHA", "500100");
        fixture::addScrip(db(), "Beta Power", "BETA", "500200");
    }
    QString company() { return text("Text2"); }
    QString companyOfRow(int srno)
    {
        return db().scalar("SELECT company FROM ScripMaster WHERE srno = ?", {srno}).toString();
    }
    // Which of the toolbar's buttons 1, 3, 4 (Delete or Cancel) and 12 work.
    QString buttonsEnabled()
    {
        QString result;
        for (int index : {1, 3, 4, 12})
            result += form->toolbar()->action(index)->isEnabled() ? "1" : "0";
        return result + " " + form->toolbar()->action(4)->text();
    }
};

TEST_F(ScripMasterTest, EmptyTableOffersToEnterARow)
{
    db().exec("DELETE FROM ScripMaster");
    open();  // No is the scripted default
    EXPECT_EQ(lastSaid(), "Tarvenix - Stock Master: Information Not Entered !!! Do you want to Enter Now");
    EXPECT_EQ(prompt.messages[0].buttons, ui::Buttons::YesNo);
    EXPECT_EQ(mode(), "browsing, shut");
    QTest::keyClick(form, Qt::Key_Down);  // nothing to move to, and no error
    EXPECT_EQ(prompt.messages.size(), 1);
    delete form.data();
    prompt.answers.enqueue(ui::Answer::Yes);
    open();
    EXPECT_EQ(mode(), "adding, open");
}

TEST_F(ScripMasterTest, AddEditAndCancelAndTheKeyIsNeverTyped)
{
    db().exec("UPDATE ScripMaster SET nsescrip = NULL WHERE company = 'Beta Power'");
    open();
    EXPECT_EQ(QStringList({company(), text("Text1"), text("Text3"), text("Text4")}),
              QStringList({"Alpha Mills", "ALPHA", "500100", "2"}));
    EXPECT_EQ(mode(), "browsing, shut");

    // Only Save and Cancel work while adding; a deleted number is never reused.
    fixture::addScrip(db(), "Gone", {}, {});
    db().exec("DELETE FROM ScripMaster WHERE srno = 4");
    press("New");
    EXPECT_EQ(mode(), "adding, open");
    EXPECT_EQ(buttonsEnabled(), "0110 Cancel");
    EXPECT_TRUE(company().isEmpty());
    type({{"Text1", "ONEIL"}, {"Text3", "500300"}, {"Text2", "O'Neil Industries"}});
    press("Save");
    EXPECT_EQ(mode(), "browsing, shut");
    EXPECT_EQ(buttonsEnabled(), "1011 Delete");
    EXPECT_EQ(company(), "O'Neil Industries");
    EXPECT_EQ(text("Text4"), "5");
    EXPECT_EQ(companyOfRow(5), "O'Neil Industries");

    // What is typed is stored as typed; a field nobody typed in stays as
    // stored, a missing code too.
    press("First");
    press("Next");
    EXPECT_EQ(company(), "Beta Power");
    press("Edit");
    EXPECT_EQ(mode(), "editing, open");
    EXPECT_TRUE(child("Text4")->isReadOnly());
    EXPECT_NE(child("Text4")->parentWidget(), form->frame());
    child("Text2")->setText("  Beta Power Ltd ");
    press("Save");
    EXPECT_EQ(company(), "  Beta Power Ltd ");
    EXPECT_EQ(companyOfRow(3), "  Beta Power Ltd ");
    EXPECT_EQ(db().scalar("SELECT count(*) FROM ScripMaster WHERE srno = 3 AND nsescrip IS NULL").toInt(), 1);

    press("Edit");
    child("Text2")->setText("Typo");
    press("Cancel");
    EXPECT_EQ(mode(), "browsing, shut");
    EXPECT_EQ(company(), "  Beta Power Ltd ");
    EXPECT_EQ(companyOfRow(3), "  Beta Power Ltd ");
    press("New");
    press("Cancel");
    EXPECT_EQ(count("ScripMaster"), 4);
    EXPECT_EQ(company(), "  Beta Power Ltd ");
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(ScripMasterTest, AFailedSaveStaysInItsStateAndCanBeRepeated)
{
    open();
    db().exec(
        "CREATE TRIGGER no_blank BEFORE INSERT ON ScripMaster WHEN NEW.company = '' "
        "BEGIN SELECT RAISE(ABORT, 'Company is required'); END");
    press("New");
    press("Save");
    EXPECT_EQ(prompt.texts(), QStringList{"Company is required"});
    EXPECT_EQ(mode(), "adding, open");
    child("Text2")->setText("Gamma");
    press("Save");
    EXPECT_EQ(mode(), "browsing, shut");
    EXPECT_EQ(count("ScripMaster"), 4);
}

TEST_F(ScripMasterTest, DeleteAsksAndTheLastRowLeavesTheNewLast)
{
    open();
    press("Last");
    EXPECT_EQ(company(), "Zeta Steel");
    press("Delete");  // No is the scripted default
    EXPECT_EQ(lastSaid(), "Message: Delete this record?");
    EXPECT_EQ(count("ScripMaster"), 3);
    prompt.answers.enqueue(ui::Answer::Yes);
    press("Delete");
    EXPECT_EQ(count("ScripMaster"), 2);
    EXPECT_EQ(company(), "Beta Power");
}

TEST_F(ScripMasterTest, KeyboardNavigationOnlyWhileBrowsing)
{
    open();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* company;
    } keys[] = {
        {Qt::Key_Down, {}, "Beta Power"},
        {Qt::Key_Down, {}, "Zeta Steel"},
        {Qt::Key_Down, {}, "Zeta Steel"},  // at the last row: stays
        {Qt::Key_Home, {}, "Alpha Mills"},
        {Qt::Key_Down, Qt::ControlModifier, "Zeta Steel"},
        {Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier, "Beta Power"},  // only Ctrl alone jumps
        {Qt::Key_PageUp, Qt::ControlModifier, "Alpha Mills"},
        {Qt::Key_End, {}, "Zeta Steel"},
    };
    for (const auto& key : keys) {
        QTest::keyClick(form, key.key, key.modifiers);
        EXPECT_EQ(company(), key.company) << key.key;
    }

    press("Edit");
    QTest::keyClick(form, Qt::Key_Home);
    QTest::keyClick(form, Qt::Key_Escape);
    EXPECT_EQ(company(), "Zeta Steel");
    EXPECT_FALSE(form->close());
    EXPECT_EQ(lastSaid(), "Tarvenix - Stock Master: Save your changes");
    EXPECT_TRUE(form->isVisible());
    press("Cancel");
    QTest::keyClick(form, Qt::Key_Escape);
    EXPECT_TRUE(form.isNull() || !form->isVisible());
}

TEST_F(ScripMasterTest, BrowseFindsByTypingSortsAndMovesTheForm)
{
    fixture::addScrip(db(), "O'Neil Industries", "ONEIL", "500300");
    open();
    press("Find");
    masters::BrowseDialog* browse = form->browseWindow();
    ASSERT_NE(browse, nullptr);
    EXPECT_EQ(browse->windowTitle(), "Browse Script");
    auto* fields = browse->findChild<QComboBox*>("Combo1");
    auto* search = browse->findChild<QLineEdit*>("txt_search");
    ASSERT_EQ(fields->currentText(), "srno");
    fields->setCurrentText("company");
    search->setText("o'n");
    EXPECT_EQ(browse->grid()->currentIndex().row(), 2);
    search->setText("nothing like it");
    EXPECT_FALSE(browse->grid()->currentIndex().isValid());
    search->setText("b");
    QTest::keyClick(search, Qt::Key_Return);
    EXPECT_TRUE(form->browseWindow() == nullptr || !form->browseWindow()->isVisible());
    QCoreApplication::processEvents();
    EXPECT_EQ(company(), "Beta Power");

    // Digits find an exact number; letters in a number field move nothing.
    press("Browse");
    browse = form->browseWindow();
    search = browse->findChild<QLineEdit*>("txt_search");
    search->setText("1");
    search->setText("1x");
    // A heading click sorts the form's own rows, ascending then descending.
    QHeaderView* header = browse->grid()->horizontalHeader();
    const int nse = form->adoPrimaryRS().fieldIndex("nsescrip");
    header->sectionClicked(nse);
    EXPECT_EQ(form->adoPrimaryRS().valueAt(0, nse).toString(), "ALPHA");
    header->sectionClicked(nse);
    EXPECT_EQ(form->adoPrimaryRS().valueAt(0, nse).toString(), "ZETA");
    QTest::keyClick(browse, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(company(), "Zeta Steel");
    QTest::keyClick(form, Qt::Key_Down);
    EXPECT_EQ(company(), "O'Neil Industries");
}

TEST_F(ScripMasterTest, PrintListsTheTablesCurrentRowsInTheFormsOrderAndNothingWhileTyping)
{
    open();
    // A row written after the form opened is listed too.
    fixture::addScrip(db(), "O'Neil Foods", "ONEIL", "500300");
    press("Print");
    ASSERT_EQ(form->printed.size(), 1);
    EXPECT_EQ(fixture::lines(form->printed[0]),
              QStringList({"Branch Master Report / Scrip Master", "NSE Scrip Code | BSE Scrip Code | Company",
                           "ALPHA | 500100 | Alpha Mills", "BETA | 500200 | Beta Power",
                           "ONEIL | 500300 | O'Neil Foods", "ZETA | 500900 | Zeta Steel", "** End Of Report **"}));
    EXPECT_EQ(company(), "Zeta Steel");
    EXPECT_TRUE(prompt.messages.isEmpty());

    // The browse window's column sort orders the form's own rows.
    form->adoPrimaryRS().setSort({{"bsescrip", false}});
    press("print");
    ASSERT_EQ(form->printed.size(), 2);
    EXPECT_EQ(fixture::lines(form->printed[1]).mid(2, 4),
              QStringList({"ZETA | 500900 | Zeta Steel", "ONEIL | 500300 | O'Neil Foods", "BETA | 500200 | Beta Power",
                           "ALPHA | 500100 | Alpha Mills"}));

    press("New");
    EXPECT_FALSE(form->toolbar()->action("Print")->isEnabled());
    child("Text2")->setText("Gamma Chem");
    form->Toolbar1_ButtonClick("PRINT");
    EXPECT_EQ(form->printed.size(), 2);
    EXPECT_EQ(mode(), "adding, open");
    press("Save");
    EXPECT_EQ(count("ScripMaster"), 5);
    press("Print");
    ASSERT_EQ(form->printed.size(), 3);
    EXPECT_EQ(form->printed[2].rows.size(), 5);
}

TEST_F(ScripMasterTest, PrintOpensThePreviewOfTheList)
{
    masters::ScripMasterForm real(db());
    real.show();
    real.toolbar()->action("Print")->trigger();
    const auto previews = real.findChildren<QPrintPreviewDialog*>();
    ASSERT_EQ(previews.size(), 1);
    EXPECT_TRUE(previews[0]->isVisible());
    EXPECT_EQ(previews[0]->windowTitle(), "Branch Master Report");
    previews[0]->close();
}

}  // namespace
