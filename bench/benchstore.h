#pragma once

// Cached data for the benchmarks: a store of N scrips x D trading days and
// folders of delivery files, each made once with tarvenix-gen (its default
// seed) under a cache folder and reused by every later run. Several programs
// may ask for the same data at once: each maker holds a lock file while it
// works and writes under a temporary name that it renames when done, so a
// cached name always holds whole data.

#include "marketgenerator.h"
#include "store/database.h"
#include "store/datetext.h"
#include "store/transaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <unistd.h>

namespace benchstore {

// tarvenix-gen's defaults: the same scrips for the same count.
inline marketgen::GeneratorOptions generatorOptions(int scrips)
{
    marketgen::GeneratorOptions options;
    options.scripCount = scrips;
    return options;
}

// The high-water mark of this process's resident memory, in KiB.
inline qint64 peakKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

// Holds an exclusive lock on `path` while it lives.
class FileLock {
public:
    explicit FileLock(const QString& path)
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
        if (m_fd < 0 || ::flock(m_fd, LOCK_EX) != 0)
            throw std::runtime_error("cannot lock " + path.toStdString());
    }
    ~FileLock()
    {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int m_fd = -1;
};

inline void runGenerator(const QString& generator, const QStringList& arguments)
{
    std::fprintf(stderr, "  %s %s\n", qPrintable(generator), qPrintable(arguments.join(QLatin1Char(' '))));
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(generator, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw std::runtime_error("tarvenix-gen failed: " + process.errorString().toStdString());
}

// The groups the group-wise screens need: all stocks, a derivative group and
// ten sectors (srno % 10), added once to a store that has none.
inline void ensureGroups(const QString& path)
{
    store::Database db;
    db.openExisting(path);
    if (db.scalar(QStringLiteral("SELECT count(*) FROM GroupMaster")).toLongLong() > 0)
        return;
    std::fprintf(stderr, "  adding the scrip groups to %s\n", qPrintable(path));
    store::Transaction transaction(db);
    db.execScript(QStringLiteral(
        "INSERT INTO GroupMaster VALUES ('ALL', ' All Stocks'), ('Derivative', 'Derivatives F & O');"
        "INSERT INTO LinkDetails SELECT 'ALL', srno FROM ScripMaster;"
        "INSERT INTO LinkDetails SELECT 'Derivative', srno FROM ScripMaster WHERE srno % 25 = 1;"));
    for (int sector = 1; sector <= 10; ++sector) {
        const QString code = QStringLiteral("SEC%1").arg(sector, 2, 10, QLatin1Char('0'));
        db.exec(QStringLiteral("INSERT INTO GroupMaster VALUES (?, ?)"), {code, QStringLiteral("Sector %1").arg(sector)});
        db.exec(QStringLiteral("INSERT INTO LinkDetails SELECT ?, srno FROM ScripMaster WHERE srno % 10 = ?"),
                {code, sector % 10});
    }
    transaction.commit();
}

// The store of `scrips` x `days` at `path` (made if missing, with the
// options database option.db beside it), with its groups.
inline QString ensureStoreAt(const QString& path, const QString& generator, int scrips, int days)
{
    const QFileInfo info(path);
    QDir().mkpath(info.path());
    FileLock lock(info.dir().filePath(QLatin1Char('.') + info.fileName() + QStringLiteral(".lock")));
    if (!QFileInfo::exists(path)) {
        std::fprintf(stderr, "Making %s (%d scrips x %d trading days), once...\n", qPrintable(path), scrips, days);
        const QString temporary = path + QStringLiteral(".tmp-%1").arg(QCoreApplication::applicationPid());
        for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(temporary + suffix);
        runGenerator(generator, {QStringLiteral("--scrips"), QString::number(scrips), QStringLiteral("--days"),
                                 QString::number(days), QStringLiteral("--store"), temporary, QStringLiteral("--fill")});
        ensureGroups(temporary);  // closes the store: its log is copied in and removed
        if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0)
            throw std::runtime_error("cannot rename " + temporary.toStdString());
    }
    ensureGroups(path);
    return path;
}

// The cached store of `scrips` x `days` (made if missing), with its groups.
inline QString ensureStore(const QString& cache, const QString& generator, int scrips, int days)
{
    return ensureStoreAt(QDir(cache).filePath(QStringLiteral("store-%1x%2.db").arg(scrips).arg(days)), generator,
                         scrips, days);
}

// A cached folder holding the delivery files of `days` trading days of
// `scrips` scrips from `from` (tarvenix-gen's first day when null), all in
// one folder (at most a year of days, since the names carry no year).
inline QString ensureDeliveryFiles(const QString& cache, const QString& generator, int scrips, int days,
                                   const QDate& from)
{
    QDir().mkpath(cache);
    QString name = QStringLiteral("files-%1x%2").arg(scrips).arg(days);
    if (from.isValid())
        name += QStringLiteral("-from-") + datetext::toStorage(from);
    const QString path = QDir(cache).filePath(name);
    FileLock lock(QDir(cache).filePath(QLatin1Char('.') + name + QStringLiteral(".lock")));
    if (!QFileInfo::exists(path)) {
        const QString temporary = path + QStringLiteral(".tmp-%1").arg(QCoreApplication::applicationPid());
        QDir(temporary).removeRecursively();
        QStringList arguments{QStringLiteral("--scrips"), QString::number(scrips), QStringLiteral("--days"),
                              QString::number(days), QStringLiteral("--files"), temporary};
        if (from.isValid())
            arguments += {QStringLiteral("--from"), datetext::toStorage(from)};
        runGenerator(generator, arguments);
        // The generator puts each calendar year's files in a folder of its
        // own; a span shorter than a year has no name twice, so they can lie
        // together as the batch folder wants them.
        const QDir folder(temporary);
        for (const QString& yearFolder : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QDir inner(folder.filePath(yearFolder));
            for (const QString& file : inner.entryList(QDir::Files))
                if (!QFile::rename(inner.filePath(file), folder.filePath(file)))
                    throw std::runtime_error("two files named " + file.toStdString() + ": more than a year of days");
            folder.rmdir(yearFolder);
        }
        if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0)
            throw std::runtime_error("cannot rename " + temporary.toStdString());
    }
    // Folders cached by an earlier version of this code keep one year's folder.
    const QStringList years = QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    if (QDir(path).entryList(QDir::Files).isEmpty() && years.size() == 1)
        return QDir(path).filePath(years.first());
    return path;
}

}  // namespace benchstore
