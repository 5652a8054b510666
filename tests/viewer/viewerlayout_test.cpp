// The result viewer's panels in the main window, at the main window's opening
// size and at the viewer's own: a panel that opens is in sight, and every
// button is whole, however many panels are shown.
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
#include <QRegularExpression>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

TEST(ViewerLayout, OpenedPanelsAreInSightAndEveryButtonWhole)
{
    TestStore store;
    ScriptedPrompt prompt;
    store.db().execScript("CREATE TABLE QueryResult (stock TEXT, NSETrdQty INTEGER);"
                          "INSERT INTO QueryResult VALUES ('Axis Bank', 10);"
                          "INSERT INTO ScripMaster (company) VALUES ('Axis Bank');"
                          "INSERT INTO GroupMaster VALUES ('BANKS', 'Banks');");
    for (const QSize& size : {QSize(1100, 750), QSize(1440, 900)}) {
        shell::MainWindow window(store.db(), shell::MainWindow::Paths{store.folder(), {}}, shell::ScreenRegistry());
        window.resize(size);
        window.show();
        viewer::ResultViewerWindow* viewer = viewer::showResult(window, "SELECT * FROM QueryResult", "All");
        auto* frame = static_cast<ui::ScreenFrame*>(window.workspace()->activeSubWindow()->widget());
        // Save Group and No show the group panel, alone, then (hidden again
        // by the next No) with the other panels.
        for (const char* button :
             {"CmdSave_Group", "CmdSave_Group", "cmdsort", "CmdFilter", "Command2", "CmdSave_Group"}) {
            if (QByteArray(button) == "CmdSave_Group")
                prompt.answers.enqueue(ui::Answer::No);
            viewer->findChild<QAbstractButton*>(button)->click();
            for (int i = 0; i < 3; ++i)
                QCoreApplication::processEvents();
            const std::string state = std::to_string(size.width()) + " after " + button;
            EXPECT_EQ(frame->horizontalScrollBar()->maximum(), 0) << state;
            QList<QWidget*> shown = viewer->findChildren<QWidget*>(QRegularExpression("^Frame\\d|^FrmGrp"));
            for (QAbstractButton* child : viewer->findChildren<QAbstractButton*>())
                shown.append(child);
            for (QWidget* widget : shown) {
                if (!widget->isVisibleTo(viewer))
                    continue;
                const QRect place(widget->mapTo(frame->viewport(), QPoint(0, 0)), widget->size());
                EXPECT_TRUE(frame->viewport()->rect().contains(place))
                    << state << ": " << widget->objectName().toStdString() << " is not whole in sight";
            }
        }
        EXPECT_TRUE(viewer->findChild<QFrame*>("FrmGrp")->isVisible());
        qDeleteAll(window.workspace()->subWindowList());
    }
}

}  // namespace
