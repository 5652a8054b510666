#include "shell/startup.h"

#include "shell/inifile.h"
#include "store/database.h"
#include "store/schema.h"
#include "store/storeerror.h"
#include "ui/prompt.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace shell {

namespace {
const QString kSection = QStringLiteral("Settings");

void createOptionsStoreIfMissing(const QString& path)
{
    if (QFileInfo::exists(path))
        return;
    store::Database options;
    options.open(path);
    store::createOptionsSchema(options);
}
}  // namespace

QString dataFolder()
{
    QString folder = qEnvironmentVariable("TARVENIX_HOME");
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return folder;
}

StartupResult openMainStore(const QString& folder, store::Database& db, ui::Prompt& prompt)
{
    StartupResult result;
    const QString ini = iniFileName(folder);
    const QString defaultPath = QDir(folder).filePath(QStringLiteral("mto.db"));
    const QString defaultOptionPath = QDir(folder).filePath(QStringLiteral("option.db"));
    const QString pathSetting = readIni(ini, kSection, QStringLiteral("Path"), QString());
    result.databasePath = pathSetting.isEmpty() ? defaultPath : pathSetting;
    result.optionPath = readIni(ini, kSection, QStringLiteral("sottpath"), defaultOptionPath);

    bool firstStart = false;
    if (!QFileInfo::exists(result.databasePath)) {
        if (pathSetting.isEmpty()) {
            firstStart = true;
        } else {
            prompt.show({QStringLiteral("The Database File Is Missing Please Locate It"), ui::applicationTitle(),
                         ui::Icon::Information, ui::Buttons::Ok});
            const QString chosen = prompt.openFile(
                {QString(), folder, QStringLiteral("Databases (*.db);;All files (*)")});
            if (chosen.isEmpty()) {
                result.status = StartupResult::Status::Cancelled;
                return result;
            }
            writeIni(ini, kSection, QStringLiteral("Path"), chosen);
            result.databasePath = chosen;
        }
    }

    try {
        if (firstStart) {
            db.open(result.databasePath);
            if (result.optionPath == defaultOptionPath)
                createOptionsStoreIfMissing(result.optionPath);
        } else {
            db.openExisting(result.databasePath);
        }
        store::createMainSchema(db);
        result.status = StartupResult::Status::Opened;
    } catch (const store::StoreError& error) {
        db.close();
        result.status = StartupResult::Status::Failed;
        result.error = error.message();
    }
    return result;
}

}  // namespace shell
