#include "shell/aboutbox.h"
#include "shell/mainwindow.h"
#include "shell/singleinstance.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A screen with an Alt+R button that counts its presses.
class RefreshingScreen : public QWidget {
public:
    RefreshingScreen()
    {
        button = new QPushButton(QStringLiteral("&Refresh Query"), this);
        QObject::connect(button, &QPushButton::clicked, [this] { ++refreshes; });
    }
    QPushButton* button;
    int refreshes = 0;
};

// A screen that refuses to close while `busy`.
class RefusingScreen : public QWidget {
public:
    bool busy = false;

protected:
    void closeEvent(QCloseEvent* event) override { event->setAccepted(!busy); }
};

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
    {
        registry.add(QStringLiteral("Stock"), [this](shell::AppServices&) {
            ++made;
            screen = new RefreshingScreen;
            return screen;
        });
    }
    std::unique_ptr<shell::MainWindow> makeWindow()
    {
        auto window = std::make_unique<shell::MainWindow>(store.db(), shell::MainWindow::Paths{store.folder(), {}},
                                                          registry);
        window->show();
        return window;
    }
    TestStore store;
    ScriptedPrompt prompt;
    shell::ScreenRegistry registry;
    RefreshingScreen* screen = nullptr;
    int made = 0;
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
    auto window = makeWindow();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tarvenix"));
    const QStringList bar = captions(window->menuBar()->actions());
    EXPECT_EQ(bar, (QStringList{"&Master", "Data &Updation", "NNF_Security Update", "&Query", "&Window",
                                "&Delete Records", "&Import From Excel", "&About Us", "E&xit"}));
    EXPECT_EQ(captions(window->menuBar()->actions().first()->menu()->actions()),
              (QStringList{"Stock", "Group", "Link Group With Stock", "Script Search", "Portfolio", "Portfolio Manager",
                           "Bulk Deals"}));
    EXPECT_EQ(captions(window->menuBar()->actions().at(4)->menu()->actions()),
              (QStringList{"Tile Horizontal", "Tile Vertical", "Cascade"}));
    for (const char* item : {"mnuWindowTilehorizontal", "mnuWindowTileVertical", "mnuWindowCascade", "mnuDeleteRow",
                             "DeleteRecords", "importfromexcel", "MnuPortfoliomanager"})
        EXPECT_NE(window->menuAction(QString::fromLatin1(item)), nullptr) << item;
    EXPECT_EQ(window->menuAction(QStringLiteral("mnuDeleteRow"))->text(), QStringLiteral("Delete Row"));
}

TEST_F(MainWindowTest, AScreenOpensOnceAndIsBroughtForwardAfterwards)
{
    auto window = makeWindow();
    window->menuAction(QStringLiteral("Stock"))->trigger();
    window->menuAction(QStringLiteral("Stock"))->trigger();
    EXPECT_EQ(made, 1);
    ASSERT_EQ(window->workspace()->subWindowList().size(), 1);
    // An item whose screen is not there opens nothing.
    window->menuAction(QStringLiteral("Query"))->trigger();
    EXPECT_EQ(window->workspace()->subWindowList().size(), 1);

    // Closing the screen lets the item make a new one.
    window->workspace()->subWindowList().first()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window->menuAction(QStringLiteral("Stock"))->trigger();
    EXPECT_EQ(made, 2);
}

TEST_F(MainWindowTest, AnsweringNoToTheQuitQuestionKeepsEverythingOpen)
{
    auto window = makeWindow();
    window->openScreen(QStringLiteral("Stock"));
    prompt.answers.enqueue(ui::Answer::No);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->workspace()->subWindowList().size(), 1);
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].text, QStringLiteral("Are you sure you want to Quit?"));
    EXPECT_EQ(prompt.messages[0].title, QStringLiteral("Exit"));
    EXPECT_EQ(prompt.messages[0].buttons, ui::Buttons::YesNo);
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Question);

    prompt.answers.enqueue(ui::Answer::Yes);
    EXPECT_TRUE(window->close());
}

TEST_F(MainWindowTest, WindowArrangementsTileTheScreens)
{
    registry.add(QStringLiteral("Group"), [](shell::AppServices&) { return new QWidget; });
    auto window = makeWindow();
    window->openScreen(QStringLiteral("Stock"));
    window->openScreen(QStringLiteral("Group"));
    const auto windows = window->workspace()->subWindowList();
    ASSERT_EQ(windows.size(), 2);
    window->tileHorizontally();
    EXPECT_EQ(windows[0]->width(), windows[1]->width());
    EXPECT_LT(windows[0]->y() + windows[0]->height(), windows[1]->y() + 1);
    window->tileVertically();
    EXPECT_EQ(windows[0]->height(), windows[1]->height());
    EXPECT_LT(windows[0]->x() + windows[0]->width(), windows[1]->x() + 1);
}

TEST_F(MainWindowTest, AChildWindowShowsItsScreensCaptionAndClosesOnlyWhenTheScreenAgrees)
{
    QPointer<RefusingScreen> refusing;
    registry.add(QStringLiteral("Group"), [&refusing](shell::AppServices&) {
        refusing = new RefusingScreen;
        refusing->setWindowTitle(QStringLiteral("Group Master"));
        return refusing.data();
    });
    auto window = makeWindow();
    window->openScreen(QStringLiteral("Group"));
    QPointer<QMdiSubWindow> child = window->workspace()->subWindowList().first();
    EXPECT_EQ(child->windowTitle(), QStringLiteral("Group Master"));
    refusing->setWindowTitle(QStringLiteral("Group Master - Editing"));
    EXPECT_EQ(child->windowTitle(), QStringLiteral("Group Master - Editing"));

    refusing->busy = true;
    EXPECT_FALSE(child->close());
    EXPECT_TRUE(refusing->isVisible());
    refusing->busy = false;
    EXPECT_TRUE(child->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(child.isNull());
}

TEST_F(MainWindowTest, ASecondCopyRaisesTheFirstAndPressesItsRefreshButton)
{
    const QString key = QStringLiteral("tarvenix-test-%1").arg(QCoreApplication::applicationPid());
    auto window = makeWindow();
    window->openScreen(QStringLiteral("Stock"));

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
    EXPECT_EQ(screen->refreshes, 1);
}

TEST(AboutBox, ShowsTheBuildVersionAndHasNoSystemInfoTool)
{
    ScriptedPrompt prompt;
    shell::AboutBox about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About MyApp"));
    const auto* version = about.findChild<QLabel*>(QStringLiteral("lblVersion"));
    ASSERT_NE(version, nullptr);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Version \\d+\\.\\d+\\.\\d+$")).match(version->text()).hasMatch());
    EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("lblDisclaimer"))->text().split(QLatin1Char('\n')).size(), 6);
    about.findChild<QPushButton*>(QStringLiteral("cmdSysInfo"))->click();
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("System Information Is Unavailable At This Time")});
}
