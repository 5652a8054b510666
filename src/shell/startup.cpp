#include "shell/startup.h"

#include "shell/inifile.h"
#include "store/database.h"
#include "store/schema.h"
#include "store/showntext.h"
#include "store/storecheck.h"
#include "store/storeerror.h"
#include "ui/prompt.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

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

// Gives a new store its tables, and notes what the user must know about an
// existing one. A table missing from a store that has others is damage: the
// rows it held are gone, and an empty table made in its place would hide it.
void prepareTables(store::Database& db, StartupResult& result)
{
    const QString path = result.databasePath;
    const bool readOnly = db.isReadOnly();
    if (readOnly)
        result.notices.append({readOnlyStoreMessage(path), ui::applicationTitle(), ui::Icon::Warning});
    const QStringList missing = store::missingMainTables(db);
    if (missing.size() == store::mainTableNames().size() && !readOnly) {
        store::createMainSchema(db);
    } else if (!missing.isEmpty()) {
        QStringList problems;
        for (const QString& table : missing)
            problems.append(QStringLiteral("the table \"%1\" is missing").arg(table));
        result.notices.append({damagedStoreMessage(path, problems), ui::applicationTitle(), ui::Icon::Critical});
    } else if (!readOnly) {
        // Every table is there: only indexes can be missing.
        store::createMainSchema(db);
    }
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
    const IniText settings = readIniText(ini);
    // A settings file that is not a file at all holds no settings: the start
    // goes on without it. One that cannot be read, or a link to one on a
    // drive that is not attached, may name a store elsewhere, so none is
    // taken for granted: the user locates it.
    if (settings.unusable())
        prompt.warn(settingsFileMessage(ini, settings));
    const bool settingsUnknown = settings.unusable() && settings.problem != store::FileProblem::NotRegular;
    const QString pathSetting = iniValue(settings, kSection, QStringLiteral("Path"), QString());
    result.databasePath = pathSetting.isEmpty() ? defaultPath : pathSetting;
    result.optionPath = iniValue(settings, kSection, QStringLiteral("sottpath"), defaultOptionPath);

    // Only a store that is not there at all makes a first start; a link to
    // one on a drive that is not attached is a missing store.
    const QFileInfo storeInfo(result.databasePath);
    const bool storeExists = storeInfo.exists();
    const bool firstStart = !settingsUnknown && pathSetting.isEmpty() && !storeExists && !storeInfo.isSymLink();
    if (!firstStart && (settingsUnknown || !storeExists)) {
        prompt.show({QStringLiteral("The Database File Is Missing Please Locate It"), ui::applicationTitle(),
                     ui::Icon::Information, ui::Buttons::Ok});
        const QString chosen =
            prompt.openFile({QString(), folder, QStringLiteral("Databases (*.db);;All files (*)")});
        if (chosen.isEmpty()) {
            result.status = StartupResult::Status::Cancelled;
            return result;
        }
        if (QString why; !writeIni(ini, kSection, QStringLiteral("Path"), chosen, &why))
            prompt.warn(locationNotSavedMessage(ini, why));
        result.databasePath = chosen;
    }

    // An empty file is a store that lost everything it held, not a new one:
    // the user hears of it before its tables are made. One that cannot be
    // written cannot get them, and the start ends there.
    if (const QFileInfo storeFile(result.databasePath); storeFile.isFile() && storeFile.size() == 0) {
        if (!store::Database::isWritable(result.databasePath)) {
            result.error = emptyReadOnlyStoreMessage(result.databasePath);
            return result;
        }
        prompt.warn(emptyStoreMessage(result.databasePath));
    }

    try {
        if (firstStart) {
            db.open(result.databasePath);
            if (result.optionPath == defaultOptionPath)
                createOptionsStoreIfMissing(result.optionPath);
        } else {
            db.openExisting(result.databasePath);
        }
        prepareTables(db, result);
        result.status = StartupResult::Status::Opened;
    } catch (const store::StoreError& error) {
        db.close();
        result.status = StartupResult::Status::Failed;
        result.error = error.message();
    }
    return result;
}

QString settingsFileMessage(const QString& path, const IniText& settings)
{
    const QString what = QStringLiteral("The settings file \"%1\" cannot be read: %2.")
                             .arg(store::shownPath(path), settings.error);
    if (settings.problem == store::FileProblem::NotRegular)
        return what + QStringLiteral("\n\nThe program starts with its default settings.");
    return what + QStringLiteral("\n\nIt may name the database to open: nothing is opened or created until you "
                                 "locate the database.");
}

QString locationNotSavedMessage(const QString& iniPath, const QString& why)
{
    return QStringLiteral("The location of the database could not be saved in the settings file \"%1\": %2.\n\n"
                          "The database you chose is used for this start only: the next start asks for it again.")
        .arg(store::shownPath(iniPath), why);
}

namespace {
QString emptyStoreText(const QString& path)
{
    return QStringLiteral("The database \"%1\" is an empty file (0 bytes): it holds no tables and no data.")
        .arg(store::shownPath(path));
}
}  // namespace

QString emptyStoreMessage(const QString& path)
{
    return emptyStoreText(path) + QStringLiteral("\n\nIf it held your data, restore it from a backup. Otherwise it "
                                                 "becomes a new database: its tables are made now.");
}

QString emptyReadOnlyStoreMessage(const QString& path)
{
    return emptyStoreText(path) +
           QStringLiteral(" It is read-only too (the file or its folder cannot be written), so its tables cannot be "
                          "made, and the program cannot start on it.\n\nIf it held your data, restore it from a "
                          "backup. Otherwise make the file and its folder writable: the next start makes its tables.");
}

QString damagedStoreMessage(const QString& path, const QStringList& problems)
{
    constexpr int kShown = 5;
    QStringList shown = problems.mid(0, kShown);
    if (problems.size() > kShown)
        shown.append(QStringLiteral("... and %1 more").arg(problems.size() - kShown));
    return QStringLiteral("The database \"%1\" is damaged. Its check found:\n%2\n\nQuery results and imports may be "
                          "wrong or fail until the file is restored from a backup.")
        .arg(store::shownPath(path), shown.join(QLatin1Char('\n')));
}

QString readOnlyStoreMessage(const QString& path)
{
    return QStringLiteral("The database \"%1\" is read-only: the file or its folder cannot be written.\n\nQueries, "
                          "imports, deletions and changes to masters and portfolios will fail until it can be "
                          "written.")
        .arg(store::shownPath(path));
}

StoreCheck::StoreCheck(const QString& path, ui::Prompt& prompt)
{
    connect(this, &StoreCheck::finished, this, [path, &prompt](const QStringList& problems) {
        if (!problems.isEmpty())
            prompt.critical(damagedStoreMessage(path, problems));
    });
    m_thread = QThread::create([this, path] {
        const QStringList problems = store::quickCheck(path, &m_stop);
        // Queued to the thread that made the check (this object's thread)
        // and told there once control is back in that thread's event loop:
        // whoever connects right after making the check hears of it even
        // when the store is checked at once.
        if (!m_stop)
            QMetaObject::invokeMethod(this, [this, problems] { emit finished(problems); }, Qt::QueuedConnection);
    });
    m_thread->start();
}

StoreCheck::~StoreCheck()
{
    m_stop = true;
    m_thread->wait();
    delete m_thread;
}

}  // namespace shell
