// Details of the screens as the user meets them in the main window: one
// About box brought forward and its picture, the group master's moves on an
// empty table, the membership screen's code box, the browse window's fields
// in the form's order, and the SQL script screen's place.
#include "import/sqlscriptscreen.h"
#include "masters/browsedialog.h"
#include "masters/groupmasterform.h"
#include "masters/masterform.h"
#include "masters/mastersfixture.h"
#include "masters/mastersscreens.h"
#include "shell/aboutbox.h"
#include "shell/mainwindow.h"
#include "ui/screenframe.h"

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

class ScreenDetailsTest : public ::testing::Test {
protected:
    ScreenDetailsTest()
    {
        masters::registerMastersScreens(registry);
        window =
            std::make_unique<shell::MainWindow>(store.db(), shell::MainWindow::Paths{store.folder(), {}}, registry);
        window->show();
    }
    ~ScreenDetailsTest() override { qDeleteAll(window->workspace()->subWindowList()); }

    // The screen of the window opened last in the workspace.
    QWidget* newestScreen() const
    {
        const auto windows = window->workspace()->subWindowList(QMdiArea::CreationOrder);
        const auto* frame = windows.isEmpty() ? nullptr : qobject_cast<ui::ScreenFrame*>(windows.last()->widget());
        return frame ? frame->screen() : nullptr;
    }
    // Opens the screen of a menu item.
    template <class Screen>
    Screen* open(const char* menuItem)
    {
        window->menuAction(menuItem)->trigger();
        settle();
        return qobject_cast<Screen*>(newestScreen());
    }

    static QList<shell::AboutBox*> shownAboutBoxes()
    {
        QList<shell::AboutBox*> boxes;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<shell::AboutBox*>(widget); box && box->isVisible())
                boxes.append(box);
        return boxes;
    }

    TestStore store;
    ScriptedPrompt prompt;
    shell::ScreenRegistry registry;
    std::unique_ptr<shell::MainWindow> window;
};

// The fields a browse window offers in its field list, and the headings of
// its grid as they stand from left to right.
QStringList offeredFields(masters::BrowseDialog* browse)
{
    QStringList fields;
    auto* list = browse->findChild<QComboBox*>("Combo1");
    for (int i = 0; i < list->count(); ++i)
        fields.append(list->itemText(i));
    return fields;
}

QStringList headingsLeftToRight(masters::BrowseDialog* browse)
{
    QStringList headings;
    const QHeaderView* header = browse->grid()->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (!header->isSectionHidden(column))
            headings.append(browse->grid()->model()->headerData(column, Qt::Horizontal).toString());
    }
    return headings;
}

}  // namespace

TEST_F(ScreenDetailsTest, AboutUsBringsTheOpenAboutBoxForward)
{
    window->menuAction("AboutUs")->trigger();
    settle();
    ASSERT_EQ(shownAboutBoxes().size(), 1);
    QPointer<shell::AboutBox> about = shownAboutBoxes().first();

    window->activateWindow();
    settle();
    window->menuAction("AboutUs")->trigger();
    settle();
    EXPECT_EQ(shownAboutBoxes(), QList<shell::AboutBox*>{about.data()});
    EXPECT_EQ(QApplication::activeWindow(), about.data());

    // Once closed, About Us opens it again.
    about->findChild<QPushButton*>("cmdOK")->click();
    settle();
    EXPECT_TRUE(shownAboutBoxes().isEmpty());
    window->menuAction("AboutUs")->trigger();
    settle();
    EXPECT_EQ(shownAboutBoxes().size(), 1);
}

TEST_F(ScreenDetailsTest, TheAboutBoxShowsTheApplicationsIcon)
{
    window->menuAction("AboutUs")->trigger();
    settle();
    ASSERT_EQ(shownAboutBoxes().size(), 1);
    const auto* picture = shownAboutBoxes().first()->findChild<QLabel*>("picIcon");
    ASSERT_NE(picture, nullptr);
    const QPixmap shown = picture->pixmap();
    ASSERT_FALSE(shown.isNull());
    EXPECT_TRUE(picture->isVisible());
    // The icon the main window carries.
    ASSERT_FALSE(window->windowIcon().isNull());
    EXPECT_EQ(shown.toImage(), window->windowIcon().pixmap(shown.size()).toImage());
}

TEST_F(ScreenDetailsTest, DownOrUpOnAnEmptyGroupTableSaysWhatEditSays)
{
    auto* form = open<masters::GroupMasterForm>("Group");  // No to entering a group at once
    ASSERT_NE(form, nullptr);
    prompt.messages.clear();
    form->Toolbar1_ButtonClick("Edit");
    ASSERT_EQ(prompt.messages.size(), 1);
    const ui::Message refused = prompt.messages.takeFirst();
    ASSERT_FALSE(refused.text.isEmpty());

    QTest::keyClick(form, Qt::Key_Down);
    QTest::keyClick(form, Qt::Key_Up);
    form->Toolbar1_ButtonClick("Next");
    ASSERT_EQ(prompt.messages.size(), 3);
    for (const ui::Message& said : prompt.messages) {
        EXPECT_EQ(said.text, refused.text);
        EXPECT_EQ(said.title, refused.title);
        EXPECT_EQ(said.buttons, ui::Buttons::Ok);
    }
    EXPECT_FALSE(form->isEditing());

    // With a group to stand on, Down at the end moves nowhere and says nothing.
    fixture::addGroup(store.db(), "PHARMA", "Pharma");
    form->adoPrimaryRS().requery();
    prompt.messages.clear();
    QTest::keyClick(form, Qt::Key_Down);
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_EQ(form->findChild<QLineEdit*>("Text1")->text(), "PHARMA");
}

TEST_F(ScreenDetailsTest, TheMembershipCodeBoxChoosesAScripOnlyOnTheWholeCode)
{
    fixture::addScrip(store.db(), "Bata India", "BATAINDIA", "500043");
    fixture::addScrip(store.db(), "BVX Industries", "BVX", "500101");
    auto* screen = open<QWidget>("LinkGroupWithScript");
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(screen->objectName(), "frmLink");
    auto* codes = screen->findChild<QComboBox*>("CmbScriptCode");
    auto* chosen = screen->findChild<QLineEdit*>("txtScripName");
    auto* stocks = screen->findChild<QListWidget*>("lstScripName");

    // Typed as a user types: into the box that has the focus.
    window->activateWindow();
    codes->setFocus();
    settle();
    ASSERT_TRUE(codes->lineEdit()->hasFocus());
    QTest::keyClicks(codes->lineEdit(), "B");
    EXPECT_EQ(codes->currentText(), "B");
    EXPECT_EQ(chosen->text(), "");
    EXPECT_TRUE(stocks->selectedItems().isEmpty());
    QTest::keyClicks(codes->lineEdit(), "V");
    EXPECT_EQ(chosen->text(), "");
    QTest::keyClicks(codes->lineEdit(), "X");
    EXPECT_EQ(chosen->text(), "BVX Industries");
    ASSERT_EQ(stocks->selectedItems().size(), 1);
    EXPECT_EQ(stocks->selectedItems().first()->text(), "BVX Industries");
}

TEST_F(ScreenDetailsTest, TheBrowseWindowListsTheFormsFieldsInItsOrder)
{
    fixture::addScrip(store.db(), "Zeta Steel", "ZETA", "500900");
    fixture::addScrip(store.db(), "Alpha Mills", "ALPHA", "500100");
    auto* scrips = open<masters::MasterForm>("Stock");
    ASSERT_NE(scrips, nullptr);
    scrips->Toolbar1_ButtonClick("Browse");
    masters::BrowseDialog* browse = scrips->browseWindow();
    ASSERT_NE(browse, nullptr);
    const QStringList selectOrder{"srno", "bsescrip", "nsescrip", "company"};
    EXPECT_EQ(offeredFields(browse), selectOrder);
    EXPECT_EQ(headingsLeftToRight(browse), selectOrder);

    // The type-ahead searches the field offered at that place of the list.
    auto* fields = browse->findChild<QComboBox*>("Combo1");
    auto* search = browse->findChild<QLineEdit*>("txt_search");
    fields->setCurrentIndex(1);
    search->setText("5009");
    EXPECT_EQ(scrips->adoPrimaryRS().value("company").toString(), "Zeta Steel");
    fields->setCurrentIndex(2);
    search->setText("AL");
    EXPECT_EQ(scrips->adoPrimaryRS().value("company").toString(), "Alpha Mills");
    // A heading click sorts and keeps the order of the fields.
    const QHeaderView* header = browse->grid()->horizontalHeader();
    emit browse->grid()->horizontalHeader()->sectionClicked(header->logicalIndex(1));
    EXPECT_EQ(scrips->adoPrimaryRS().valueAt(0, scrips->adoPrimaryRS().fieldIndex("company")).toString(),
              "Alpha Mills");
    EXPECT_EQ(headingsLeftToRight(browse), selectOrder);
    browse->close();

    fixture::addGroup(store.db(), "PHARMA", "Pharma");
    auto* groups = open<masters::MasterForm>("Group");
    ASSERT_NE(groups, nullptr);
    groups->Toolbar1_ButtonClick("Browse");
    ASSERT_NE(groups->browseWindow(), nullptr);
    EXPECT_EQ(offeredFields(groups->browseWindow()), (QStringList{"GroupCode", "GroupName"}));
    EXPECT_EQ(headingsLeftToRight(groups->browseWindow()), (QStringList{"GroupCode", "GroupName"}));
}

TEST_F(ScreenDetailsTest, TheSqlScriptScreenOpensAtTheTopLeft)
{
    open<QWidget>("LinkGroupWithScript");
    open<QWidget>("MnuScriptSearch");
    window->showChild(new import::SqlScriptScreen(*window));
    settle();
    ASSERT_EQ(newestScreen()->objectName(), "FrmExport");
    EXPECT_EQ(window->workspace()->subWindowList(QMdiArea::CreationOrder).last()->pos(), QPoint(0, 0));
}
