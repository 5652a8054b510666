// Throughput of the combined delivery file import on generated data: one day
// of 5,000 scrips into an empty store, and 250 such days in a row into a store
// that grows to 1.25 million rows. Decoding, checks and writing are all timed;
// making the files is not. Run by hand: import_bench [scrips] [days].
// BENCH_PRAGMAS="PRAGMA ...;" runs extra settings on each store after it is
// made, to compare the store's settings (synchronous, cache_size, ...).
#include "import/deliverycodec.h"
#include "import/deliveryfile.h"
#include "import/deliveryimporter.h"
#include "marketgenerator.h"
#include "store/database.h"
#include "store/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <string>

namespace {

struct Store {
    explicit Store(const QString& path)
    {
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        db.open(path);
        store::createMainSchema(db);
        if (qEnvironmentVariableIsSet("BENCH_PRAGMAS"))
            db.execScript(qEnvironmentVariable("BENCH_PRAGMAS"));
    }
    store::Database db;
};

double seconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

bool importOrReport(import::DeliveryImporter& importer, const QString& path)
{
    const auto outcome = importer.importFile(path);
    if (!outcome.imported())
        std::fprintf(stderr, "import of %s refused: %s\n", qPrintable(path), qPrintable(outcome.message));
    return outcome.imported();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int scripCount = argc > 1 ? std::max(1, atoi(argv[1])) : 5000;
    const int dayCount = argc > 2 ? std::clamp(atoi(argv[2]), 1, 260) : 250;  // one year: file names repeat after it

    QTemporaryDir work;
    const QString files = work.filePath(QStringLiteral("files"));
    QDir().mkpath(files);

    marketgen::GeneratorOptions options;
    options.seed = 2024;
    options.scripCount = scripCount;
    marketgen::MarketGenerator generator(options);
    QStringList paths;
    qint64 bytes = 0;
    for (int d = 0; d < dayCount; ++d) {
        const QString path = generator.writeDeliveryFile(files, generator.nextDay());
        bytes += QFileInfo(path).size();
        paths.append(path);
    }
    const qint64 totalRows = qint64(scripCount) * dayCount;
    std::printf("data: %d scrips x %d trading days = %lld rows, %d files, %.1f MB (%.0f KB per file)\n", scripCount,
                dayCount, static_cast<long long>(totalRows), dayCount, bytes / 1e6, bytes / 1e3 / dayCount);

    // Decoding alone: read, decode and split every line of every file.
    {
        QElapsedTimer timer;
        timer.start();
        std::string text;
        import::MtoRow row;
        qint64 lines = 0;
        for (const QString& path : paths) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                return 1;
            const QByteArray content = file.readAll();
            for (const QByteArray& line : content.split('\n')) {
                const QByteArray trimmed = line.endsWith('\r') ? line.chopped(1) : line;
                if (trimmed.isEmpty() || !import::deliverycodec::decode(trimmed.constData(),
                                                                        trimmed.constData() + trimmed.size(), text))
                    continue;
                if (import::deliveryfile::parseDataLine(text, row))
                    ++lines;
            }
        }
        const double s = seconds(timer);
        std::printf("decode only:   %lld lines in %.3f s = %.0f rows/s, %.0f MB/s\n", static_cast<long long>(lines), s,
                    lines / s, bytes / 1e6 / s);
    }

    // One day into an empty store, best of five.
    {
        double best = 1e9;
        for (int run = 0; run < 5; ++run) {
            Store store(work.filePath(QStringLiteral("one.db")));
            generator.writeScripMaster(store.db);
            import::DeliveryImporter importer(store.db);
            QElapsedTimer timer;
            timer.start();
            if (!importOrReport(importer, paths.first()))
                return 1;
            best = std::min(best, seconds(timer));
        }
        std::printf("one day:       %d rows in %.4f s = %.0f rows/s (best of 5, empty store)\n", scripCount, best,
                    scripCount / best);
    }

    // Every day in a row into one growing store.
    {
        Store store(work.filePath(QStringLiteral("grow.db")));
        generator.writeScripMaster(store.db);
        import::DeliveryImporter importer(store.db);
        QElapsedTimer timer;
        timer.start();
        double slowest = 0, last = 0;
        for (const QString& path : paths) {
            QElapsedTimer day;
            day.start();
            if (!importOrReport(importer, path))
                return 1;
            last = seconds(day);
            slowest = std::max(slowest, last);
        }
        const double s = seconds(timer);
        const qint64 stored = store.db.scalar(QStringLiteral("SELECT count(*) FROM mto")).toLongLong();
        std::printf("%d days:      %lld rows in %.3f s = %.0f rows/s, %.1f MB/s of files; slowest day %.4f s, last day "
                    "%.4f s; store %.1f MB\n",
                    dayCount, static_cast<long long>(stored), s, stored / s, bytes / 1e6 / s, slowest, last,
                    (QFileInfo(store.db.path()).size() + QFileInfo(store.db.path() + QStringLiteral("-wal")).size()) /
                        1e6);
        std::printf("target:        %d days <= 5 s (>= 250,000 rows/s): %s\n", dayCount,
                    stored / s >= 250000 ? "met" : "MISSED");
    }
    return 0;
}
