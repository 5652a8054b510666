#pragma once

#include "shell/appservices.h"
#include "support/teststore.h"

#include <QStringList>
#include <QWidget>
#include <memory>

// The application's services for screen tests: a temporary store, the test
// folder as data folder, and a record of what the screen asked the main
// window to do.
class FakeServices : public shell::AppServices {
public:
    TestStore store;
    QStringList openedScreens;
    QList<QPointer<QWidget>> children;
    QStringList statusTexts;

    store::Database& database() override { return store.db(); }
    QString dataFolder() const override { return store.folder(); }
    QString iniPath() const override { return store.folder() + QStringLiteral("/Tarvenix.ini"); }
    QString optionPath() const override { return store.folder() + QStringLiteral("/option.db"); }
    void openScreen(const QString& menuItem) override { openedScreens.append(menuItem); }
    void showChild(QWidget* window) override
    {
        children.append(window);
        window->show();
    }
    QAction* menuAction(const QString&) override { return nullptr; }
    void showStatus(const QString& text) override { statusTexts.append(text); }
};
