#include "shell/mainwindow.h"
#include "shell/aboutbox.h"
#include "shell/singleinstance.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"
#include "viewer/resultviewer.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

namespace {

// A screen with an Alt+R button that counts its presses, and that refuses
// to close while `busy`.
class TestScreen : public QWidget {
public:
    TestScreen()
    {
        connect(new QPushButton("&Refresh Query", this), &QPushButton::clicked, [this] { ++refreshes; });
    }
    int refreshes = 0;
    bool busy = false;

protected:
    void closeEvent(QCloseEvent* event) override { event->setAccepted(!busy); }
};

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
    {
        for (const char* item : {"Stock", "Group"})
            registry.add(item, [this, item](shell::AppServices&) {
                ++made;
                screens[item] = new TestScreen;
                screens[item]->setWindowTitle(item);
                return screens[item].data();
            });
        window =
            std::make_unique<shell::MainWindow>(store.db(), shell::MainWindow::Paths{store.folder(), {}}, registry);
        window->show();
    }
    QList<QMdiSubWindow*> children() { return window->workspace()->subWindowList(); }

    TestStore store;
    ScriptedPrompt prompt;
    shell::ScreenRegistry registry;
    QHash<QString, QPointer<TestScreen>> screens;
    int made = 0;
    std::unique_ptr<shell::MainWindow> window;
};

QStringList captions(const QList<QAction*>& actions)
{
    QStringList result;
    for (QAction* action : actions)
        if (!action->isSeparator())
            result.append(action->text());
    return result;
}

}  // namespace

TEST_F(MainWindowTest, CarriesTheWholeMenu)
{
    EXPECT_EQ(window->windowTitle(), "Tarvenix");
    EXPECT_EQ(captions(window->menuBar()->actions()),
              (QStringList{"&Master", "Data &Updation", "NNF_Security Update", "&Query", "&Window", "&Delete Records",
                           "&Import From Excel", "&About Us", "E&xit"}));
    EXPECT_EQ(captions(window->menuBar()->actions().first()->menu()->actions()),
              (QStringList{"Stock", "Group", "Link Group With Stock", "Script Search", "Portfolio", "Portfolio Manager",
                           "Bulk Deals"}));
    EXPECT_EQ(captions(window->menuBar()->actions().at(4)->menu()->actions()),
              (QStringList{"Tile Horizontal", "Tile Vertical", "Cascade"}));
    for (const char* item : {"mnuWindowTilehorizontal", "mnuWindowTileVertical", "mnuWindowCascade", "mnuDeleteRow",
                             "DeleteRecords", "importfromexcel", "MnuPortfoliomanager"})
        EXPECT_NE(window->menuAction(item), nullptr) << item;
    EXPECT_EQ(window->menuAction("mnuDeleteRow")->text(), "Delete Row");
}

TEST_F(MainWindowTest, AScreenOpensOnceAndQuittingAsksFirst)
{
    window->menuAction("Stock")->trigger();
    window->menuAction("Stock")->trigger();
    window->showChild(screens["Stock"]);
    EXPECT_EQ(made, 1);
    ASSERT_EQ(children().size(), 1);
    // An item whose screen is not there opens nothing.
    window->menuAction("Query")->trigger();
    EXPECT_EQ(children().size(), 1);
    // Closing the screen lets the item make a new one.
    children().first()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window->menuAction("Stock")->trigger();
    EXPECT_EQ(made, 2);

    prompt.answers.enqueue(ui::Answer::No);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(children().size(), 1);
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].text, "Are you sure you want to Quit?");
    EXPECT_EQ(prompt.messages[0].title, "Exit");
    EXPECT_EQ(prompt.messages[0].buttons, ui::Buttons::YesNo);
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Question);
    prompt.answers.enqueue(ui::Answer::Yes);
    EXPECT_TRUE(window->close());
}

TEST_F(MainWindowTest, ChildWindowsTileShowTheirScreensCaptionAndCloseOnlyWhenTheScreenAgrees)
{
    window->openScreen("Stock");
    window->openScreen("Group");
    const auto windows = children();
    ASSERT_EQ(windows.size(), 2);
    window->tileHorizontally();
    EXPECT_EQ(windows[0]->width(), windows[1]->width());
    EXPECT_LT(windows[0]->y() + windows[0]->height(), windows[1]->y() + 1);
    window->tileVertically();
    EXPECT_EQ(windows[0]->height(), windows[1]->height());
    EXPECT_LT(windows[0]->x() + windows[0]->width(), windows[1]->x() + 1);

    QPointer<QMdiSubWindow> child = windows[1];
    EXPECT_EQ(child->windowTitle(), "Group");
    screens["Group"]->setWindowTitle("Group Master - Editing");
    EXPECT_EQ(child->windowTitle(), "Group Master - Editing");
    screens["Group"]->busy = true;
    EXPECT_FALSE(child->close());
    EXPECT_TRUE(screens["Group"]->isVisible());
    screens["Group"]->busy = false;
    EXPECT_TRUE(child->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(child.isNull());
}

TEST_F(MainWindowTest, ASecondCopyRaisesTheFirstAndPressesItsRefreshButton)
{
    const QString key = QStringLiteral("tarvenix-test-%1").arg(QCoreApplication::applicationPid());
    window->openScreen("Stock");
    shell::SingleInstance first(key);
    ASSERT_FALSE(first.anotherIsRunning());
    ASSERT_TRUE(first.listen());
    QObject::connect(&first, &shell::SingleInstance::activationRequested, window.get(),
                     &shell::MainWindow::activateFromAnotherCopy);
    shell::SingleInstance second(key);
    EXPECT_TRUE(second.anotherIsRunning());
    QSignalSpy spy(&first, &shell::SingleInstance::activationRequested);
    ASSERT_TRUE(second.activateRunning());
    EXPECT_TRUE(spy.wait(2000));
    EXPECT_EQ(screens["Stock"]->refreshes, 1);
}

// The other copy's message box has taken the focus: the main window is not
// active, and its workspace has no active window. The refresh still reaches
// the screen that was active last.
TEST_F(MainWindowTest, ASecondCopyRefreshesTheLastScreenWhileTheWindowIsInactive)
{
    store.db().execScript("CREATE TABLE QueryResult (Stock TEXT, Qty REAL); INSERT INTO QueryResult VALUES ('A', 1)");
    window->openScreen("Stock");
    viewer::ResultViewerWindow* viewer = viewer::showResult(*window, "SELECT * FROM QueryResult", "Test");
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const auto* grid = viewer->findChild<QTableView*>("DataGrid1");
    ASSERT_EQ(grid->model()->rowCount(), 1);
    store.db().exec("INSERT INTO QueryResult VALUES ('B', 2)");

    QWidget otherCopy;
    otherCopy.show();
    QApplication::setActiveWindow(&otherCopy);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&otherCopy));
    // As the window system leaves it: no active child window in the workspace.
    window->workspace()->setActiveSubWindow(nullptr);
    ASSERT_EQ(window->workspace()->activeSubWindow(), nullptr);

    window->activateFromAnotherCopy();
    EXPECT_EQ(grid->model()->rowCount(), 2);
    EXPECT_EQ(screens["Stock"]->refreshes, 0);
}

TEST(AboutBox, ShowsTheBuildVersionAndHasNoSystemInfoTool)
{
    ScriptedPrompt prompt;
    shell::AboutBox about;
    EXPECT_EQ(about.windowTitle(), "About MyApp");
    const auto* version = about.findChild<QLabel*>("lblVersion");
    ASSERT_NE(version, nullptr);
    EXPECT_TRUE(QRegularExpression("^Version \\d+\\.\\d+\\.\\d+$").match(version->text()).hasMatch());
    EXPECT_EQ(about.findChild<QLabel*>("lblDisclaimer")->text().split('\n').size(), 6);
    about.findChild<QPushButton*>("cmdSysInfo")->click();
    EXPECT_EQ(prompt.texts(), QStringList{"System Information Is Unavailable At This Time"});
}
