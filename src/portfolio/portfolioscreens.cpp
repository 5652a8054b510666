#include "portfolio/portfolioscreens.h"

#include "portfolio/portfoliomasterform.h"
#include "portfolio/transactionsscreen.h"
#include "shell/appservices.h"
#include "shell/screenregistry.h"

namespace portfolio {

void registerPortfolioScreens(shell::ScreenRegistry& registry)
{
    registry.add(QStringLiteral("MnuPortfolio"),
                 [](shell::AppServices& services) { return new PortfolioMasterForm(services.database()); });
    registry.add(QStringLiteral("MnuPortfoliomanager"),
                 [](shell::AppServices& services) { return new TransactionsScreen(services); });
}

}  // namespace portfolio
