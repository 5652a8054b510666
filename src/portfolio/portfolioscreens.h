#pragma once

namespace shell {
class ScreenRegistry;
}

namespace portfolio {

// Adds the screens of this folder to the main menu's registry.
void registerPortfolioScreens(shell::ScreenRegistry& registry);

}  // namespace portfolio
