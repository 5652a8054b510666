// Throughput of the bhavcopy import with the one-day EMA update, on generated
// data: a year of daily bhavcopies (default 250 trading days of 2,500 scrips,
// 5% of them also in series "BE") imported one after the other into one
// growing store, each followed by the EMA update of a derivative group of
// 200 symbols. Import and update are timed apart; making the files is not.
// Run by hand: bhavcopy_bench [scrips] [days] [group size].
// BENCH_SQL="CREATE INDEX ...;" runs extra statements on the store after it
// is made, to compare the store's settings or indexes.
#include "bhavcopywriter.h"
#include "import/bhavcopyimporter.h"
#include "import/emaupdate.h"
#include "marketgenerator.h"
#include "store/database.h"
#include "store/schema.h"
#include "store/transaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

double seconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

struct Timing {
    double total = 0;
    double slowest = 0;
    double first = 0;
    double last = 0;

    void add(double s, bool isFirst)
    {
        total += s;
        slowest = std::max(slowest, s);
        if (isFirst)
            first = s;
        last = s;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int scripCount = argc > 1 ? std::max(1, atoi(argv[1])) : 2500;
    const int dayCount = argc > 2 ? std::max(2, atoi(argv[2])) : 250;
    const int groupSize = argc > 3 ? std::clamp(atoi(argv[3]), 0, scripCount) : std::min(200, scripCount);

    QTemporaryDir work;
    const QString files = work.filePath(QStringLiteral("files"));
    QDir().mkpath(files);

    marketgen::GeneratorOptions options;
    options.seed = 2024;
    options.scripCount = scripCount;
    marketgen::MarketGenerator generator(options);
    marketgen::BhavcopyWriter writer(generator);
    QStringList paths;
    qint64 bytes = 0, lines = 0;
    for (int d = 0; d < dayCount; ++d) {
        const marketgen::MarketDay day = generator.nextDay();
        const auto rows = writer.rows(day);
        lines += rows.size();
        paths.append(marketgen::BhavcopyWriter::writeFile(files, day.day, rows));
        bytes += QFileInfo(paths.last()).size();
    }
    std::printf("data: %d scrips x %d trading days = %lld bhavcopy rows, %.1f MB of files (%.0f KB per file); "
                "derivative group of %d symbols\n",
                scripCount, dayCount, static_cast<long long>(lines), bytes / 1e6, bytes / 1e3 / dayCount, groupSize);

    const QString storePath = work.filePath(QStringLiteral("bhav.db"));
    store::Database db;
    db.open(storePath);
    store::createMainSchema(db);
    generator.writeScripMaster(db);
    {
        store::Transaction transaction(db);
        db.exec(QStringLiteral("INSERT INTO GroupMaster (GroupCode, GroupName) VALUES ('Derivative', 'Derivatives')"));
        for (int i = 1; i <= groupSize; ++i)
            db.exec(QStringLiteral("INSERT INTO LinkDetails (GrpCode, ScrCode) VALUES ('Derivative', ?)"), {i});
        transaction.commit();
    }
    if (qEnvironmentVariableIsSet("BENCH_SQL"))
        db.execScript(qEnvironmentVariable("BENCH_SQL"));

    import::BhavcopyImporter importer(db);
    Timing importing, updating;
    int seeded = 0;
    for (int d = 0; d < paths.size(); ++d) {
        QElapsedTimer timer;
        timer.start();
        const auto outcome = importer.importFile(paths[d]);
        if (!outcome.imported()) {
            std::fprintf(stderr, "import of %s refused: %s\n", qPrintable(paths[d]), qPrintable(outcome.message));
            return 1;
        }
        importing.add(seconds(timer), d == 0);
        timer.restart();
        const auto update = import::updateLatestDayEma(db);
        updating.add(seconds(timer), d == 0);
        seeded += update.symbolsSeeded > 0 ? 1 : 0;
    }
    const qint64 stored = db.scalar(QStringLiteral("SELECT count(*) FROM allbhavcopy")).toLongLong();
    const qint64 averaged = db.scalar(QStringLiteral("SELECT count(EMA34days) FROM allbhavcopy")).toLongLong();
    const double total = importing.total + updating.total;
    std::printf("import:     %lld rows in %.2f s = %.0f rows/s; per day mean %.1f ms, first %.1f ms, last %.1f ms, "
                "slowest %.1f ms\n",
                static_cast<long long>(stored), importing.total, stored / importing.total,
                importing.total * 1000 / dayCount, importing.first * 1000, importing.last * 1000,
                importing.slowest * 1000);
    std::printf("EMA update: %.2f s; per day mean %.1f ms, last %.1f ms, slowest %.1f ms (%d days seeded the series, "
                "%lld rows hold a 34-day value)\n",
                updating.total, updating.total * 1000 / dayCount, updating.last * 1000, updating.slowest * 1000, seeded,
                static_cast<long long>(averaged));
    std::printf("year:       %.2f s in all, %.1f ms per trading day; store %.1f MB\n", total, total * 1000 / dayCount,
                (QFileInfo(storePath).size() + QFileInfo(storePath + QStringLiteral("-wal")).size()) / 1e6);
    return 0;
}
