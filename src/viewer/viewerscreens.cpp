#include "viewer/viewerscreens.h"

#include "shell/screenregistry.h"
#include "ui/prompt.h"
#include "viewer/scriptwriter.h"

namespace viewer {

// No menu item opens the result viewer: the query screen hands each result
// to it through showResult() (viewer/resultviewer.h). Nor does one open the
// derivative script window.
void registerViewerScreens(shell::ScreenRegistry& registry)
{
    (void)registry;
}

DerivativeScriptWindow::DerivativeScriptWindow(store::Database& db, const QString& dataFolder, QWidget* parent)
    : QWidget(parent), m_path(derivativeScriptPath(dataFolder))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_problem = writeDerivativeScript(db, m_path);
    if (!m_problem.isEmpty())
        ui::prompt().show(ui::Message::fromStyle(m_problem, 48, ui::applicationTitle() + QStringLiteral(" - Form2")));
}

}  // namespace viewer
