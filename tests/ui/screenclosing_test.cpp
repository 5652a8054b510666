// A screen's own closing control (Close, Exit, a dialog's OK or Cancel)
// takes its window in the main window's workspace with it: no empty frame
// is left behind, and the Window menu no longer lists the screen.
#include "import/importscreens.h"
#include "masters/masterform.h"
#include "masters/mastersscreens.h"
#include "portfolio/portfolioscreens.h"
#include "query/queryscreens.h"
#include "shell/mainwindow.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"
#include "ui/screenframe.h"
#include "viewer/chartpreview.h"
#include "viewer/chartwindow.h"
#include "viewer/resultviewer.h"
#include "viewer/viewerscreens.h"

#include <QAbstractButton>
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

QString plain(QString caption)
{
    return caption.remove(QLatin1Char('&')).trimmed();
}

// Uses the closing control `screen` offers: a button or command captioned
// Close, Exit or Cancel, else Escape on a master form. A screen without one
// is closed as its own code closes it. Returns how it was closed.
QString pressClosing(QWidget* screen)
{
    const QStringList captions = {QStringLiteral("Close"), QStringLiteral("Exit"), QStringLiteral("Cancel")};
    for (QAbstractButton* button : screen->findChildren<QAbstractButton*>()) {
        if (button->isVisible() && button->isEnabled() && captions.contains(plain(button->text()))) {
            button->click();
            return QStringLiteral("button ") + plain(button->text());
        }
    }
    for (QAction* action : screen->findChildren<QAction*>()) {
        if (action->isEnabled() && captions.contains(plain(action->text()))) {
            action->trigger();
            return QStringLiteral("command ") + plain(action->text());
        }
    }
    if (qobject_cast<masters::MasterForm*>(screen)) {
        QTest::keyClick(screen, Qt::Key_Escape);
        return QStringLiteral("Escape");
    }
    screen->close();
    return QStringLiteral("its own close");
}

class ScreenClosingTest : public ::testing::Test {
protected:
    ScreenClosingTest()
    {
        store.db().execScript("CREATE TABLE QueryResult (stock TEXT, NSETrdQty INTEGER);"
                              "INSERT INTO QueryResult VALUES ('Axis Bank', 10), ('Bharat', 20);");
        masters::registerMastersScreens(registry);
        import::registerImportScreens(registry);
        query::registerQueryScreens(registry);
        viewer::registerViewerScreens(registry);
        portfolio::registerPortfolioScreens(registry);
        window = std::make_unique<shell::MainWindow>(store.db(), shell::MainWindow::Paths{store.folder(), {}}, registry);
        window->show();
    }
    ~ScreenClosingTest() override { qDeleteAll(window->workspace()->subWindowList()); }

    // The workspace window that shows `screen`.
    QMdiSubWindow* windowOf(QWidget* screen) const
    {
        for (QMdiSubWindow* child : window->workspace()->subWindowList())
            if (static_cast<ui::ScreenFrame*>(child->widget())->screen() == screen)
                return child;
        return nullptr;
    }

    // Closes `screen` through its closing control and expects its window gone.
    void expectClosesItsWindow(QWidget* screen, const QString& name)
    {
        settle();
        QPointer<QMdiSubWindow> frame = windowOf(screen);
        ASSERT_NE(frame, nullptr) << name.toStdString() << " is not in the workspace";
        const QString how = pressClosing(screen);
        settle();
        EXPECT_TRUE(frame.isNull()) << name.toStdString() << " closed by " << how.toStdString()
                                    << " leaves its window behind";
        EXPECT_FALSE(window->workspace()->subWindowList().contains(frame.data())) << name.toStdString();
    }

    TestStore store;
    ScriptedPrompt prompt;
    shell::ScreenRegistry registry;
    std::unique_ptr<shell::MainWindow> window;
};

TEST_F(ScreenClosingTest, EveryScreensClosingControlTakesItsWindowAway)
{
    QStringList items = registry.menuItems();
    items.sort();
    for (const QString& item : items) {
        window->openScreen(item);
        settle();
        auto* frame = static_cast<ui::ScreenFrame*>(window->workspace()->activeSubWindow()->widget());
        expectClosesItsWindow(frame->screen(), item);
    }

    viewer::showResult(*window, "SELECT * FROM QueryResult", "View All Records");
    expectClosesItsWindow(viewer::openResultViewer(), "result viewer");

    viewer::ChartWindow* chart = viewer::showChart(*window, store.db().query("SELECT stock, NSETrdQty FROM QueryResult"));
    chart->preview();
    expectClosesItsWindow(chart->previewWindow(), "print preview");
    expectClosesItsWindow(chart, "chart window");
    EXPECT_TRUE(window->workspace()->subWindowList().isEmpty());

    // A closed screen opens again in a window of its own.
    window->openScreen("Stock");
    settle();
    EXPECT_EQ(window->workspace()->subWindowList().size(), 1);
}

// A screen that refuses to close (a row being added) keeps its window, and
// so does one whose window is minimised and restored.
TEST_F(ScreenClosingTest, AScreenThatRefusesOrIsMinimisedKeepsItsWindow)
{
    window->openScreen("Stock");
    settle();
    QPointer<QMdiSubWindow> frame = window->workspace()->activeSubWindow();
    frame->showMinimized();
    settle();
    frame->showNormal();
    settle();
    ASSERT_FALSE(frame.isNull());
    auto* form = static_cast<masters::MasterForm*>(static_cast<ui::ScreenFrame*>(frame->widget())->screen());
    form->Toolbar1_ButtonClick("New");
    frame->close();
    settle();
    ASSERT_FALSE(frame.isNull());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(prompt.lastText(), "Save your changes");
}

}  // namespace
