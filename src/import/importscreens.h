#pragma once

namespace shell {
class ScreenRegistry;
}

namespace import {

// Adds the screens of this folder to the main menu's registry.
void registerImportScreens(shell::ScreenRegistry& registry);

}  // namespace import
