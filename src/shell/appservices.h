#pragma once

#include "shell/sharedstate.h"

#include <QString>

class QAction;
class QWidget;

namespace store {
class Database;
}

namespace shell {

// What a screen gets from the application: the store, the data folder and
// the main window's services. The main window implements it; tests use a
// small stand-in.
class AppServices {
public:
    virtual ~AppServices() = default;

    virtual store::Database& database() = 0;
    // The folder of the settings file, the databases, downloads and exports.
    virtual QString dataFolder() const = 0;
    virtual QString iniPath() const = 0;
    // The options (open-interest) database file.
    virtual QString optionPath() const = 0;

    // Opens the screen of a main-menu item (by its item name, e.g. "Stock"),
    // or brings it forward when it is open already.
    virtual void openScreen(const QString& menuItem) = 0;
    // Shows a window made by a screen as a child window of the main window.
    virtual void showChild(QWidget* window) = 0;
    // The main-menu action of an item name, or null.
    virtual QAction* menuAction(const QString& menuItem) = 0;
    virtual void showStatus(const QString& text) = 0;
};


}  // namespace shell
