#include "portfolio/portfolioscreens.h"

#include "portfolio/frmportfolio.h"
#include "portfolio/frmportfoliomanager.h"
#include "shell/appservices.h"
#include "shell/screenregistry.h"

namespace portfolio {

void registerPortfolioScreens(shell::ScreenRegistry& registry)
{
    registry.add(QStringLiteral("MnuPortfolio"),
                 [](shell::AppServices& services) { return new FrmPortFolio(services.database()); });
    registry.add(QStringLiteral("MnuPortfoliomanager"),
                 [](shell::AppServices& services) { return new FrmPortFolioManager_New(services); });
}

}  // namespace portfolio
