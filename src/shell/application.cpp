#include "shell/application.h"

#include "shell/mainwindow.h"
#include "shell/singleinstance.h"
#include "shell/splashscreen.h"
#include "shell/startup.h"
#include "store/database.h"
#include "ui/prompt.h"

#include <QApplication>
#include <memory>
#include <optional>

namespace shell {

int runApplication(QApplication& app, const ScreenRegistry& registry)
{
    SingleInstance instance;
    store::Database db;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<StoreCheck> storeCheck;
    // The exit code of a start that ended before the main window showed.
    std::optional<int> ended;
    auto end = [&](int code) {
        ended = code;
        app.exit(code);
    };

    // The splash shows first in every copy; the start-up after it refuses a
    // second copy before it reads any setting or opens the store.
    SplashScreen splash;
    QObject::connect(&splash, &SplashScreen::finished, &app, [&] {
        if (instance.anotherIsRunning()) {
            ui::prompt().show({QStringLiteral("Another Instance Is Already Running ...!"), ui::applicationTitle(),
                               ui::Icon::None, ui::Buttons::Ok});
            instance.activateRunning();
            end(0);
            return;
        }
        instance.listen();

        const QString folder = dataFolder();
        const StartupResult opened = openMainStore(folder, db, ui::prompt());
        if (opened.status == StartupResult::Status::Cancelled) {
            end(0);
            return;
        }
        if (opened.status == StartupResult::Status::Failed) {
            ui::prompt().critical(opened.error);
            end(1);
            return;
        }
        window = std::make_unique<MainWindow>(db, MainWindow::Paths{folder, opened.optionPath}, registry);
        QObject::connect(&instance, &SingleInstance::activationRequested, window.get(),
                         &MainWindow::activateFromAnotherCopy);
        window->show();
        for (const ui::Message& notice : opened.notices)
            ui::prompt().show(notice);
        storeCheck = std::make_unique<StoreCheck>(opened.databasePath, ui::prompt());
    });
    splash.show();
    splash.setFocus();

    // Showing the splash handles the input waiting already: a key pressed at
    // once hands over, and may end the start, before the event loop runs.
    const int code = ended ? *ended : app.exec();
    return ended.value_or(code);
}

}  // namespace shell
