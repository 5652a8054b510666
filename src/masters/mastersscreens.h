#pragma once

namespace shell {
class ScreenRegistry;
}

namespace masters {

// Adds the screens of this folder to the main menu's registry.
void registerMastersScreens(shell::ScreenRegistry& registry);

}  // namespace masters
