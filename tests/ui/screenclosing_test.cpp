// A screen's own closing control (Close, Exit, Escape on a master form) takes
// its window in the main window's workspace with it: no empty frame is left,
// and the Window menu no longer lists the screen.
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

#include <QAbstractButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

// Presses the button captioned Close or Exit of `screen`, else Escape on a
// master form; a screen without either is closed as its code closes it.
void pressClosing(QWidget* screen)
{
    for (QAbstractButton* button : screen->findChildren<QAbstractButton*>()) {
        const QString caption = button->text().remove(QLatin1Char('&'));
        if (button->isVisible() && (caption == QLatin1String("Close") || caption == QLatin1String("Exit"))) {
            button->click();
            return;
        }
    }
    if (qobject_cast<masters::MasterForm*>(screen))
        QTest::keyClick(screen, Qt::Key_Escape);
    else
        screen->close();
}

shell::ScreenRegistry everyScreen()
{
    shell::ScreenRegistry registry;
    masters::registerMastersScreens(registry);
    import::registerImportScreens(registry);
    query::registerQueryScreens(registry);
    portfolio::registerPortfolioScreens(registry);
    return registry;
}

// The main window with every screen of the menu, over a store with a result.
class ScreenClosing : public ::testing::Test {
protected:
    ScreenClosing()
    {
        store.db().execScript("CREATE TABLE QueryResult (stock TEXT, NSETrdQty INTEGER);"
                              "INSERT INTO QueryResult VALUES ('Axis Bank', 10);");
        window.show();
    }

    TestStore store;
    ScriptedPrompt prompt;
    shell::ScreenRegistry registry = everyScreen();
    shell::MainWindow window{store.db(), shell::MainWindow::Paths{store.folder(), {}}, registry};
};

TEST_F(ScreenClosing, EveryScreensClosingControlTakesItsWindowAway)
{
    const auto expectClosesItsWindow = [](QWidget* screen, const QString& name) {
        settle();
        QPointer<QMdiSubWindow> frame = ui::subWindowOf(screen);
        ASSERT_NE(frame, nullptr) << name.toStdString();
        pressClosing(screen);
        settle();
        EXPECT_TRUE(frame.isNull()) << name.toStdString() << " leaves its window behind";
    };
    for (const QString& item : registry.menuItems()) {
        window.openScreen(item);
        expectClosesItsWindow(static_cast<ui::ScreenFrame*>(window.workspace()->activeSubWindow()->widget())->screen(),
                              item);
    }
    viewer::showResult(window, "SELECT * FROM QueryResult", "View All Records");
    expectClosesItsWindow(viewer::openResultViewer(), "result viewer");
    viewer::ChartWindow* chart = viewer::showChart(window, store.db().query("SELECT * FROM QueryResult"));
    chart->preview();
    expectClosesItsWindow(chart->previewWindow(), "print preview");
    expectClosesItsWindow(chart, "chart window");
    EXPECT_TRUE(window.workspace()->subWindowList().isEmpty());

    // A window minimised and restored stays; so does one whose screen
    // refuses to close (a row being added).
    window.openScreen("Stock");
    QPointer<QMdiSubWindow> frame = window.workspace()->activeSubWindow();
    frame->showMinimized();
    settle();
    frame->showNormal();
    static_cast<masters::MasterForm*>(static_cast<ui::ScreenFrame*>(frame->widget())->screen())->Toolbar1_ButtonClick("New");
    frame->close();
    settle();
    ASSERT_FALSE(frame.isNull());
    EXPECT_TRUE(frame->widget()->isVisible());
    EXPECT_EQ(prompt.lastText(), "Save your changes");
    qDeleteAll(window.workspace()->subWindowList());
}

// The screen shown in the workspace's active window, or null.
QWidget* activeScreen(shell::MainWindow& window)
{
    QMdiSubWindow* active = window.workspace()->activeSubWindow();
    auto* frame = active ? qobject_cast<ui::ScreenFrame*>(active->widget()) : nullptr;
    return frame ? frame->screen() : nullptr;
}

TEST_F(ScreenClosing, AClosingWindowGivesTheFocusBackToTheOneActiveBeforeIt)
{
    window.openScreen("Stock");
    window.openScreen("Query");
    QWidget* query = activeScreen(window);
    viewer::ResultViewerWindow* viewer = viewer::showResult(window, "SELECT * FROM QueryResult", "View All Records");
    viewer::ChartWindow* chart = viewer::showChart(window, store.db().query("SELECT * FROM QueryResult"));
    chart->preview();
    settle();
    ASSERT_EQ(activeScreen(window), chart->previewWindow());

    // The preview's Close: back to the chart window, then the chart's Close:
    // back to the viewer.
    pressClosing(chart->previewWindow());
    settle();
    EXPECT_EQ(activeScreen(window), chart);
    pressClosing(chart);
    settle();
    EXPECT_EQ(activeScreen(window), viewer);

    // A window closed while another is active leaves that one active; the
    // order in which the rest were last active holds on.
    window.openScreen("Stock");
    QWidget* stock = activeScreen(window);
    window.openScreen("Query");
    ASSERT_EQ(activeScreen(window), query);
    stock->close();
    settle();
    EXPECT_EQ(activeScreen(window), query);
    pressClosing(query);
    settle();
    EXPECT_EQ(activeScreen(window), viewer);
    qDeleteAll(window.workspace()->subWindowList());
}

}  // namespace
