#pragma once

class QApplication;

namespace shell {

class ScreenRegistry;

// The whole start-up: shows the start window, then refuses a second running
// copy, opens the main database of the data folder and shows the main window
// with the screens of `registry`. Returns the process exit code.
int runApplication(QApplication& app, const ScreenRegistry& registry);

}  // namespace shell
