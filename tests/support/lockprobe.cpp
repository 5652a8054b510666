#include "support/lockprobe.h"

#include <QCoreApplication>
#include <QProcess>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>

namespace {

// Started with TARVENIX_LOCK_PROBE naming a store, the program is the other
// process: it tries the write with SQLite's ordinary locking, prints the
// result code and ends before any test runs.
const bool g_probe = [] {
    const QByteArray path = qgetenv("TARVENIX_LOCK_PROBE");
    if (path.isEmpty())
        return false;
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "INSERT INTO GroupMaster VALUES ('PROBE', 'probe')", nullptr, nullptr, nullptr);
    std::printf("%d\n", rc);
    std::fflush(stdout);
    std::_Exit(0);
}();

}  // namespace

int writeFromAnotherProcess(const QString& path)
{
    QProcess probe;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TARVENIX_LOCK_PROBE"), path);
    probe.setProcessEnvironment(environment);
    probe.start(QCoreApplication::applicationFilePath(), {});
    if (!probe.waitForFinished(30000))
        return -1;
    return probe.readAllStandardOutput().trimmed().toInt();
}
