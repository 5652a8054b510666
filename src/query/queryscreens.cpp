#include "query/queryscreens.h"

#include "query/frmquery.h"
#include "shell/screenregistry.h"

namespace query {

void registerQueryScreens(shell::ScreenRegistry& registry)
{
    registry.add(QStringLiteral("Query"), [](shell::AppServices& services) -> QWidget* { return new FrmQuery(services); });
}

}  // namespace query
