// The fixed cost of a small query: Top N of one day and the rising and
// falling scans of N = 5 days (every run label) run through the query
// engine, each beside one plain SQLite statement that gives the same answer
// on the same store (on a connection of its own, read into memory row by
// row). The runs alternate, engine then statement,
// --runs times (7); each side's minimum and median are printed with the
// ratio of the medians (target: 1.5 or less) and both row counts, which must
// agree. Other work on the machine slows both sides alike, so the ratio is
// the figure to quote.
//
// The store is the cached market store of --scrips x --days (5,000 x 2,500,
// or 500 x 300 with --small), made by tarvenix-gen once; the engine writes
// its result tables into it, as it does in the application's own store.
//
//   smallquery_bench [--small] [--scrips N] [--days N] [--runs N] [--cache FOLDER]

#include "benchstore.h"

#include "query/queryengine.h"
#include "query/tradingcalendar.h"
#include "store/database.h"
#include "store/datetext.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <stdexcept>
#include <vector>

namespace {

struct Case {
    const char* title;
    int group;
    const char* label;
    const char* number;
    // The same answer as one statement: ?1 the query's day, ?2 .. ?5 the
    // four trading days before it.
    const char* statement;
};

// The scan's rows: each scrip listed on NSE with a row on each of the last
// five trading days (?1 the newest .. ?5) whose figure ENTRY (of a day row)
// moved the one way (TEST, between a day's figure and the day before's)
// each day, with its five rows. The figures are the scans' own: a day
// counts its delivery, close, or percentage and traded quantity only when
// they are above 0 (the percentage on days with a delivery, the traded
// quantity on days with a percentage), 0 otherwise.
#define DAY(ALIAS, DAY) " JOIN mto " ALIAS " ON " ALIAS ".scriptcode = d0.scriptcode AND " ALIAS ".TransDate = " DAY
#define MOVED(ENTRY, TEST, LATER, EARLIER) " AND " ENTRY(LATER) " " TEST " " ENTRY(EARLIER)
#define SCAN(ENTRY, TEST)                                                                                            \
    "SELECT company, x.NSEDelyQty, x.BSEDelyQty, x.NSEClPrice, x.NSEPerc, x.NSETrdQty, x.BSETrdQty, x.TransDate"    \
    " FROM (SELECT d0.scriptcode FROM mto d0" DAY("d1", "?2") DAY("d2", "?3") DAY("d3", "?4") DAY("d4", "?5")        \
    " WHERE d0.TransDate = ?1" MOVED(ENTRY, TEST, "d0", "d1") MOVED(ENTRY, TEST, "d1", "d2")                         \
        MOVED(ENTRY, TEST, "d2", "d3") MOVED(ENTRY, TEST, "d3", "d4") ") AS ok"                                      \
    " JOIN ScripMaster ON srno = ok.scriptcode JOIN mto x ON x.scriptcode = ok.scriptcode"                           \
    " WHERE x.TransDate BETWEEN ?5 AND ?1 AND ifnull(nsescrip, '') <> '' ORDER BY company, x.TransDate DESC"
#define COUNTED(R, WHEN, FIGURE) "iif(" R "." WHEN " > 0, " R "." FIGURE ", 0)"
#define DELIVERED(R) COUNTED(R, "NSEDelyQty", "NSEDelyQty")
#define PERCENT(R) COUNTED(R, "NSEDelyQty", "NSEPerc")
#define TRADED(R) COUNTED(R, "NSEPerc", "NSETrdQty")
#define CLOSE(R) COUNTED(R, "NSEClPrice", "NSEClPrice")
#define RUNS(KIND, ENTRY)                                                                                   \
    {"Rising " KIND " for N days, N = 5", 3, "Rising " KIND " for N days", "5", SCAN(ENTRY, ">")},          \
    {                                                                                                       \
        "Falling " KIND " for N days, N = 5", 3, "Falling " KIND " for N days", "5", SCAN(ENTRY, "<")       \
    }

// The engine's median against the plain statement's.
constexpr double kRatioTarget = 1.5;

const Case kCases[] = {
    {"Top N Delivery Quantity, N = 10, one day", 4, "Top N Delivery Quantity", "10",
     "SELECT company, d, p FROM (SELECT company, a.NSEDelyQty AS d, b.NSEDelyQty AS p,"
     " rank() OVER (ORDER BY a.NSEDelyQty DESC) AS r FROM mto a JOIN mto b ON b.scriptcode = a.scriptcode"
     " AND b.TransDate = ?2 JOIN ScripMaster ON srno = a.scriptcode WHERE a.TransDate = ?1)"
     " WHERE r <= 10 ORDER BY d DESC, company"},
    {"Top N Traded Quantity, N = 10, one day", 4, "Top N Traded Quantity", "10",
     "SELECT company, d, p FROM (SELECT company, a.NSETrdQty AS d, b.NSETrdQty AS p,"
     " rank() OVER (ORDER BY a.NSETrdQty DESC) AS r FROM mto a JOIN mto b ON b.scriptcode = a.scriptcode"
     " AND b.TransDate = ?2 JOIN ScripMaster ON srno = a.scriptcode WHERE a.TransDate = ?1)"
     " WHERE r <= 10 ORDER BY d DESC, company"},
    RUNS("Delivery Quantity", DELIVERED),
    RUNS("% Delivery Quantity", PERCENT),
    RUNS("Traded Quantity", TRADED),
    RUNS("Price", CLOSE),
};

double seconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// Runs `text` on `db` with the three days bound and reads every value of
// every row; gives the number of rows.
qint64 runStatement(sqlite3* db, const char* text, const QList<QByteArray>& days)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, text, -1, &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    for (int i = 0; i < days.size(); ++i)
        sqlite3_bind_text(stmt, i + 1, days[i].constData(), static_cast<int>(days[i].size()), SQLITE_STATIC);
    qint64 rows = 0;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(stmt); ++c)
            if (sqlite3_column_type(stmt, c) == SQLITE_TEXT)
                sqlite3_column_text(stmt, c);
            else
                sqlite3_column_double(stmt, c);
        ++rows;
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(db));
    return rows;
}

struct Figures {
    double min, median;
};

Figures figuresOf(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2]};
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int scrips = 5000, days = 2500, runs = 7;
    QString cache = qEnvironmentVariable("TARVENIX_BENCH_CACHE", QStringLiteral("/work/bench-cache"));
    const QStringList arguments = app.arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (a == QLatin1String("--small")) {
            scrips = 500;
            days = 300;
        } else if (a == QLatin1String("--scrips") && hasValue) {
            scrips = arguments[++i].toInt();
        } else if (a == QLatin1String("--days") && hasValue) {
            days = arguments[++i].toInt();
        } else if (a == QLatin1String("--runs") && hasValue) {
            runs = std::max(1, arguments[++i].toInt());
        } else if (a == QLatin1String("--cache") && hasValue) {
            cache = arguments[++i];
        } else {
            std::fprintf(stderr, "usage: smallquery_bench [--small] [--scrips N] [--days N] [--runs N] [--cache FOLDER]\n");
            return 2;
        }
    }
    try {
        const QString generator = QDir(app.applicationDirPath()).filePath(QStringLiteral("../tarvenix-gen"));
        const QString path = benchstore::ensureStore(cache, generator, scrips, days);
        store::Database db;
        db.openExisting(path);
        query::QueryEngine engine(db);
        // The query screen follows every progress line (its text and bar);
        // so does the bench, so that the engine does what it does there.
        QString progressText;
        int progressDone = 0;
        const query::ProgressCallback followProgress = [&](const QString& text, int done, int) {
            progressText = text;
            progressDone = done;
        };
        const QList<QDate> dates = query::loadTradingDates(db);
        if (dates.size() < 5)
            throw std::runtime_error("the store holds fewer than five trading days");
        sqlite3* plain = nullptr;
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &plain, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + path.toStdString());
        QList<QByteArray> bound;
        for (int k = 0; k < 5; ++k)
            bound.append(datetext::toStorage(dates[k]).toUtf8());
        std::printf("Store %s: %d scrips x %lld trading days (%lld mto rows); %d runs each, alternating\n",
                    qPrintable(path), scrips, static_cast<long long>(dates.size()),
                    static_cast<long long>(scrips) * dates.size(), runs);
        std::printf("Target: the engine's median within %.1fx the statement's\n", kRatioTarget);
        std::printf("%-50s %9s %9s %9s %9s %6s %6s %6s\n", "query", "app min", "app med", "sql min", "sql med",
                    "ratio", "rows", "sql");
        for (const Case& c : kCases) {
            query::RunInputs in;
            in.group = c.group;
            in.label = QString::fromLatin1(c.label);
            in.firstDate = dates.first();
            in.numberText = QString::fromLatin1(c.number);
            in.exchange = query::Exchange::Nse;
            in.groupCode = QStringLiteral("ALL");
            in.groupName = QStringLiteral(" All Stocks");
            std::vector<double> appTimes, sqlTimes;
            qsizetype appRows = 0;
            qint64 sqlRows = 0;
            for (int r = 0; r < runs; ++r) {
                QElapsedTimer timer;
                timer.start();
                const query::RunOutcome outcome = engine.run(in, followProgress);
                appTimes.push_back(seconds(timer));
                if (!outcome.completed())
                    throw std::runtime_error(c.title + std::string(": ") + outcome.message.toStdString());
                appRows = outcome.rows.size();
                timer.start();
                sqlRows = runStatement(plain, c.statement, bound);
                sqlTimes.push_back(seconds(timer));
            }
            const Figures a = figuresOf(appTimes), s = figuresOf(sqlTimes);
            const double ratio = a.median / s.median;
            std::printf("%-50s %9.4f %9.4f %9.4f %9.4f %6.2f %6lld %6lld%s%s\n", c.title, a.min, a.median, s.min, s.median,
                        ratio, static_cast<long long>(appRows), static_cast<long long>(sqlRows),
                        appRows == sqlRows ? "" : "  ROWS DIFFER", ratio > kRatioTarget ? "  MISSES" : "");
            std::fflush(stdout);
        }
        sqlite3_close(plain);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "smallquery_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
