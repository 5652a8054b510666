#pragma once

#include "shell/appservices.h"
#include "shell/screenregistry.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace shell {

class AboutBox;

// The main window: the menu that opens every screen as a child window, the
// Window menu's arrangements, the quit question, and the services screens
// use (AppServices).
class MainWindow : public QMainWindow, public AppServices {
    Q_OBJECT
public:
    struct Paths {
        QString dataFolder;
        QString optionPath;
    };

    MainWindow(store::Database& db, const Paths& paths, ScreenRegistry registry, QWidget* parent = nullptr);

    // AppServices
    store::Database& database() override { return m_db; }
    QString dataFolder() const override { return m_paths.dataFolder; }
    QString iniPath() const override;
    QString optionPath() const override { return m_paths.optionPath; }
    void openScreen(const QString& menuItem) override;
    void showChild(QWidget* window) override;
    QAction* menuAction(const QString& menuItem) override;
    void showStatus(const QString& text) override;

    QMdiArea* workspace() const { return m_workspace; }
    // The context menu that grids show for "Delete Row".
    QMenu* popupMenu() const { return m_popup; }
    void showPopup(QWidget* grid, const QString& owner, const QPoint& globalPosition);

    // Another copy asked this one to come forward: raise the window and
    // press the Alt+R button of the screen that was active last.
    void activateFromAnotherCopy();

    void tileHorizontally();
    void tileVertically();
    void cascade();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
    QMdiSubWindow* addToWorkspace(QWidget* screen);
    void showInWorkspace(QMdiSubWindow* window);
    QAction* addItem(QWidget* menu, const QString& name, const QString& caption);
    QAction* addScreenItem(QWidget* menu, const QString& name, const QString& caption);
    void fillWindowList();
    void keepFocusInWindow(QWidget* lost);
    void deleteRow();
    void showAbout();

    store::Database& m_db;
    Paths m_paths;
    ScreenRegistry m_registry;
    QMdiArea* m_workspace = nullptr;
    QMenu* m_windowMenu = nullptr;
    QMenu* m_popup = nullptr;
    QHash<QString, QAction*> m_actions;
    QHash<QString, QPointer<QMdiSubWindow>> m_openScreens;
    QPointer<AboutBox> m_about;
};

// Presses the enabled button of `root` whose caption has `key` as its
// mnemonic ("&Refresh Query" for R). Returns false when there is none.
bool pressMnemonic(QWidget* root, QChar key);

}  // namespace shell
