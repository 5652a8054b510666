// The scrip master on the master-form template: add, edit, cancel, delete,
// keyboard navigation, closing, find and browse.
#include "masters/browsedialog.h"
#include "masters/scripmasterform.h"
#include "mastersfixture.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using masters::ScripMasterForm;

namespace {

class ScripMasterTest : public ::testing::Test {
protected:
    void seed()
    {
        fixture::addScrip(db(), QStringLiteral("Zeta Steel"), QStringLiteral("ZETA"), QStringLiteral("500900"));
        fixture::addScrip(db(), QStringLiteral("Alpha Mills"), QStringLiteral("ALPHA"), QStringLiteral("500100"));
        fixture::addScrip(db(), QStringLiteral("Beta Power"), QStringLiteral("BETA"), QStringLiteral("500200"));
    }
    ScripMasterForm* open()
    {
        form = new ScripMasterForm(db());
        form->show();
        return form;
    }
    void press(const QString& button) { form->toolbar()->action(button)->trigger(); }
    QLineEdit* box(const char* name) { return form->findChild<QLineEdit*>(QString::fromLatin1(name)); }
    QString company() { return box("Text2")->text(); }
    store::Database& db() { return store.db(); }

    void TearDown() override { delete form.data(); }

    TestStore store;
    ScriptedPrompt prompt;
    QPointer<ScripMasterForm> form;
};

TEST_F(ScripMasterTest, EmptyTableOffersToEnterARow)
{
    prompt.answers.enqueue(ui::Answer::Yes);
    open();
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].text, QStringLiteral("Information Not Entered !!! Do you want to Enter Now"));
    EXPECT_EQ(prompt.messages[0].title, QStringLiteral("Tarvenix - Stock Master"));
    EXPECT_EQ(prompt.messages[0].buttons, ui::Buttons::YesNo);
    EXPECT_TRUE(form->isAddingNew());
    EXPECT_TRUE(form->frame()->isEnabled());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Stock Master"));
}

TEST_F(ScripMasterTest, ShowsRowsByCompanyAndTheKeyIsNeverTyped)
{
    seed();
    open();
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_EQ(company(), QStringLiteral("Alpha Mills"));
    EXPECT_EQ(box("Text1")->text(), QStringLiteral("ALPHA"));
    EXPECT_EQ(box("Text3")->text(), QStringLiteral("500100"));
    EXPECT_EQ(box("Text4")->text(), QStringLiteral("2"));
    EXPECT_FALSE(form->frame()->isEnabled());
    press(QStringLiteral("Edit"));
    EXPECT_TRUE(form->frame()->isEnabled());
    EXPECT_TRUE(box("Text4")->isReadOnly());
    EXPECT_FALSE(box("Text4")->parentWidget() == form->frame());
}

TEST_F(ScripMasterTest, AddSavesANewRowAndShowsItWithANumberNeverReused)
{
    seed();
    open();
    db().exec(QStringLiteral("DELETE FROM ScripMaster WHERE srno = 3"));
    auto* toolbar = form->toolbar();
    press(QStringLiteral("New"));
    EXPECT_TRUE(form->isAddingNew());
    // Only Save and Cancel work while adding.
    EXPECT_FALSE(toolbar->action(1)->isEnabled());
    EXPECT_TRUE(toolbar->action(3)->isEnabled());
    EXPECT_EQ(toolbar->action(4)->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(toolbar->action(4)->isEnabled());
    EXPECT_FALSE(toolbar->action(12)->isEnabled());
    EXPECT_TRUE(company().isEmpty());

    box("Text1")->setText(QStringLiteral("ONEIL"));
    box("Text3")->setText(QStringLiteral("500300"));
    box("Text2")->setText(QStringLiteral("O'Neil Industries"));
    press(QStringLiteral("Save"));
    EXPECT_FALSE(form->isAddingNew());
    EXPECT_EQ(toolbar->action(4)->text(), QStringLiteral("Delete"));
    EXPECT_FALSE(toolbar->action(3)->isEnabled());
    EXPECT_EQ(company(), QStringLiteral("O'Neil Industries"));
    EXPECT_EQ(box("Text4")->text(), QStringLiteral("4"));  // 3 was deleted and stays unused
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT srno FROM ScripMaster WHERE company = ?"), {QStringLiteral("O'Neil Industries")})
                  .toInt(),
              4);
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(ScripMasterTest, EditSavesAndCancelRestores)
{
    seed();
    open();
    press(QStringLiteral("Next"));
    EXPECT_EQ(company(), QStringLiteral("Beta Power"));
    press(QStringLiteral("Edit"));
    box("Text2")->setText(QStringLiteral("  Beta Power Ltd "));
    press(QStringLiteral("Save"));
    EXPECT_EQ(company(), QStringLiteral("Beta Power Ltd"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT company FROM ScripMaster WHERE srno = 3")).toString(),
              QStringLiteral("Beta Power Ltd"));

    press(QStringLiteral("Edit"));
    box("Text2")->setText(QStringLiteral("Typo"));
    press(QStringLiteral("Cancel"));
    EXPECT_FALSE(form->isEditing());
    EXPECT_EQ(company(), QStringLiteral("Beta Power Ltd"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT company FROM ScripMaster WHERE srno = 3")).toString(),
              QStringLiteral("Beta Power Ltd"));

    press(QStringLiteral("New"));
    press(QStringLiteral("Cancel"));
    EXPECT_EQ(fixture::count(db(), QStringLiteral("ScripMaster")), 3);
    EXPECT_EQ(company(), QStringLiteral("Beta Power Ltd"));
}

TEST_F(ScripMasterTest, AFailedSaveStaysInItsStateAndCanBeRepeated)
{
    seed();
    open();
    db().exec(QStringLiteral("CREATE TRIGGER no_blank BEFORE INSERT ON ScripMaster WHEN NEW.company = '' "
                             "BEGIN SELECT RAISE(ABORT, 'Company is required'); END"));
    press(QStringLiteral("New"));
    press(QStringLiteral("Save"));
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Company is required"));
    EXPECT_TRUE(form->isAddingNew());
    EXPECT_TRUE(form->frame()->isEnabled());
    box("Text2")->setText(QStringLiteral("Gamma"));
    press(QStringLiteral("Save"));
    EXPECT_FALSE(form->isAddingNew());
    EXPECT_EQ(fixture::count(db(), QStringLiteral("ScripMaster")), 4);
}

TEST_F(ScripMasterTest, DeleteAsksAndTheLastRowLeavesTheNewLast)
{
    seed();
    open();
    press(QStringLiteral("Last"));
    EXPECT_EQ(company(), QStringLiteral("Zeta Steel"));
    press(QStringLiteral("Delete"));  // No is the scripted default
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Delete this record?"));
    EXPECT_EQ(prompt.messages.last().title, QStringLiteral("Message"));
    EXPECT_EQ(fixture::count(db(), QStringLiteral("ScripMaster")), 3);

    prompt.answers.enqueue(ui::Answer::Yes);
    press(QStringLiteral("Delete"));
    EXPECT_EQ(fixture::count(db(), QStringLiteral("ScripMaster")), 2);
    EXPECT_EQ(company(), QStringLiteral("Beta Power"));
}

TEST_F(ScripMasterTest, KeyboardNavigationOnlyWhileBrowsing)
{
    seed();
    open();
    QTest::keyClick(form, Qt::Key_Down);
    EXPECT_EQ(company(), QStringLiteral("Beta Power"));
    QTest::keyClick(form, Qt::Key_Down);
    QTest::keyClick(form, Qt::Key_Down);  // at the last row: stays
    EXPECT_EQ(company(), QStringLiteral("Zeta Steel"));
    QTest::keyClick(form, Qt::Key_Home);
    EXPECT_EQ(company(), QStringLiteral("Alpha Mills"));
    QTest::keyClick(form, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(company(), QStringLiteral("Zeta Steel"));
    QTest::keyClick(form, Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);  // only Ctrl alone jumps
    EXPECT_EQ(company(), QStringLiteral("Beta Power"));
    QTest::keyClick(form, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(company(), QStringLiteral("Alpha Mills"));
    QTest::keyClick(form, Qt::Key_End);
    EXPECT_EQ(company(), QStringLiteral("Zeta Steel"));

    press(QStringLiteral("Edit"));
    QTest::keyClick(form, Qt::Key_Home);
    QTest::keyClick(form, Qt::Key_Escape);
    EXPECT_EQ(company(), QStringLiteral("Zeta Steel"));
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->close());
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Save your changes"));
    EXPECT_EQ(prompt.messages.last().title, QStringLiteral("Tarvenix - Stock Master"));
    EXPECT_TRUE(form->isVisible());

    press(QStringLiteral("Cancel"));
    QTest::keyClick(form, Qt::Key_Escape);
    EXPECT_TRUE(form.isNull() || !form->isVisible());
}

TEST_F(ScripMasterTest, BrowseFindsByTypingAndMovesTheForm)
{
    seed();
    fixture::addScrip(db(), QStringLiteral("O'Neil Industries"), QStringLiteral("ONEIL"), QStringLiteral("500300"));
    open();
    press(QStringLiteral("Find"));
    masters::BrowseDialog* browse = form->browseWindow();
    ASSERT_NE(browse, nullptr);
    EXPECT_EQ(browse->windowTitle(), QStringLiteral("Browse Script"));
    auto* fields = browse->findChild<QComboBox*>(QStringLiteral("Combo1"));
    auto* search = browse->findChild<QLineEdit*>(QStringLiteral("txt_search"));
    ASSERT_EQ(fields->currentText(), QStringLiteral("srno"));

    fields->setCurrentText(QStringLiteral("company"));
    search->setText(QStringLiteral("o'n"));
    EXPECT_EQ(browse->grid()->currentIndex().row(), 2);
    search->setText(QStringLiteral("nothing like it"));
    EXPECT_FALSE(browse->grid()->currentIndex().isValid());
    search->setText(QStringLiteral("b"));
    QTest::keyClick(search, Qt::Key_Return);
    EXPECT_TRUE(form->browseWindow() == nullptr || !form->browseWindow()->isVisible());
    QCoreApplication::processEvents();
    EXPECT_EQ(company(), QStringLiteral("Beta Power"));

    // Digits find an exact number; letters in a number field move nothing.
    press(QStringLiteral("Browse"));
    browse = form->browseWindow();
    search = browse->findChild<QLineEdit*>(QStringLiteral("txt_search"));
    search->setText(QStringLiteral("1"));
    search->setText(QStringLiteral("1x"));
    browse->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(company(), QStringLiteral("Zeta Steel"));
}

TEST_F(ScripMasterTest, BrowseHeaderSortStaysOnTheForm)
{
    seed();
    open();
    press(QStringLiteral("Browse"));
    masters::BrowseDialog* browse = form->browseWindow();
    QHeaderView* header = browse->grid()->horizontalHeader();
    const int nse = form->adoPrimaryRS().fieldIndex(QStringLiteral("nsescrip"));
    header->sectionClicked(nse);
    EXPECT_EQ(form->adoPrimaryRS().valueAt(0, nse).toString(), QStringLiteral("ALPHA"));
    header->sectionClicked(nse);
    EXPECT_EQ(form->adoPrimaryRS().valueAt(0, nse).toString(), QStringLiteral("ZETA"));
    QTest::keyClick(browse, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(company(), QStringLiteral("Zeta Steel"));
    QTest::keyClick(form, Qt::Key_Down);
    EXPECT_EQ(company(), QStringLiteral("Beta Power"));
}

}  // namespace
