// Speed of the combined delivery file import on generated data (the files are
// made once with tarvenix-gen and kept in the cache folder):
//   - decoding alone, and one day into an empty store;
//   - a year of daily files through the folder batch into a new store (the
//     store ends with all its indexes), and the next two days after it;
//   - 40 of the following days, then the following year, through the batch
//     into that store (a batch much smaller than the store keeps its indexes
//     and saves every second; a bigger one makes the (scrip, day) index afresh);
//   - with --plain, the year file by file through the plain import as well.
//   - with --kill-test K, K batches of the year into a new store and K batches
//     of 100 days into a store holding two years, each killed (SIGKILL) at a
//     random moment; then the store must hold whole days only, with both
//     indexes and a sound integrity check.
//
//   import_bench [--scrips N] [--days D] [--runs R] [--cache DIR] [--plain] [--kill-test K]
//
// BENCH_PRAGMAS="PRAGMA ...;" runs extra settings on each store after it is made.
#include "benchstore.h"
#include "import/batchimport.h"
#include "import/deliverydownload.h"
#include "import/deliveryimporter.h"
#include "store/database.h"
#include "store/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>

namespace {

struct Store {
    explicit Store(const QString& path, int scrips)
    {
        for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(path + suffix);
        db.open(path);
        store::createMainSchema(db);
        if (qEnvironmentVariableIsSet("BENCH_PRAGMAS"))
            db.execScript(qEnvironmentVariable("BENCH_PRAGMAS"));
        marketgen::MarketGenerator(benchstore::generatorOptions(scrips)).writeScripMaster(db);
    }
    store::Database db;
};

double seconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

qint64 storedRows(store::Database& db)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM mto")).toLongLong();
}

double storeMegabytes(store::Database& db)
{
    return static_cast<double>(QFileInfo(db.path()).size() + QFileInfo(db.path() + QStringLiteral("-wal")).size()) /
           1e6;
}

// Imports every NB file of `folder` through the batch; returns its seconds,
// or -1 when a file was refused.
double batch(store::Database& db, const QString& folder)
{
    QElapsedTimer timer;
    timer.start();
    const auto outcomes = import::importBatch(db, folder, import::batchFileNames(folder));
    const double s = seconds(timer);
    for (const auto& file : outcomes) {
        if (!file.outcome.imported()) {
            std::fprintf(stderr, "%s refused: %s\n", qPrintable(file.fileName), qPrintable(file.outcome.message));
            return -1;
        }
    }
    return s;
}

double plainImport(store::Database& db, const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    const auto outcome = import::DeliveryImporter(db).importFile(path);
    if (!outcome.imported()) {
        std::fprintf(stderr, "%s refused: %s\n", qPrintable(path), qPrintable(outcome.message));
        return -1;
    }
    return seconds(timer);
}

QString median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return QStringLiteral("min %1 s, median %2 s (%3 runs)")
        .arg(values.first(), 0, 'f', 3)
        .arg(values.at(values.size() / 2), 0, 'f', 3)
        .arg(values.size());
}

// The kill test: a child process runs the batch into `path`; it is killed
// at a random moment; the store must then hold whole days only.
bool killTest(const QString& self, const QString& path, const QString& folder, int scrips, int rounds, double runSeconds)
{
    bool whole = true;
    static QRandomGenerator random(20240607);
    for (int round = 0; round < rounds; ++round) {
        QProcess child;
        child.start(self, {QStringLiteral("--batch-into"), path, folder});
        if (!child.waitForStarted())
            return false;
        const int delayMs = static_cast<int>(random.bounded(runSeconds * 1000.0));
        QThread::msleep(static_cast<unsigned long>(delayMs));
        ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
        child.waitForFinished(-1);

        store::Database db;
        db.openExisting(path);
        const store::Rows days =
            db.query(QStringLiteral("SELECT TransDate, count(*) FROM mto GROUP BY TransDate ORDER BY TransDate"));
        qint64 partial = 0;
        for (const auto& day : days.rows)
            partial += day[1].toLongLong() == scrips ? 0 : 1;
        const QString integrity = db.scalar(QStringLiteral("PRAGMA integrity_check")).toString();
        const qint64 indexes = db.scalar(QStringLiteral(
            "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name IN ('mto_day_scrip', 'mto_scrip_day')"))
                                   .toLongLong();
        const bool ok = partial == 0 && integrity == QLatin1String("ok") && indexes == 2;
        whole = whole && ok;
        std::printf("  kill after %5d ms: %3lld whole days stored, %lld partial days, integrity %s, %lld of 2 "
                    "indexes: %s\n",
                    delayMs, static_cast<long long>(days.size()), static_cast<long long>(partial),
                    qPrintable(integrity), static_cast<long long>(indexes), ok ? "ok" : "FAULT");
    }
    return whole;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 4 && arguments[1] == QLatin1String("--batch-into")) {
        // The child of the kill test.
        store::Database db;
        db.openExisting(arguments[2]);
        return batch(db, arguments[3]) < 0 ? 1 : 0;
    }

    int scrips = 5000, dayCount = 250, runs = 3, killRounds = 0;
    bool plain = false;
    QString cache = qEnvironmentVariable("TARVENIX_BENCH_CACHE", QStringLiteral("/work/bench-cache"));
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const QString next = i + 1 < arguments.size() ? arguments[i + 1] : QString();
        if (a == QLatin1String("--scrips"))
            scrips = std::max(1, next.toInt()), ++i;
        else if (a == QLatin1String("--days"))
            dayCount = std::clamp(next.toInt(), 1, 260), ++i;  // one year: file names repeat after it
        else if (a == QLatin1String("--runs"))
            runs = std::max(1, next.toInt()), ++i;
        else if (a == QLatin1String("--cache"))
            cache = next, ++i;
        else if (a == QLatin1String("--kill-test"))
            killRounds = std::max(1, next.toInt()), ++i;
        else if (a == QLatin1String("--plain"))
            plain = true;
    }

    const QString generator = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../tarvenix-gen"));
    const QString year = benchstore::ensureDeliveryFiles(cache, generator, scrips, dayCount, {});
    QStringList paths;
    qint64 bytes = 0;
    for (const QString& name : import::batchFileNames(year)) {
        paths.append(QDir(year).filePath(name));
        bytes += QFileInfo(paths.last()).size();
    }
    const QDate lastDay = *import::deliveryHeaderDay(QDir(year).filePath(import::batchFileNames(year).last()));
    QDate newest = lastDay;
    for (const QString& path : paths)
        newest = std::max(newest, *import::deliveryHeaderDay(path));
    const QString after = benchstore::ensureDeliveryFiles(cache, generator, scrips, 100, newest.addDays(1));
    QDate newestAfter = newest;
    for (const QString& name : import::batchFileNames(after))
        newestAfter = std::max(newestAfter, *import::deliveryHeaderDay(QDir(after).filePath(name)));
    const QString nextYear = benchstore::ensureDeliveryFiles(cache, generator, scrips, dayCount, newestAfter.addDays(1));

    const qint64 totalRows = qint64(scrips) * dayCount;
    std::printf("data: %d scrips x %d trading days = %lld rows, %lld files, %.1f MB (%.0f KB per file)\n", scrips,
                dayCount, static_cast<long long>(totalRows), static_cast<long long>(paths.size()), bytes / 1e6,
                bytes / 1e3 / dayCount);

    QTemporaryDir work(QDir(cache).filePath(QStringLiteral("import-bench-XXXXXX")));

    // Decoding alone, on one thread: read, decode and split every line.
    {
        QElapsedTimer timer;
        timer.start();
        qint64 lines = 0;
        for (const QString& path : paths)
            lines += static_cast<qint64>(import::DecodedDeliveryFile::decode(path).rows().size());
        const double s = seconds(timer);
        std::printf("decode only, one thread:  %lld rows in %.3f s = %.0f rows/s, %.0f MB/s\n",
                    static_cast<long long>(lines), s, lines / s, bytes / 1e6 / s);
    }

    // One day into an empty store, best of five.
    {
        QList<double> times;
        for (int run = 0; run < 5; ++run) {
            Store store(work.filePath(QStringLiteral("one.db")), scrips);
            times.append(plainImport(store.db, paths.first()));
        }
        std::printf("one day into an empty store (%d rows): %s\n", scrips, qPrintable(median(times)));
    }

    // The year through the folder batch, into a new store each run; the
    // last run's store then takes the next days.
    const QString grown = work.filePath(QStringLiteral("batch.db"));
    QList<double> times;
    for (int run = 0; run < runs; ++run) {
        Store store(grown, scrips);
        times.append(batch(store.db, year));
    }
    {
        store::Database db;
        db.openExisting(grown);
        std::printf("year batch, %lld files into a new store: %lld rows, %s; store %.1f MB; target <= 5 s\n",
                    static_cast<long long>(paths.size()), static_cast<long long>(storedRows(db)),
                    qPrintable(median(times)), storeMegabytes(db));
        const QStringList nextNames = import::batchFileNames(after);
        const double first = plainImport(db, QDir(after).filePath(nextNames[0]));
        const double second = plainImport(db, QDir(after).filePath(nextNames[1]));
        std::printf("the next day after the batch (Process button): %.3f s, the day after: %.3f s\n", first, second);

        // 40 of the following days, then a further year, through the batch.
        const QStringList rest = nextNames.mid(2, 40);
        const QString restFolder = work.filePath(QStringLiteral("forty"));
        QDir().mkpath(restFolder);
        for (const QString& name : rest)
            QFile::copy(QDir(after).filePath(name), QDir(restFolder).filePath(name));
        auto mode = [](qint64 adding, qint64 stored) {
            return import::MtoBatch::makesIndexesAfresh(adding, stored) ? "index made afresh"
                                                                        : "indexes kept, saved every second";
        };
        qint64 before = storedRows(db);
        const double forty = batch(db, restFolder);
        std::printf("%lld more days through the batch into the %lld-row store (%s): %.3f s\n",
                    static_cast<long long>(rest.size()), static_cast<long long>(before),
                    mode(scrips * rest.size(), before), forty);
        before = storedRows(db);
        const double further = batch(db, nextYear);
        std::printf("a further year (%lld files) through the batch into the %lld-row store (%s): %.3f s; store "
                    "%.1f MB\n",
                    static_cast<long long>(import::batchFileNames(nextYear).size()), static_cast<long long>(before),
                    mode(totalRows, before), further, storeMegabytes(db));
    }

    if (plain) {
        Store store(work.filePath(QStringLiteral("plain.db")), scrips);
        QElapsedTimer timer;
        timer.start();
        for (const QString& path : paths)
            if (plainImport(store.db, path) < 0)
                return 1;
        std::printf("year file by file (plain import, a transaction per file): %.3f s\n", seconds(timer));
    }

    if (killRounds > 0) {
        const double runSeconds = *std::max_element(times.begin(), times.end()) + 1.0;
        const QString self = QCoreApplication::applicationFilePath();
        std::printf("kill test, the year into a new store (one transaction, index made afresh):\n");
        bool whole = true;
        for (int round = 0; round < killRounds; ++round) {
            { Store store(work.filePath(QStringLiteral("kill.db")), scrips); }
            whole = killTest(self, work.filePath(QStringLiteral("kill.db")), year, scrips, 1, runSeconds) && whole;
        }
        std::printf("kill test, 100 days into a store holding two years (saved every second):\n");
        const QString base = work.filePath(QStringLiteral("years.db"));
        {
            Store store(base, scrips);
            batch(store.db, year);
            batch(store.db, nextYear);
        }
        const QString days = after;
        const QString kill = work.filePath(QStringLiteral("kill.db"));
        auto fromBase = [&] {
            QFile::remove(kill);
            QFile::copy(base, kill);
        };
        fromBase();
        double unkilled = 0;
        {
            store::Database db;
            db.openExisting(kill);
            unkilled = batch(db, days);
        }
        std::printf("  (unkilled: %.3f s)\n", unkilled);
        for (int round = 0; round < killRounds; ++round) {
            fromBase();
            whole = killTest(self, kill, days, scrips, 1, unkilled + 0.3) && whole;
        }
        std::printf("kill test: %s\n", whole ? "whole days only, every time" : "FAULT");
        if (!whole)
            return 1;
    }
    return 0;
}

