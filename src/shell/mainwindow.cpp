#include "shell/mainwindow.h"

#include "shell/aboutbox.h"
#include "shell/applicationicon.h"
#include "shell/inifile.h"
#include "ui/prompt.h"
#include "ui/screenframe.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <algorithm>

namespace shell {

bool pressMnemonic(QWidget* root, QChar key)
{
    if (!root)
        return false;
    const QString wanted = QStringLiteral("&") + key.toLower();
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
        QString text = button->text().toLower();
        text.replace(QLatin1String("&&"), QString());
        if (text.contains(wanted) && button->isEnabled() && button->isVisible()) {
            button->click();
            return true;
        }
    }
    return false;
}

MainWindow::MainWindow(store::Database& db, const Paths& paths, ScreenRegistry registry, QWidget* parent)
    : QMainWindow(parent), m_db(db), m_paths(paths), m_registry(std::move(registry))
{
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(QStringLiteral("Tarvenix"));
    setWindowIcon(applicationIcon());
    m_workspace = new QMdiArea(this);
    m_workspace->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_workspace->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A window that closes gives the focus back to the one active before it.
    m_workspace->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (!now)
            keepFocusInWindow(old);
    });
    setCentralWidget(m_workspace);
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    buildMenu();
    resize(1100, 750);
}

QString MainWindow::iniPath() const
{
    return iniFileName(m_paths.dataFolder);
}

QAction* MainWindow::addItem(QWidget* menu, const QString& name, const QString& caption)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    menu->addAction(action);
    m_actions.insert(name, action);
    return action;
}

QAction* MainWindow::addScreenItem(QWidget* menu, const QString& name, const QString& caption)
{
    QAction* action = addItem(menu, name, caption);
    connect(action, &QAction::triggered, this, [this, name] { openScreen(name); });
    return action;
}

void MainWindow::buildMenu()
{
    QMenuBar* bar = menuBar();

    QMenu* master = bar->addMenu(QStringLiteral("&Master"));
    master->setObjectName(QStringLiteral("Master"));
    addScreenItem(master, QStringLiteral("Stock"), QStringLiteral("Stock"));
    addScreenItem(master, QStringLiteral("Group"), QStringLiteral("Group"));
    addScreenItem(master, QStringLiteral("LinkGroupWithScript"), QStringLiteral("Link Group With Stock"));
    addScreenItem(master, QStringLiteral("MnuScriptSearch"), QStringLiteral("Script Search"));
    addScreenItem(master, QStringLiteral("MnuPortfolio"), QStringLiteral("Portfolio"));
    addScreenItem(master, QStringLiteral("MnuPortfoliomanager"), QStringLiteral("Portfolio Manager"));
    addScreenItem(master, QStringLiteral("MnuBulkDeals"), QStringLiteral("Bulk Deals"));

    addScreenItem(bar, QStringLiteral("DatabaseTesting"), QStringLiteral("Data &Updation"));
    addScreenItem(bar, QStringLiteral("MnuMul_DataUpd"), QStringLiteral("NNF_Security Update"));
    addScreenItem(bar, QStringLiteral("Query"), QStringLiteral("&Query"));

    m_windowMenu = bar->addMenu(QStringLiteral("&Window"));
    m_windowMenu->setObjectName(QStringLiteral("Window"));
    connect(addItem(m_windowMenu, QStringLiteral("mnuWindowTilehorizontal"), QStringLiteral("Tile Horizontal")),
            &QAction::triggered, this, &MainWindow::tileHorizontally);
    connect(addItem(m_windowMenu, QStringLiteral("mnuWindowTileVertical"), QStringLiteral("Tile Vertical")),
            &QAction::triggered, this, &MainWindow::tileVertically);
    connect(addItem(m_windowMenu, QStringLiteral("mnuWindowCascade"), QStringLiteral("Cascade")),
            &QAction::triggered, this, &MainWindow::cascade);
    connect(m_windowMenu, &QMenu::aboutToShow, this, &MainWindow::fillWindowList);

    addScreenItem(bar, QStringLiteral("DeleteRecords"), QStringLiteral("&Delete Records"));
    addScreenItem(bar, QStringLiteral("importfromexcel"), QStringLiteral("&Import From Excel"));
    connect(addItem(bar, QStringLiteral("AboutUs"), QStringLiteral("&About Us")), &QAction::triggered, this,
            &MainWindow::showAbout);
    connect(addItem(bar, QStringLiteral("MnuExit"), QStringLiteral("E&xit")), &QAction::triggered, this,
            &QWidget::close);

    // Not on the menu bar: the context menu of the portfolio grid.
    m_popup = new QMenu(QStringLiteral("Popup"), this);
    m_popup->setObjectName(QStringLiteral("mnuPopup"));
    connect(addItem(m_popup, QStringLiteral("mnuDeleteRow"), QStringLiteral("Delete Row")), &QAction::triggered, this,
            &MainWindow::deleteRow);
}

void MainWindow::showAbout()
{
    // One about box: while it is open, About Us brings it forward.
    if (!m_about) {
        m_about = new AboutBox(this);
        m_about->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void MainWindow::fillWindowList()
{
    const auto actions = m_windowMenu->actions();
    for (int i = 3; i < actions.size(); ++i) {
        m_windowMenu->removeAction(actions[i]);
        actions[i]->deleteLater();
    }
    const auto windows = m_workspace->subWindowList();
    if (windows.isEmpty())
        return;
    m_windowMenu->addSeparator();
    int number = 1;
    for (QMdiSubWindow* window : windows) {
        QAction* action =
            m_windowMenu->addAction(QStringLiteral("&%1 %2").arg(QString::number(number++), window->windowTitle()));
        action->setCheckable(true);
        action->setChecked(window == m_workspace->activeSubWindow());
        connect(action, &QAction::triggered, this, [this, window = QPointer<QMdiSubWindow>(window)] {
            if (window)
                m_workspace->setActiveSubWindow(window);
        });
    }
}

void MainWindow::keepFocusInWindow(QWidget* lost)
{
    // A screen that disables the control with the focus (a busy screen, a
    // frame shut while a row is saved) leaves its window without a focus
    // widget; when the main window is next activated (after any message box)
    // Qt would give the focus to the first control of the whole workspace
    // and so activate and raise another screen's window. The window keeps
    // the focus on its own frame instead.
    if (!lost || lost->isEnabled())
        return;
    QMdiSubWindow* window = ui::subWindowOf(lost);
    if (window && window->mdiArea() == m_workspace && window->isVisible())
        window->setFocus(Qt::OtherFocusReason);
}

void MainWindow::openScreen(const QString& menuItem)
{
    if (QMdiSubWindow* open = m_openScreens.value(menuItem)) {
        open->showNormal();
        m_workspace->setActiveSubWindow(open);
        open->raise();
        return;
    }
    if (!m_registry.contains(menuItem)) {
        showStatus(QStringLiteral("This screen is not available yet."));
        return;
    }
    QWidget* screen = m_registry.factory(menuItem)(*this);
    if (!screen)
        return;
    QMdiSubWindow* window = addToWorkspace(screen);
    m_openScreens.insert(menuItem, window);
    showInWorkspace(window);
}

QMdiSubWindow* MainWindow::addToWorkspace(QWidget* screen)
{
    // The frame scrolls a screen that its window is too small for, and opens
    // it at the size it chose, never smaller than its texts need.
    QMdiSubWindow* window = m_workspace->addSubWindow(new ui::ScreenFrame(screen));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->resize(window->sizeHint());
    return window;
}

void MainWindow::showChild(QWidget* window)
{
    for (QMdiSubWindow* existing : m_workspace->subWindowList()) {
        auto* frame = qobject_cast<ui::ScreenFrame*>(existing->widget());
        if (frame && frame->screen() == window) {
            existing->showNormal();
            m_workspace->setActiveSubWindow(existing);
            return;
        }
    }
    showInWorkspace(addToWorkspace(window));
}

namespace {

bool opensAtTopLeft(const QMdiSubWindow* window)
{
    // The master forms, the membership, search and bulk deals windows, the
    // date range deletion, the SQL script generator, the result viewer, the
    // chart window and the portfolio transactions.
    static const QStringList screens{
        QStringLiteral("FrmScriptMaster"), QStringLiteral("FrmGroupMaster"), QStringLiteral("FrmPortFolio"),
        QStringLiteral("frmdelete"), QStringLiteral("FrmExport"),
        QStringLiteral("frmLink"), QStringLiteral("FrmScript_Search"), QStringLiteral("FrmBulk_Deals"),
        QStringLiteral("frmdisplayrecord"), QStringLiteral("Form2graph"), QStringLiteral("FrmPortFolioManager_New")};
    const auto* frame = qobject_cast<const ui::ScreenFrame*>(window->widget());
    return frame && frame->screen() && screens.contains(frame->screen()->objectName());
}

}  // namespace

void MainWindow::showInWorkspace(QMdiSubWindow* window)
{
    window->widget()->show();
    window->show();
    if (opensAtTopLeft(window))
        window->move(0, 0);
    // Keep the whole window inside the workspace: no larger than it, and
    // moved back in where the placement left part of it outside.
    const QSize area = m_workspace->viewport()->size();
    const QSize size = window->size().boundedTo(area);
    window->resize(size);
    window->move(std::clamp(window->x(), 0, std::max(0, area.width() - size.width())),
                 std::clamp(window->y(), 0, std::max(0, area.height() - size.height())));
    m_workspace->setActiveSubWindow(window);
}

QAction* MainWindow::menuAction(const QString& menuItem)
{
    return m_actions.value(menuItem);
}

void MainWindow::showStatus(const QString& text)
{
    statusBar()->showMessage(text, 5000);
}

void MainWindow::showPopup(QWidget* grid, const QString& owner, const QPoint& globalPosition)
{
    sharedState().popupForm = grid;
    sharedState().popupOwner = owner;
    m_popup->popup(globalPosition);
}

void MainWindow::deleteRow()
{
    // The grid that showed the menu deletes its own active row (and, for the
    // portfolio transactions, the stored transaction) through this slot.
    if (QObject* grid = sharedState().popupForm)
        QMetaObject::invokeMethod(grid, "deleteActiveRow", Q_ARG(QString, sharedState().popupOwner));
}

void MainWindow::activateFromAnotherCopy()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
    // The workspace has no active window while the main window is inactive
    // (the other copy's message had the focus, and activation arrives
    // later): press the button of the window that was active last.
    if (QMdiSubWindow* current = m_workspace->currentSubWindow())
        pressMnemonic(current->widget(), QLatin1Char('R'));
}

namespace {

// Lays the child windows out in one column (stacked) or one row.
void tile(QMdiArea* workspace, Qt::Orientation orientation)
{
    const auto windows = workspace->subWindowList();
    if (windows.isEmpty())
        return;
    const QRect area = workspace->viewport()->rect();
    const int count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        windows[i]->showNormal();
        if (orientation == Qt::Vertical) {
            const int height = area.height() / count;
            windows[i]->setGeometry(0, i * height, area.width(), height);
        } else {
            const int width = area.width() / count;
            windows[i]->setGeometry(i * width, 0, width, area.height());
        }
    }
}

}  // namespace

void MainWindow::tileHorizontally()
{
    // One window above the other, each the workspace's full width.
    tile(m_workspace, Qt::Vertical);
}

void MainWindow::tileVertically()
{
    // Side by side, each the workspace's full height.
    tile(m_workspace, Qt::Horizontal);
}

void MainWindow::cascade()
{
    m_workspace->cascadeSubWindows();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    const ui::Message question{QStringLiteral("Are you sure you want to Quit?"), QStringLiteral("Exit"),
                               ui::Icon::Question, ui::Buttons::YesNo};
    if (ui::prompt().show(question) == ui::Answer::Yes)
        event->accept();
    else
        event->ignore();
}

}  // namespace shell
