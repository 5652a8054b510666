#include "portfolio/portfolioscreens.h"

#include "shell/screenregistry.h"

namespace portfolio {

void registerPortfolioScreens(shell::ScreenRegistry& registry)
{
    (void)registry;
}

}  // namespace portfolio
