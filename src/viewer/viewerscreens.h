#pragma once

namespace shell {
class ScreenRegistry;
}

namespace viewer {

// Adds the screens of this folder to the main menu's registry.
void registerViewerScreens(shell::ScreenRegistry& registry);

}  // namespace viewer
