#pragma once

#include <QString>
#include <QWidget>

namespace shell {
class ScreenRegistry;
}

namespace store {
class Database;
}

namespace viewer {

// Adds the screens of this folder to the main menu's registry.
void registerViewerScreens(shell::ScreenRegistry& registry);

// "Form2": a window without controls that, as it opens, writes the
// membership of the group "Derivative" as a script of insert statements to
// newscript.txt in the export folder of `dataFolder`. A failure is shown
// in a message box. No menu item opens it.
class DerivativeScriptWindow : public QWidget {
    Q_OBJECT
public:
    DerivativeScriptWindow(store::Database& db, const QString& dataFolder, QWidget* parent = nullptr);

    // The script file written to.
    const QString& scriptPath() const { return m_path; }
    // Why the script was not written; empty when it was.
    const QString& problem() const { return m_problem; }

private:
    QString m_path;
    QString m_problem;
};

}  // namespace viewer
