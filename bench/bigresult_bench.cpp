// Times the labels whose result holds day rows, from the press of the run
// button to the rows shown in the result viewer, on a generated store of
// 5,000 scrips x 2,500 trading days (12.5 million mto rows): the query
// runner runs the label, the viewer is handed the result and the grid paints
// its first rows ("ready"); then the grid is scrolled to the last row and
// that row read ("last"); then a header click sorts the rows by stock and a
// filter keeps those priced over 100. Every run is a process of its own, so
// its peak resident memory (wait4, "peak MB") is that run's alone; "ready
// MB" is the peak until the rows were shown.
//
//   bigresult_bench [--scrips 5000] [--days 2500] [--windows 250,all] [--runs 3] [--only TEXT]
//                   [--cache FOLDER]
//
// The market data comes from tarvenix-gen (--fill), cached as
// <cache>/store-<scrips>x<days>.db; the runs write their result tables into
// a copy of it, <cache>/bigresult-<scrips>x<days>.db, made once.
//
// The run and ready figures are the minimum and median of the runs, the
// others medians; the memory figures are the largest of the runs.

#include "benchscreens.h"
#include "benchstore.h"
#include "query/queryrunner.h"
#include "query/tradingcalendar.h"
#include "shell/appservices.h"
#include "store/database.h"
#include "ui/prompt.h"
#include "viewer/resultviewer.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>
#include <cstdio>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

struct Case {
    QString name;
    QString label;
    int group;
    query::Exchange exchange;
};

// Ready (seconds) up to 250 trading days and over the whole history, and
// the process's peak memory.
constexpr double kReadyTarget250 = 2, kReadyTargetWhole = 15, kPeakTargetMb = 500;

const QList<Case> kCases = {
    {QStringLiteral("View All Records, NSE"), QStringLiteral("View All Records"), 7, query::Exchange::Nse},
    {QStringLiteral("View All Records, NSE & BSE"), QStringLiteral("View All Records"), 7, query::Exchange::Combined},
    {QStringLiteral("Last N Days Movement, NSE"), QStringLiteral("Last N Days Movement"), 8, query::Exchange::Nse},
};

// One run in this process: prints "ready-seconds last-row-seconds rows".
int runChild(const QString& storePath, const Case& c, int days)
{
    store::Database db;
    db.open(storePath);
    benchscreens::BenchServices services(db);
    const QList<QDate> dates = query::loadTradingDates(db);  // newest first
    const int window = std::min<int>(days, static_cast<int>(dates.size()));

    query::RunInputs inputs;
    inputs.group = c.group;
    inputs.label = c.label;
    inputs.exchange = c.exchange;
    inputs.firstDate = dates.first();
    if (c.label == QLatin1String("Last N Days Movement")) {
        // The table reaches two days behind the N shown.
        inputs.numberText = QString::number(std::min(window, static_cast<int>(dates.size()) - 2));
    } else {
        inputs.secondDate = dates.at(window - 1);
    }

    QLineEdit text;
    QProgressBar bar;
    query::QueryRunner runner(db, &text, &bar);
    QElapsedTimer timer;
    timer.start();
    const auto run = runner.run(inputs, {}, {});
    if (!run) {
        std::fprintf(stderr, "the run made no result\n");
        return 1;
    }
    const double ran = timer.nsecsElapsed() / 1e9;
    viewer::ResultViewerWindow* shown = viewer::showResult(services, run->outcome.viewerSelect, run->facts);
    auto* grid = shown->findChild<QTableView*>(QStringLiteral("DataGrid1"));
    grid->repaint();
    QCoreApplication::processEvents();
    const QString first = grid->model()->index(0, 0).data().toString();
    const double ready = timer.nsecsElapsed() / 1e9;

    timer.restart();
    grid->scrollToBottom();
    grid->repaint();
    QCoreApplication::processEvents();
    const int rows = grid->model()->rowCount();
    const QString last = grid->model()->index(rows - 1, 0).data().toString();
    const double lastRow = timer.nsecsElapsed() / 1e9;
    const double readyMb = benchstore::peakKiB() / 1024.0;

    // A header click on the stock column, then a filter on the price.
    const QStringList names = [&] {
        QStringList list;
        for (int column = 0; column < grid->model()->columnCount(); ++column)
            list.append(grid->model()->headerData(column, Qt::Horizontal).toString());
        return list;
    }();
    timer.restart();
    emit grid->horizontalHeader()->sectionClicked(static_cast<int>(names.indexOf(QStringLiteral("Stock"))));
    grid->repaint();
    QCoreApplication::processEvents();
    const double sorted = timer.nsecsElapsed() / 1e9;
    const int price = std::max(names.indexOf(QStringLiteral("Price")), names.indexOf(QStringLiteral("Rate")));
    shown->findChild<QComboBox*>(QStringLiteral("cboFilterCols"))->setCurrentIndex(price);
    shown->findChild<QComboBox*>(QStringLiteral("cboOper"))->setCurrentText(QStringLiteral(">"));
    shown->findChild<QLineEdit*>(QStringLiteral("txtFilterValue"))->setText(QStringLiteral("100"));
    timer.restart();
    shown->findChild<QPushButton*>(QStringLiteral("cmdFilterShow0"))->click();
    grid->repaint();
    QCoreApplication::processEvents();
    const double filtered = timer.nsecsElapsed() / 1e9;
    std::printf("%.3f %.3f %d %.3f %.1f %.3f %.3f %d\n", ready, lastRow, rows, ran, readyMb, sorted, filtered,
                grid->model()->rowCount());
    std::fflush(stdout);
    delete shown;
    return first.isEmpty() && rows > 0 && last.isEmpty() ? 2 : 0;
}

struct Measure {
    double ready = 0;
    double lastRow = 0;
    long rows = 0;
    double peakMb = 0;
    double ran = 0;  // the run alone, before the viewer
    double readyMb = 0;  // the peak when the rows were shown
    double sorted = 0;
    double filtered = 0;
};

// Runs one case in a process of its own and reads its line and peak memory.
std::optional<Measure> runProcess(const QString& self, const QStringList& arguments)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<QByteArray> owned{QFile::encodeName(self)};
    for (const QString& argument : arguments)
        owned.push_back(argument.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& argument : owned)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        return std::nullopt;
    }
    QByteArray output;
    char buffer[256];
    for (ssize_t got; (got = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, got);
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const QList<QByteArray> fields = output.trimmed().split(' ');
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || fields.size() != 8) {
        std::fprintf(stderr, "  run failed (status %d): %s\n", status, output.constData());
        return std::nullopt;
    }
    return Measure{fields[0].toDouble(), fields[1].toDouble(), fields[2].toLong(), usage.ru_maxrss / 1024.0,
                   fields[3].toDouble(), fields[4].toDouble(), fields[5].toDouble(), fields[6].toDouble()};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString argument(const QStringList& arguments, const QString& name, const QString& fallback)
{
    const qsizetype at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : fallback;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const QString cache = argument(arguments, QStringLiteral("--cache"),
                                   qEnvironmentVariable("TARVENIX_BENCH_CACHE", QStringLiteral("/work/bench-cache")));
    const int scrips = argument(arguments, QStringLiteral("--scrips"), QStringLiteral("5000")).toInt();
    const int days = argument(arguments, QStringLiteral("--days"), QStringLiteral("2500")).toInt();

    if (arguments.contains(QStringLiteral("--child"))) {
        benchscreens::DeclinePrompt quiet(true);
        ui::setPrompt(&quiet);
        const int index = argument(arguments, QStringLiteral("--case"), QStringLiteral("0")).toInt();
        const int window = argument(arguments, QStringLiteral("--window"), QStringLiteral("250")).toInt();
        return runChild(argument(arguments, QStringLiteral("--store"), QString()), kCases.at(index), window);
    }

    const QString generator = QFileInfo(QCoreApplication::applicationDirPath() + QStringLiteral("/../tarvenix-gen"))
                                  .absoluteFilePath();
    const QString source = benchstore::ensureStore(cache, generator, scrips, days);
    const QString copy = QDir(cache).filePath(QStringLiteral("bigresult-%1x%2.db").arg(scrips).arg(days));
    {
        benchstore::FileLock lock(copy + QStringLiteral(".lock"));
        if (!QFileInfo::exists(copy)) {
            std::fprintf(stderr, "Copying %s to %s, once...\n", qPrintable(source), qPrintable(copy));
            QFile::remove(copy + QStringLiteral(".tmp"));
            if (!QFile::copy(source, copy + QStringLiteral(".tmp")) || !QFile::rename(copy + QStringLiteral(".tmp"), copy))
                return 1;
        }
    }

    const int runs = argument(arguments, QStringLiteral("--runs"), QStringLiteral("3")).toInt();
    const QString only = argument(arguments, QStringLiteral("--only"), QString());
    const QStringList windows = argument(arguments, QStringLiteral("--windows"), QStringLiteral("250,all")).split(',');
    std::printf("Day-row results in the viewer, %d scrips x %d trading days; min / median of %d runs\n", scrips, days,
                runs);
    std::printf("Targets: ready in %.0f s up to 250 days and %.0f s over the whole history, peak %.0f MB at most\n",
                kReadyTarget250, kReadyTargetWhole, kPeakTargetMb);
    std::printf("%-28s %5s %9s %15s %15s %6s %6s %6s %8s %7s\n", "label", "days", "rows", "run s", "ready s",
                "last s", "sort s", "filt s", "ready MB", "peak MB");
    int misses = 0, measured = 0;
    for (const QString& windowText : windows) {
        const int window = windowText == QLatin1String("all") ? days : windowText.toInt();
        for (int index = 0; index < kCases.size(); ++index) {
            if (!only.isEmpty() && !kCases[index].name.contains(only, Qt::CaseInsensitive))
                continue;
            std::vector<double> ready, lastRow, ran, sorted, filtered;
            double peak = 0, readyPeak = 0;
            long rows = 0;
            for (int r = 0; r < runs; ++r) {
                const std::optional<Measure> measure = runProcess(
                    QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--child"), QStringLiteral("--store"), copy, QStringLiteral("--case"),
                     QString::number(index), QStringLiteral("--window"), QString::number(window)});
                if (!measure)
                    break;
                ready.push_back(measure->ready);
                lastRow.push_back(measure->lastRow);
                ran.push_back(measure->ran);
                sorted.push_back(measure->sorted);
                filtered.push_back(measure->filtered);
                peak = std::max(peak, measure->peakMb);
                readyPeak = std::max(readyPeak, measure->readyMb);
                rows = measure->rows;
            }
            if (ready.empty())
                continue;
            const bool miss =
                median(ready) > (window > 250 ? kReadyTargetWhole : kReadyTarget250) || peak > kPeakTargetMb;
            misses += miss ? 1 : 0;
            ++measured;
            std::printf("%-28s %5d %9ld %6.2f / %6.2f %6.2f / %6.2f %6.3f %6.2f %6.2f %8.0f %7.0f%s\n",
                        qPrintable(kCases[index].name), window, rows, *std::min_element(ran.begin(), ran.end()),
                        median(ran), *std::min_element(ready.begin(), ready.end()), median(ready), median(lastRow),
                        median(sorted), median(filtered), readyPeak, peak, miss ? "  MISSES" : "");
            std::fflush(stdout);
        }
    }
    std::printf("%d of %d cases miss a target\n", misses, measured);
    return 0;
}
