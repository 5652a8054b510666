#pragma once

namespace shell {
class ScreenRegistry;
}

namespace query {

// Adds the screens of this folder to the main menu's registry.
void registerQueryScreens(shell::ScreenRegistry& registry);

}  // namespace query
