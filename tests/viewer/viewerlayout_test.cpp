// The result viewer's panels in the main window at the viewer's opening
// size: a panel that opens is in sight, and every button is whole, however
// many panels are shown.
#include "shell/mainwindow.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"
#include "ui/screenframe.h"
#include "viewer/resultviewer.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFrame>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

class ViewerLayoutTest : public ::testing::Test {
protected:
    ViewerLayoutTest()
    {
        store.db().execScript("CREATE TABLE QueryResult (stock TEXT, NSETrdQty INTEGER, NSEPerc REAL);"
                              "INSERT INTO QueryResult VALUES ('Axis Bank', 10, 50.5), ('Bharat Forge', 20, 60);"
                              "INSERT INTO ScripMaster (company) VALUES ('Axis Bank'), ('Bharat Forge');"
                              "INSERT INTO GroupMaster VALUES ('BANKS', 'Banks'), ('IT', 'Information');");
    }
    ~ViewerLayoutTest() override { close(); }

    // The viewer in a main window of `size`: as the main window opens, where
    // the viewer is narrowed to the workspace, and large enough for the
    // viewer's own opening size.
    void openIn(const QSize& size)
    {
        close();
        window = std::make_unique<shell::MainWindow>(store.db(), shell::MainWindow::Paths{store.folder(), {}},
                                                     shell::ScreenRegistry());
        window->resize(size);
        window->show();
        viewer = viewer::showResult(*window, "SELECT * FROM QueryResult", "View All Records");
        settle();
        frame = static_cast<ui::ScreenFrame*>(window->workspace()->activeSubWindow()->widget());
    }
    void close()
    {
        if (window)
            qDeleteAll(window->workspace()->subWindowList());
        window.reset();
    }
    const QList<QSize> kMainWindowSizes = {QSize(1100, 750), QSize(1440, 900)};

    void press(const char* button) { viewer->findChild<QAbstractButton*>(button)->click(); }
    // The part of `widget` the frame shows now, in the frame's coordinates.
    QRect shownPart(const QWidget* widget) const
    {
        const QRect place(widget->mapTo(frame->viewport(), QPoint(0, 0)), widget->size());
        return place & frame->viewport()->rect();
    }
    void expectInSight(const QWidget* widget, const char* name) const
    {
        EXPECT_EQ(shownPart(widget).size(), widget->size()) << name << " is not in sight";
    }

    void expectPanelsWhole(const QSize& size);
    void expectGroupInSight(const QSize& size);

    TestStore store;
    ScriptedPrompt prompt;
    std::unique_ptr<shell::MainWindow> window;
    viewer::ResultViewerWindow* viewer = nullptr;
    ui::ScreenFrame* frame = nullptr;
};

void ViewerLayoutTest::expectPanelsWhole(const QSize& size)
{
    openIn(size);
    SCOPED_TRACE(QStringLiteral("viewer %1x%2").arg(viewer->width()).arg(viewer->height()).toStdString());
    for (const char* button : {"cmdsort", "CmdFilter", "Command2"})
        press(button);
    settle();
    EXPECT_EQ(frame->horizontalScrollBar()->maximum(), 0) << "the viewer scrolls sideways";
    for (QAbstractButton* button : viewer->findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(viewer))
            continue;
        const QWidget* parent = button->parentWidget();
        EXPECT_TRUE(parent->rect().contains(button->geometry())) << button->objectName().toStdString() << " is cut";
        EXPECT_GE(button->width(), button->minimumSizeHint().width()) << button->objectName().toStdString();
        expectInSight(button, qPrintable(button->objectName()));
    }
    // The panels keep apart.
    const QList<QFrame*> panels = {viewer->findChild<QFrame*>("Frame1"), viewer->findChild<QFrame*>("Frame2"),
                                   viewer->findChild<QFrame*>("Frame3")};
    for (qsizetype i = 0; i < panels.size(); ++i)
        for (qsizetype j = i + 1; j < panels.size(); ++j)
            EXPECT_FALSE(panels[i]->geometry().intersects(panels[j]->geometry())) << i << " and " << j;
}

void ViewerLayoutTest::expectGroupInSight(const QSize& size)
{
    openIn(size);
    SCOPED_TRACE(QStringLiteral("viewer %1x%2").arg(viewer->width()).arg(viewer->height()).toStdString());
    for (const char* panels : {"", "Command2", "cmdsort CmdFilter Command2"}) {
        for (const QString& button : QString(panels).split(' ', Qt::SkipEmptyParts))
            press(qPrintable(button));
        settle();
        prompt.answers.enqueue(ui::Answer::No);
        press("CmdSave_Group");
        settle();
        auto* group = viewer->findChild<QFrame*>("FrmGrp");
        ASSERT_TRUE(group->isVisible()) << panels;
        expectInSight(group, panels);
        expectInSight(viewer->findChild<QAbstractButton*>("CmdOk"), panels);
        // No again hides it; the next state starts from the panels shown.
        prompt.answers.enqueue(ui::Answer::No);
        press("CmdSave_Group");
        EXPECT_TRUE(group->isHidden());
        for (const QString& button : QString(panels).split(' ', Qt::SkipEmptyParts))
            press(qPrintable(button));
    }
}

TEST_F(ViewerLayoutTest, SortFilterAndChartPanelsTogetherLeaveEveryButtonWhole)
{
    for (const QSize& size : kMainWindowSizes)
        expectPanelsWhole(size);
}

TEST_F(ViewerLayoutTest, SelectGroupOpensInSightBesideTheOtherPanels)
{
    for (const QSize& size : kMainWindowSizes)
        expectGroupInSight(size);
}

}  // namespace
