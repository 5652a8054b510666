#include "query/queryscreens.h"

#include "query/queryscreen.h"
#include "shell/screenregistry.h"

namespace query {

void registerQueryScreens(shell::ScreenRegistry& registry)
{
    registry.add(QStringLiteral("Query"),
                 [](shell::AppServices& services) -> QWidget* { return new QueryScreen(services); });
}

}  // namespace query
