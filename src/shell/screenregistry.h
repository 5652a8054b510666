#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace shell {

class AppServices;

// Makes the window of one screen; the main window shows it as a child.
using ScreenFactory = std::function<QWidget*(AppServices& services)>;

// Which screen each main-menu item opens, keyed by the item's name
// ("Stock", "DatabaseTesting", "Query", ...).
class ScreenRegistry {
public:
    void add(const QString& menuItem, ScreenFactory factory) { m_factories.insert(menuItem, std::move(factory)); }
    bool contains(const QString& menuItem) const { return m_factories.contains(menuItem); }
    ScreenFactory factory(const QString& menuItem) const { return m_factories.value(menuItem); }
    // Every menu item that opens a screen, in no particular order.
    QStringList menuItems() const { return m_factories.keys(); }

private:
    QHash<QString, ScreenFactory> m_factories;
};

}  // namespace shell
