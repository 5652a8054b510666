// A screen that shuts its controls while it works keeps its place in the main
// window: it stays the active window of the workspace, in front of the
// others, through the messages of its work and after it.
#include "import/dailyfilesscreen.h"
#include "import/importscreens.h"
#include "import/rangedownloadscreen.h"
#include "import/rostanedownloadpanel.h"
#include "masters/masterform.h"
#include "masters/mastersfixture.h"
#include "masters/mastersscreens.h"
#include "shell/mainwindow.h"
#include "support/localhttpserver.h"
#include "ui/screenframe.h"

#include <QApplication>
#include <QDateEdit>
#include <QDialog>
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

// The active window of the workspace and the one in front, as
// "active / in front".
QString workspaceState(const QMdiArea* workspace)
{
    const QMdiSubWindow* active = workspace->activeSubWindow();
    return (active ? active->windowTitle() : "<none>") + " / " +
           workspace->subWindowList(QMdiArea::StackingOrder).last()->windowTitle();
}

// Answers as the scripted prompt does, but first shows each message in a
// modal box of its own, which takes the activation from the main window and
// gives it back when answered, as a message box in front of the user does.
// It notes the workspace's state once each box is answered.
class ModalPrompt : public ScriptedPrompt {
public:
    const QMdiArea* workspace = nullptr;
    QStringList statesAfterAnswers;

    ui::Answer show(const ui::Message& message) override
    {
        QWidget* owner = QApplication::activeWindow();
        {
            QDialog box(owner);
            box.setWindowTitle(message.title);
            box.setModal(true);
            box.show();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
        }
        // The window manager gives the activation back to the box's owner.
        if (owner) {
            owner->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(owner));
        }
        if (workspace)
            statesAfterAnswers.append(message.text + ": " + workspaceState(workspace));
        return ScriptedPrompt::show(message);
    }
};

// The main window with the master and import screens, its settings pointing
// the downloads at a local server that has no files.
class BusyScreenFocus : public ::testing::Test {
protected:
    BusyScreenFocus()
    {
        masters::registerMastersScreens(registry);
        import::registerImportScreens(registry);
        window = std::make_unique<shell::MainWindow>(store.db(), shell::MainWindow::Paths{store.folder(), {}}, registry);
        server.configure(store.folder());
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    ~BusyScreenFocus() override { qDeleteAll(window->workspace()->subWindowList()); }

    // Opens the screen of a menu item; the prompt notes states from then on.
    template <class Screen>
    Screen* open(const char* menuItem)
    {
        prompt.workspace = nullptr;
        window->openScreen(menuItem);
        settle();
        prompt.messages.clear();
        prompt.statesAfterAnswers.clear();
        prompt.workspace = window->workspace();
        auto* frame = qobject_cast<ui::ScreenFrame*>(window->workspace()->activeSubWindow()->widget());
        return frame ? qobject_cast<Screen*>(frame->screen()) : nullptr;
    }
    QString state() const { return workspaceState(window->workspace()); }

    TestStore store;
    ModalPrompt prompt;
    LocalHttpServer server;
    shell::ScreenRegistry registry;
    std::unique_ptr<shell::MainWindow> window;
};

}  // namespace

TEST_F(BusyScreenFocus, TheDownloadingScreenStaysActiveAndInFront)
{
    open<QWidget>("Group");  // No to entering a group at once
    auto* updation = open<import::RangeDownloadScreen>("DatabaseTesting");
    ASSERT_NE(updation, nullptr);
    updation->fromPicker()->setDate(QDate(2024, 1, 1));
    updation->toPicker()->setDate(QDate(2024, 1, 1));
    QTest::mouseClick(updation->downloadButton(), Qt::LeftButton);
    settle();
    EXPECT_EQ(prompt.statesAfterAnswers, (QStringList{"Error downloading!: Data Updation / Data Updation",
                                                      "Done: Data Updation / Data Updation"}));
    EXPECT_EQ(state(), "Data Updation / Data Updation");
    // The button that started the work has the focus again.
    EXPECT_EQ(QApplication::focusWidget(), updation->downloadButton());

    // The one-day download of the other import screen, over the same two.
    auto* daily = open<import::DailyFilesScreen>("MnuMul_DataUpd");
    ASSERT_NE(daily, nullptr);
    QPushButton* download = daily->findChild<import::RostaneDownloadPanel*>()->downloadButton();
    QTest::mouseClick(download, Qt::LeftButton);
    settle();
    ASSERT_EQ(prompt.statesAfterAnswers.size(), 2);
    for (const QString& seen : prompt.statesAfterAnswers)
        EXPECT_TRUE(seen.endsWith(": Multiple Data Updation / Multiple Data Updation")) << seen.toStdString();
    EXPECT_EQ(state(), "Multiple Data Updation / Multiple Data Updation");
    EXPECT_EQ(QApplication::focusWidget(), download);
}

TEST_F(BusyScreenFocus, ARefusedSaveKeepsTheMasterFormActive)
{
    // The frame of a master form is shut while a row is saved; the refusal's
    // message leaves the form where it was.
    fixture::addGroup(store.db(), "PHARMA", "Pharma");
    open<QWidget>("DatabaseTesting");
    auto* groups = open<masters::MasterForm>("Group");
    ASSERT_NE(groups, nullptr);
    groups->Toolbar1_ButtonClick("New");
    auto* code = groups->findChild<QLineEdit*>("Text1");
    ASSERT_TRUE(code->hasFocus());
    code->setText("PHARMA");
    groups->Toolbar1_ButtonClick("Save");
    settle();
    EXPECT_EQ(prompt.statesAfterAnswers,
              QStringList{"Group Code Already exists.Enter New Code: Group Master / Group Master"});
    EXPECT_EQ(state(), "Group Master / Group Master");
    EXPECT_TRUE(groups->isAddingNew());
}
