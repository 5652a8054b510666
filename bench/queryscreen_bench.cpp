// Times the opening of the query screen (offscreen) on a store made by
// query_bench: 5,000 scrips x 2,500 trading days (12.5 million mto rows),
// its groups and memberships. The screen reads every scrip, every trading
// date and the first group's scrips while it opens.
//
//   queryscreen_bench --store PATH
//
// PATH is opened like the application opens its store; point it at a copy
// of query_bench's store when that one must stay untouched.

#include "query/queryscreen.h"
#include "query/tradingcalendar.h"
#include "benchscreens.h"
#include "store/database.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRepeats = 5;

struct Timing {
    double first = 0;
    double fastest = 1e9;
    double median = 0;
};

Timing time(const std::function<void()>& work)
{
    std::vector<double> runs;
    for (int i = 0; i < kRepeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        runs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    Timing timing;
    timing.first = runs.front();
    std::sort(runs.begin(), runs.end());
    timing.fastest = runs.front();
    timing.median = runs.at(runs.size() / 2);
    return timing;
}

void report(const char* what, const Timing& timing)
{
    std::printf("%-44s first %8.1f ms   fastest %8.1f ms   median %8.1f ms\n", what, timing.first, timing.fastest,
                timing.median);
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString path;
    const QStringList arguments = app.arguments();
    const qsizetype at = arguments.indexOf(QStringLiteral("--store"));
    if (at >= 0 && at + 1 < arguments.size())
        path = arguments.at(at + 1);
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        std::fprintf(stderr, "usage: queryscreen_bench --store PATH (a store made by query_bench)\n");
        return 2;
    }

    store::Database db;
    db.openExisting(path);
    benchscreens::BenchServices services(db);
    const qint64 rows = db.scalar(QStringLiteral("SELECT count(*) FROM mto")).toLongLong();
    const qint64 scrips = db.scalar(QStringLiteral("SELECT count(*) FROM ScripMaster")).toLongLong();
    std::printf("store %s: %lld mto rows, %lld scrips\n", qPrintable(path), static_cast<long long>(rows),
                static_cast<long long>(scrips));

    qsizetype dates = 0;
    report("trading dates from the index", time([&] { dates = query::loadTradingDates(db).size(); }));
    std::printf("  %lld trading dates\n", static_cast<long long>(dates));
    report("query screen opened (lists loaded)", time([&] {
               query::QueryScreen screen(services);
               screen.setAttribute(Qt::WA_DeleteOnClose, false);
           }));
    report("query screen opened and shown", time([&] {
               query::QueryScreen screen(services);
               screen.setAttribute(Qt::WA_DeleteOnClose, false);
               screen.show();
               QCoreApplication::processEvents();
           }));
    return 0;
}
