#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>

class QThread;

#include "shell/inifile.h"
#include "ui/prompt.h"

namespace store {
class Database;
}

namespace shell {

// The data folder: $TARVENIX_HOME when set, otherwise the platform's
// application-data folder. Created when missing.
QString dataFolder();

struct StartupResult {
    enum class Status {
        Opened,     // the main database is open
        Cancelled,  // the user gave up locating a missing database
        Failed      // the database could not be opened; `error` says why
    };
    Status status = Status::Failed;
    QString databasePath;
    QString optionPath;
    QString error;
    // What the user is told once the main window shows (Opened only): a
    // store that can only be read, tables missing from an existing store.
    QList<ui::Message> notices;
};

// Reads the settings of `folder`, finds the main database and opens `db` on it:
//  - no "Path" setting and no default database file: this is the first start,
//    and the default database (and options database) are created with every
//    table;
//  - a "Path" that names a missing file: the user is asked to locate it and
//    the chosen path is written to "Path"; cancelling gives up;
//  - a settings file that is not a regular file is refused with a message,
//    and the start goes on as without one; one that cannot be read, or a
//    link to one that is not there, is told too, and the user locates the
//    database as when "Path" names a missing file; a location that cannot be
//    saved in the settings file is told;
//  - any other database is opened as it is. An empty file (0 bytes) is told
//    before its tables are made; one that cannot be written fails the start.
//    A database without any of the tables is new and gets them all; one that
//    lacks only some is damaged: a notice names them, and nothing is created
//    in it. A database that can only be read gets a notice too.
StartupResult openMainStore(const QString& folder, store::Database& db, ui::Prompt& prompt);

// What the user is told about the settings file at `path` that `settings`
// could not be read from.
QString settingsFileMessage(const QString& path, const IniText& settings);
// What the user is told when the located database could not be saved in the
// settings file at `iniPath`, and `why`.
QString locationNotSavedMessage(const QString& iniPath, const QString& why);
// What the user is told about a store at `path` that is an empty file.
QString emptyStoreMessage(const QString& path);
// ... and about one that is also read-only.
QString emptyReadOnlyStoreMessage(const QString& path);

// What the user is told about a damaged store at `path`.
QString damagedStoreMessage(const QString& path, const QStringList& problems);
// What the user is told about a store at `path` that can only be read.
QString readOnlyStoreMessage(const QString& path);

// Checks the store at `path` for damage on a thread of its own, since a large
// store takes a while, and tells the user through `prompt` when it is
// damaged. Destroying the check stops it.
class StoreCheck : public QObject {
    Q_OBJECT
public:
    StoreCheck(const QString& path, ui::Prompt& prompt);
    ~StoreCheck() override;

signals:
    // The check is over; `problems` is empty for a sound store.
    void finished(const QStringList& problems);

private:
    std::atomic_bool m_stop{false};
    QThread* m_thread = nullptr;
};

}  // namespace shell
