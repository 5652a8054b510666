#include "shell/application.h"

#include "shell/mainwindow.h"
#include "shell/singleinstance.h"
#include "shell/splashscreen.h"
#include "shell/startup.h"
#include "store/database.h"
#include "ui/prompt.h"

#include <QApplication>
#include <memory>

namespace shell {

int runApplication(QApplication& app, const ScreenRegistry& registry)
{
    SingleInstance instance;
    if (instance.anotherIsRunning()) {
        ui::prompt().show({QStringLiteral("Another Instance Is Already Running ...!"), ui::applicationTitle(),
                           ui::Icon::None, ui::Buttons::Ok});
        instance.activateRunning();
        return 0;
    }
    instance.listen();

    store::Database db;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<StoreCheck> storeCheck;
    int exitCode = 0;

    SplashScreen splash;
    QObject::connect(&splash, &SplashScreen::finished, &app, [&] {
        const QString folder = dataFolder();
        const StartupResult opened = openMainStore(folder, db, ui::prompt());
        if (opened.status == StartupResult::Status::Cancelled) {
            app.exit(0);
            return;
        }
        if (opened.status == StartupResult::Status::Failed) {
            ui::prompt().critical(opened.error);
            exitCode = 1;
            app.exit(1);
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

    const int code = app.exec();
    return exitCode != 0 ? exitCode : code;
}

}  // namespace shell
