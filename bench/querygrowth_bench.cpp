// How a query's time grows with the scrips: every label of the catalogue in
// NSE, BSE and "Combine" (where its group offers it), with the inputs the
// query screen gives it on the newest day, on two generated stores of the
// same trading days, one with four times the scrips of the other (2,500 and
// 10,000 scrips x 18 days by default). A query that reads each scrip's rows
// a fixed number of times takes about four times as long on the larger
// store; one that scans a table for every scrip of another takes sixteen.
//
// The runs of one label alternate between the two stores, so that whatever
// else the machine does slows both alike; each time is the median of
// --repeats runs, the result left in the store as the application leaves it.
// Growth is the ratio of the two medians; a growth above --limit (6) is
// marked GROWS, and the labels that grow most are listed at the end. A run
// under a few milliseconds on the larger store says little about growth:
// its ratio is shown in brackets and left out of the list.
//
// The stores come from tarvenix-gen (--fill) and are cached as
// <cache>/querygrowth-<scrips>x<days>/mto.db with their option.db.
//
//   querygrowth_bench [--scrips 2500,10000] [--days 18] [--repeats 3] [--limit 6]
//                     [--only TEXT] [--exchange nse|bse|combined|all] [--cache FOLDER]

#include "benchstore.h"
#include "querycases.h"

#include "query/queryengine.h"
#include "query/tradingcalendar.h"
#include "store/database.h"
#include "ui/prompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace querycases;

// Runs under this many seconds on the larger store are too short to tell growth from noise.
constexpr double kShortestMeasured = 0.005;

// One generated store and the engine that runs the queries on it.
struct Market {
    int scrips = 0;
    QString folder;
    store::Database db;
    std::unique_ptr<query::QueryEngine> engine;
    QList<QDate> dates;
};

double median(std::vector<double> seconds)
{
    std::sort(seconds.begin(), seconds.end());
    return seconds.at(seconds.size() / 2);
}

// The inputs of `c` on `market`: the same label, mode and window, with the
// market's own options database and data folder.
query::RunInputs inputsOn(const Market& market, const Case& c, query::Exchange exchange)
{
    query::RunInputs in = c.base;
    in.exchange = exchange;
    in.optionPath = QDir(market.folder).filePath(QStringLiteral("option.db"));
    in.dataFolder = market.folder;
    return in;
}

struct Growth {
    QString run;
    double smaller = 0, larger = 0, ratio = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QList<int> sizes{2500, 10000};
    int days = 18;
    int repeats = 3;
    double limit = 6;
    QString only;
    QString exchangeChoice = QStringLiteral("all");
    QString cache = qEnvironmentVariable("TARVENIX_BENCH_CACHE", QStringLiteral("/work/bench-cache"));
    const QStringList arguments = app.arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (a == QLatin1String("--scrips") && hasValue) {
            sizes.clear();
            for (const QString& size : arguments[++i].split(QLatin1Char(',')))
                sizes.append(size.toInt());
        } else if (a == QLatin1String("--days") && hasValue) {
            days = arguments[++i].toInt();
        } else if (a == QLatin1String("--repeats") && hasValue) {
            repeats = std::max(1, arguments[++i].toInt());
        } else if (a == QLatin1String("--limit") && hasValue) {
            limit = arguments[++i].toDouble();
        } else if (a == QLatin1String("--only") && hasValue) {
            only = arguments[++i];
        } else if (a == QLatin1String("--exchange") && hasValue) {
            exchangeChoice = arguments[++i].toLower();
        } else if (a == QLatin1String("--cache") && hasValue) {
            cache = arguments[++i];
        } else {
            std::fprintf(stderr, "usage: querygrowth_bench [--scrips 2500,10000] [--days 18] [--repeats 3] [--limit 6]"
                                 " [--only TEXT] [--exchange nse|bse|combined|all] [--cache FOLDER]\n");
            return 2;
        }
    }
    if (sizes.size() != 2 || sizes[0] <= 0 || sizes[1] <= sizes[0] || days < 2) {
        std::fprintf(stderr, "querygrowth_bench: --scrips takes two sizes, the smaller first, and --days at least 2\n");
        return 2;
    }

    const QString generator = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../tarvenix-gen"));
    std::vector<std::unique_ptr<Market>> markets;
    try {
        for (const int scrips : sizes) {
            auto market = std::make_unique<Market>();
            market->scrips = scrips;
            market->folder = QDir(cache).filePath(QStringLiteral("querygrowth-%1x%2").arg(scrips).arg(days));
            market->db.openExisting(benchstore::ensureStoreAt(QDir(market->folder).filePath(QStringLiteral("mto.db")),
                                                              generator, scrips, days));
            market->engine = std::make_unique<query::QueryEngine>(market->db);
            market->engine->setReadsRows(false);
            market->dates = query::loadTradingDates(market->db);
            markets.push_back(std::move(market));
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "querygrowth_bench: %s\n", error.what());
        return 1;
    }
    Market& smaller = *markets[0];
    Market& larger = *markets[1];
    if (smaller.dates != larger.dates) {
        std::fprintf(stderr, "querygrowth_bench: the two stores do not hold the same trading days\n");
        return 1;
    }
    const double scale = static_cast<double>(larger.scrips) / smaller.scrips;
    std::printf("%d and %d scrips x %lld trading days (%.1f times the scrips: linear growth is about %.1f); median of %d runs\n",
                smaller.scrips, larger.scrips, static_cast<long long>(smaller.dates.size()), scale, scale, repeats);

    QList<query::Exchange> exchanges;
    if (exchangeChoice == QLatin1String("nse") || exchangeChoice == QLatin1String("all"))
        exchanges.append(query::Exchange::Nse);
    if (exchangeChoice == QLatin1String("bse") || exchangeChoice == QLatin1String("all"))
        exchanges.append(query::Exchange::Bse);
    if (exchangeChoice == QLatin1String("combined") || exchangeChoice == QLatin1String("all"))
        exchanges.append(query::Exchange::Combined);

    QuietPrompt prompt;
    ui::setPrompt(&prompt);
    std::printf("%-3s %-58s %-7s %10s %10s %8s  %s\n", "grp", "label", "exch", "smaller s", "larger s", "growth", "result");
    std::vector<Growth> growths;
    int runs = 0, over = 0;
    for (const Case& c : makeCases(smaller.dates, smaller.folder, QString())) {
        if (!only.isEmpty() && !c.label.contains(only, Qt::CaseInsensitive))
            continue;
        const bool combineOffered = query::queryGroup(c.group).combine != query::ControlChange::Disable;
        for (const query::Exchange exchange : exchanges) {
            // A label that proposes "Combine" runs in it alone.
            if ((exchange == query::Exchange::Combined && !combineOffered) ||
                (c.base.exchange == query::Exchange::Combined && exchange != query::Exchange::Combined))
                continue;
            std::vector<double> smallerSeconds, largerSeconds;
            query::RunOutcome outcome;
            for (int r = 0; r < repeats; ++r) {
                for (Market* market : {&smaller, &larger}) {
                    QElapsedTimer timer;
                    timer.start();
                    outcome = market->engine->run(inputsOn(*market, c, exchange));
                    (market == &smaller ? smallerSeconds : largerSeconds).push_back(timer.nsecsElapsed() / 1e9);
                }
            }
            ++runs;
            const double a = median(smallerSeconds), b = median(largerSeconds);
            const double ratio = a > 0 ? b / a : 0;
            const bool measured = outcome.completed() && b >= kShortestMeasured;
            QString result = outcome.completed()
                                 ? QStringLiteral("%1 rows").arg(larger.db.scalar(QStringLiteral("SELECT count(*) FROM ") +
                                                                                 outcome.resultTable).toLongLong())
                                 : QString::fromLatin1(statusText(outcome.status));
            if (!outcome.completed() && !outcome.message.isEmpty())
                result += QStringLiteral(": ") + outcome.message.left(50);
            const QString run = QStringLiteral("%1 (%2)").arg(c.label, exchangeShort(exchange));
            if (measured)
                growths.push_back({run, a, b, ratio});
            const bool grows = measured && ratio > limit;
            over += grows ? 1 : 0;
            const QString growth = measured ? QString::number(ratio, 'f', 1)
                                            : outcome.completed() ? QStringLiteral("(%1)").arg(ratio, 0, 'f', 1) : QStringLiteral("-");
            std::printf("%-3d %-58s %-7s %10.3f %10.3f %8s  %s%s\n", c.group, qPrintable(c.label.left(58)),
                        qPrintable(exchangeShort(exchange)), a, b, qPrintable(growth), qPrintable(result),
                        grows ? "  GROWS" : "");
            std::fflush(stdout);
        }
    }
    ui::setPrompt(nullptr);

    std::sort(growths.begin(), growths.end(), [](const Growth& x, const Growth& y) { return x.ratio > y.ratio; });
    std::printf("\n%d runs, %d growing more than %.1f times for %.1f times the scrips. The most growth:\n", runs, over,
                limit, scale);
    for (size_t i = 0; i < growths.size() && i < 15; ++i)
        std::printf("  %5.1f  %7.3f s -> %7.3f s  %s\n", growths[i].ratio, growths[i].smaller, growths[i].larger,
                    qPrintable(growths[i].run));
    return 0;
}
