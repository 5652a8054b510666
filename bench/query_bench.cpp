// Times every query of the catalogue through the query engine on a generated
// store: 5,000 scrips x 2,500 trading days (12.5 million mto rows), or with
// --small 500 scrips x 300 days for a quick run.
//
// Each query runs over a window of 22 and of 250 trading days and, where it
// has a window (two dates or a number of days), over the whole history (as
// far back as the query can reach); queries of one day run once, and scans
// that take at most 30 days run over 5 and 30. Every figure is the minimum
// and median of three runs, printed with the rows the window reads and the
// process's peak resident memory during the runs (which includes heap that
// an earlier query of the same run kept: --only gives a query's own peak).
//
// The market data comes from tarvenix-gen (--fill) and is cached as
// /work/bench-cache/store-<scrips>x<days>.db, shared with the other
// benchmarks. The queries run on a copy of it that adds what the generator
// leaves empty: scrip groups, the cash-market bhavcopy with its moving
// averages, the price tables, the NNF security list and an options database.
//
// --check runs each query once more through its plain statements and says
// whether the two results agree to the last bit.
//
// --rows-in-store times each run as the application runs it: the result
// stays in the store (the viewer reads it as the grid scrolls) and is read
// into memory, for the row count and --check, after the clock stops.
// Without it the time includes reading every result row into memory.
//
//   query_bench [--small] [--check] [--rows-in-store] [--only TEXT] [--skip TEXT,...] [--exchange nse|bse|combined|all]
//               [--windows 22,250,all] [--repeats N] [--cache FOLDER]

#include "querycases.h"

#include "computations/ema.h"
#include "query/catalogue.h"
#include "query/parametersetup.h"
#include "query/plainstatements.h"
#include "query/queryengine.h"
#include "query/tradingcalendar.h"
#include "store/database.h"
#include "store/datetext.h"
#include "store/schema.h"
#include "store/transaction.h"
#include "ui/prompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <malloc.h>
#include <sys/file.h>
#include <unistd.h>
#include <optional>
#include <sqlite3.h>
#include <stdexcept>
#include <vector>

namespace {

using namespace querycases;

struct StoreSize {
    int scrips;
    int days;
};

constexpr StoreSize kFullSize{5000, 2500};
constexpr StoreSize kSmallSize{500, 300};

// ---------------------------------------------------------------- memory

// Linux: writing 5 to clear_refs starts the peak resident size (VmHWM) afresh.
void resetPeakMemory()
{
    malloc_trim(0);  // heap that earlier work freed goes back first
    QFile file(QStringLiteral("/proc/self/clear_refs"));
    if (file.open(QIODevice::WriteOnly))
        file.write("5");
}

// The peak resident size since the last reset, in MB.
double peakMemoryMb()
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// ---------------------------------------------------------------- the stores

void execRaw(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw std::runtime_error(message + " in: " + sql);
    }
}

void check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(sqlite3_errmsg(db));
}

// A value in [0, 1) that depends only on its seeds: the extras are the same
// on every machine.
double hashed(quint64 a, quint64 b)
{
    quint64 z = a * 0x9E3779B97F4A7C15ULL + b + 0x632BE59BD9B4E019ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * 0x1.0p-53;
}

double round2(double value)
{
    return std::nearbyint(value * 100.0) / 100.0;
}

// The market data as tarvenix-gen makes it, generated into a temporary name
// and renamed, so that a benchmark that finds the file finds it whole.
// Holds an exclusive lock on a file while it lives: the lock that every
// benchmark takes on .<store name>.lock before it makes that store.
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

void ensureMarketStore(const QString& path, const StoreSize& size)
{
    const QFileInfo info(path);
    const FileLock lock(info.dir().filePath(QLatin1Char('.') + info.fileName() + QStringLiteral(".lock")));
    if (QFile::exists(path))
        return;
    const QString generator = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../tarvenix-gen"));
    const QString temporary = path + QStringLiteral(".tmp-%1").arg(QCoreApplication::applicationPid());
    std::fprintf(stderr, "Generating %s (%d scrips x %d trading days) with tarvenix-gen...\n", qPrintable(path),
                 size.scrips, size.days);
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(generator, {QStringLiteral("--scrips"), QString::number(size.scrips), QStringLiteral("--days"),
                              QString::number(size.days), QStringLiteral("--store"), temporary, QStringLiteral("--fill")});
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        throw std::runtime_error("tarvenix-gen failed");
    {
        // Folding the journal into the file leaves one file to rename.
        store::Database db;
        db.openExisting(temporary);
        db.scalar(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        db.scalar(QStringLiteral("PRAGMA journal_mode=DELETE"));
    }
    if (!QFile::exists(path))  // another benchmark may have made it meanwhile
        QFile::rename(temporary, path);
    QFile::remove(temporary);
}

// Scrip groups: "ALL" (every scrip), "Derivative" (every 25th), ten sectors,
// and the two index groups that the Belmora query reads.
void addGroups(sqlite3* db)
{
    // Whatever groups the market store was given make way for these.
    execRaw(db,
            "DELETE FROM GroupMaster; DELETE FROM LinkDetails;"
            "INSERT INTO GroupMaster VALUES ('ALL', ' All Stocks'), ('Derivative', 'Derivatives F & O'),"
            " ('BSE100', 'BSE 100'), ('BSE500', 'BSE 500');"
            "INSERT INTO LinkDetails SELECT 'ALL', srno FROM ScripMaster;"
            "INSERT INTO LinkDetails SELECT 'Derivative', srno FROM ScripMaster WHERE srno % 25 = 1;"
            "INSERT INTO LinkDetails SELECT 'BSE100', srno FROM ScripMaster WHERE srno % 50 = 2 AND bsescrip <> '';"
            "INSERT INTO LinkDetails SELECT 'BSE500', srno FROM ScripMaster WHERE srno % 10 = 2 AND bsescrip <> '';"
            "INSERT INTO derisymbol SELECT nsescrip FROM ScripMaster WHERE srno % 25 = 1;"
            "INSERT INTO nnf_security SELECT srno, nsescrip, 'EQ' FROM ScripMaster;"
            "INSERT INTO Script SELECT nsescrip, company FROM ScripMaster;");
    for (int sector = 1; sector <= 10; ++sector) {
        const QByteArray sql = QStringLiteral("INSERT INTO GroupMaster VALUES ('SEC%1', 'Sector %1');"
                                              "INSERT INTO LinkDetails SELECT 'SEC%1', srno FROM ScripMaster WHERE srno % 10 = %2;")
                                   .arg(sector, 2, 10, QLatin1Char('0'))
                                   .arg(sector % 10)
                                   .toUtf8();
        execRaw(db, sql.constData());
    }
}

// The "EQ" bhavcopy row of every NSE day of every scrip, with day highs and
// lows around the close and both moving averages computed as the import does.
void addBhavcopy(sqlite3* db)
{
    execRaw(db, "DROP INDEX allbhavcopy_symbol_series_day; DROP INDEX allbhavcopy_day;");
    sqlite3_stmt* read = nullptr;
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(db,
                             "SELECT scriptcode, TransDate, nseclprice, nsetrdqty, NSEScriptCode FROM mto"
                             " WHERE nseclprice > 0 ORDER BY scriptcode, TransDate",
                             -1, &read, nullptr),
          db);
    check(sqlite3_prepare_v2(db, "INSERT INTO allbhavcopy VALUES (?,'EQ',?,?,?,?,?,?,?,?,?,?,?)", -1, &insert, nullptr),
          db);
    struct Day {
        std::string date;
        double close, traded;
    };
    std::vector<Day> days;
    std::string symbol;
    qint64 scrip = -1;
    auto flush = [&]() {
        if (days.empty())
            return;
        std::vector<double> closes;
        for (const Day& day : days)
            closes.push_back(day.close);
        const auto ema14 = computations::emaSeries(closes, computations::kEma14);
        const auto ema34 = computations::emaSeries(closes, computations::kEma34);
        for (size_t i = 0; i < days.size(); ++i) {
            const double close = days[i].close;
            const double previous = i > 0 ? days[i - 1].close : close;
            const double high = round2(close * (1 + 0.02 * hashed(static_cast<quint64>(scrip), i)));
            const double low = round2(close * (1 - 0.02 * hashed(static_cast<quint64>(scrip), i + 7)));
            sqlite3_bind_text(insert, 1, symbol.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_double(insert, 2, previous);
            sqlite3_bind_double(insert, 3, high);
            sqlite3_bind_double(insert, 4, low);
            sqlite3_bind_double(insert, 5, close);
            sqlite3_bind_double(insert, 6, close);
            sqlite3_bind_double(insert, 7, previous);
            sqlite3_bind_double(insert, 8, days[i].traded);
            sqlite3_bind_double(insert, 9, round2(days[i].traded * close));
            sqlite3_bind_text(insert, 10, days[i].date.c_str(), -1, SQLITE_STATIC);
            if (ema14[i])
                sqlite3_bind_double(insert, 11, *ema14[i]);
            else
                sqlite3_bind_null(insert, 11);
            if (ema34[i])
                sqlite3_bind_double(insert, 12, *ema34[i]);
            else
                sqlite3_bind_null(insert, 12);
            check(sqlite3_step(insert), db);
            sqlite3_reset(insert);
        }
        days.clear();
    };
    while (sqlite3_step(read) == SQLITE_ROW) {
        const qint64 code = sqlite3_column_int64(read, 0);
        if (code != scrip) {
            flush();
            scrip = code;
            symbol = reinterpret_cast<const char*>(sqlite3_column_text(read, 4));
            if (scrip % 500 == 0)
                std::fprintf(stderr, "  bhavcopy of scrip %lld\n", static_cast<long long>(scrip));
        }
        days.push_back({reinterpret_cast<const char*>(sqlite3_column_text(read, 1)), sqlite3_column_double(read, 2),
                        sqlite3_column_double(read, 3)});
    }
    flush();
    sqlite3_finalize(read);
    sqlite3_finalize(insert);
    execRaw(db, "CREATE INDEX allbhavcopy_symbol_series_day ON allbhavcopy (symbol, series, TransDate);"
                "CREATE INDEX allbhavcopy_day ON allbhavcopy (TransDate);");
}

// A day's 20 gainers, 20 losers, 5 new highs and 5 new lows of every day, and
// one 52-week row per scrip from its last 250 days.
void addPriceTables(sqlite3* db, const QList<QDate>& newestFirst, int scrips)
{
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(db, "INSERT INTO GainLoss VALUES (?,?,?,?,?,?)", -1, &insert, nullptr), db);
    for (int d = 0; d < newestFirst.size(); ++d) {
        const QByteArray day = datetext::toStorage(newestFirst[d]).toUtf8();
        for (int i = 0; i < 50; ++i) {
            const char* kind = i < 20 ? "G" : i < 40 ? "L" : i < 45 ? "U" : "D";
            const double previous = round2(10 + 2990 * hashed(d, 3 * i));
            const double change = kind[0] == 'G' ? 1 + 19 * hashed(d, 3 * i + 1)
                                  : kind[0] == 'L' ? -1 - 19 * hashed(d, 3 * i + 1)
                                                   : 0;
            const qint64 scrip = 1 + static_cast<qint64>(hashed(d, 3 * i + 2) * scrips);
            const QByteArray symbol = QByteArray::number(scrip);
            sqlite3_bind_text(insert, 1, day.constData(), -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 2, symbol.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(insert, 3, round2(previous * (1 + change / 100)));
            sqlite3_bind_double(insert, 4, previous);
            sqlite3_bind_double(insert, 5, round2(change));
            sqlite3_bind_text(insert, 6, kind, -1, SQLITE_STATIC);
            check(sqlite3_step(insert), db);
            sqlite3_reset(insert);
        }
    }
    sqlite3_finalize(insert);
    // The symbols written above are scrip numbers: name them.
    execRaw(db, "UPDATE GainLoss SET Script = (SELECT nsescrip FROM ScripMaster WHERE srno = CAST(GainLoss.Script AS INTEGER))");
    const QByteArray yearStart = datetext::toStorage(newestFirst.at(std::min<qsizetype>(249, newestFirst.size() - 1))).toUtf8();
    const QByteArray hilo = "INSERT INTO hilo SELECT nsescrip, max(nseclprice), min(nseclprice), 0 FROM mto, ScripMaster"
                            " WHERE srno = scriptcode AND TransDate >= '" +
                            yearStart + "' AND nsescrip <> '' GROUP BY nsescrip";
    execRaw(db, hilo.constData());
}

// The options database of the open-interest queries: each derivative scrip
// with a sector, and per day a futures row and two option rows.
void makeOptionsStore(const QString& path, sqlite3* market)
{
    QFile::remove(path);
    {
        store::Database options;
        options.open(path);
        store::createOptionsSchema(options);
    }
    sqlite3* db = nullptr;
    check(sqlite3_open(path.toUtf8().constData(), &db), db);
    execRaw(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=OFF; BEGIN");
    sqlite3_stmt* read = nullptr;
    sqlite3_stmt* insert = nullptr;
    sqlite3_stmt* sector = nullptr;
    check(sqlite3_prepare_v2(market,
                             "SELECT m.scriptcode, m.NSEScriptCode, m.TransDate, m.nseclprice FROM mto m"
                             " WHERE m.scriptcode % 25 = 1 ORDER BY m.scriptcode, m.TransDate",
                             -1, &read, nullptr),
          market);
    check(sqlite3_prepare_v2(db, "INSERT INTO allscript VALUES (?,?,?,?,?)", -1, &insert, nullptr), db);
    check(sqlite3_prepare_v2(db, "INSERT INTO script VALUES (?,?)", -1, &sector, nullptr), db);
    qint64 scrip = -1;
    double interest = 0;
    int dayNo = 0;
    while (sqlite3_step(read) == SQLITE_ROW) {
        const qint64 code = sqlite3_column_int64(read, 0);
        const std::string symbol = reinterpret_cast<const char*>(sqlite3_column_text(read, 1));
        if (code != scrip) {
            scrip = code;
            interest = 1e5 + 1e6 * hashed(static_cast<quint64>(code), 0);
            const QByteArray sectorName = QStringLiteral("Sector %1").arg(code % 10).toUtf8();
            sqlite3_bind_text(sector, 1, symbol.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(sector, 2, sectorName.constData(), -1, SQLITE_TRANSIENT);
            check(sqlite3_step(sector), db);
            sqlite3_reset(sector);
        }
        interest = std::max(1000.0, std::floor(interest * (0.95 + 0.1 * hashed(static_cast<quint64>(code), ++dayNo))));
        const double price = sqlite3_column_double(read, 3);
        const char* kinds[] = {"FUTSTK", "OPTSTK", "OPTSTK"};
        for (int k = 0; k < 3; ++k) {
            sqlite3_bind_text(insert, 1, symbol.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 2, reinterpret_cast<const char*>(sqlite3_column_text(read, 2)), -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(insert, 3, k == 0 ? interest : std::floor(interest * 0.3));
            sqlite3_bind_double(insert, 4, price);
            sqlite3_bind_text(insert, 5, kinds[k], -1, SQLITE_STATIC);
            check(sqlite3_step(insert), db);
            sqlite3_reset(insert);
        }
    }
    sqlite3_finalize(read);
    sqlite3_finalize(insert);
    sqlite3_finalize(sector);
    execRaw(db, "COMMIT");
    sqlite3_close(db);
}

// The store the queries run on: a copy of the market data with the extras,
// made under a temporary name and renamed when whole.
void ensureQueryStore(const QString& marketPath, const QString& path, const QString& optionsPath)
{
    const QFileInfo info(path);
    const FileLock lock(info.dir().filePath(QLatin1Char('.') + info.fileName() + QStringLiteral(".lock")));
    if (QFile::exists(path) && QFile::exists(optionsPath))
        return;
    const QString temporary = path + QStringLiteral(".tmp-%1").arg(QCoreApplication::applicationPid());
    std::fprintf(stderr, "Making %s from %s...\n", qPrintable(path), qPrintable(marketPath));
    QFile::remove(temporary);
    {
        // SQLite's backup copies a consistent snapshot, whoever else has the
        // market store open.
        sqlite3* source = nullptr;
        sqlite3* copy = nullptr;
        check(sqlite3_open_v2(marketPath.toUtf8().constData(), &source, SQLITE_OPEN_READONLY, nullptr), source);
        check(sqlite3_open(temporary.toUtf8().constData(), &copy), copy);
        sqlite3_backup* backup = sqlite3_backup_init(copy, "main", source, "main");
        if (!backup || sqlite3_backup_step(backup, -1) != SQLITE_DONE)
            throw std::runtime_error("the market store could not be copied");
        sqlite3_backup_finish(backup);
        sqlite3_close(source);
        sqlite3_close(copy);
    }
    QList<QDate> dates;
    {
        store::Database db;
        db.openExisting(temporary);
        dates = query::loadTradingDates(db);
    }
    sqlite3* db = nullptr;
    check(sqlite3_open(temporary.toUtf8().constData(), &db), db);
    execRaw(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=OFF; PRAGMA cache_size=-400000; BEGIN");
    // The generator fills these tables too; the bench's own rows take their
    // place, so that its figures stay comparable from one run to the next.
    execRaw(db, "DELETE FROM allbhavcopy; DELETE FROM GainLoss; DELETE FROM hilo;");
    addGroups(db);
    int scrips = 0;
    {
        sqlite3_stmt* count = nullptr;
        check(sqlite3_prepare_v2(db, "SELECT count(*) FROM ScripMaster", -1, &count, nullptr), db);
        sqlite3_step(count);
        scrips = sqlite3_column_int(count, 0);
        sqlite3_finalize(count);
    }
    addPriceTables(db, dates, scrips);
    std::fprintf(stderr, "  the bhavcopy...\n");
    addBhavcopy(db);
    execRaw(db, "COMMIT; ANALYZE;");
    std::fprintf(stderr, "  the options database...\n");
    makeOptionsStore(optionsPath + QStringLiteral(".tmp"), db);
    sqlite3_close(db);
    QFile::remove(optionsPath);
    QFile::rename(optionsPath + QStringLiteral(".tmp"), optionsPath);
    QFile::remove(path);
    QFile::rename(temporary, path);
}

// ---------------------------------------------------------------- the runs

// Whether two results hold the same columns and the same values, numbers
// compared to the last bit.
bool sameRows(const store::Rows& a, const store::Rows& b, QString& difference)
{
    if (a.columns.size() != b.columns.size() || a.rows.size() != b.rows.size()) {
        difference = QStringLiteral("%1x%2 against %3x%4")
                         .arg(a.rows.size()).arg(a.columns.size()).arg(b.rows.size()).arg(b.columns.size());
        return false;
    }
    for (int c = 0; c < a.columns.size(); ++c)
        if (a.columns[c].name != b.columns[c].name || a.columns[c].kind != b.columns[c].kind) {
            difference = QStringLiteral("column %1: %2 against %3").arg(c).arg(a.columns[c].name, b.columns[c].name);
            return false;
        }
    for (qsizetype r = 0; r < a.rows.size(); ++r)
        for (int c = 0; c < a.columns.size(); ++c) {
            const QVariant& x = a.rows[r][c];
            const QVariant& y = b.rows[r][c];
            bool same = x.typeId() == y.typeId() && x.isNull() == y.isNull();
            if (same && x.typeId() == QMetaType::Double) {
                const double u = x.toDouble(), v = y.toDouble();
                same = std::memcmp(&u, &v, sizeof u) == 0;
            } else if (same) {
                same = x == y;
            }
            if (!same) {
                difference = QStringLiteral("row %1 column %2: %3 against %4")
                                 .arg(r).arg(a.columns[c].name, x.toString(), y.toString());
                return false;
            }
        }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    StoreSize size = kFullSize;
    QString cache = QStringLiteral("/work/bench-cache");
    QString only;
    QStringList skip;
    QString exchangeChoice = QStringLiteral("nse");
    QStringList windowChoice{QStringLiteral("22"), QStringLiteral("250"), QStringLiteral("all")};
    int repeats = 3;
    bool checkPlain = false;
    bool rowsInStore = false;
    const QStringList arguments = app.arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (a == QLatin1String("--small"))
            size = kSmallSize;
        else if (a == QLatin1String("--check"))
            checkPlain = true;
        else if (a == QLatin1String("--rows-in-store"))
            rowsInStore = true;
        else if (a == QLatin1String("--cache") && hasValue)
            cache = arguments[++i];
        else if (a == QLatin1String("--only") && hasValue)
            only = arguments[++i];
        else if (a == QLatin1String("--skip") && hasValue)
            skip = arguments[++i].split(QLatin1Char(','));
        else if (a == QLatin1String("--exchange") && hasValue)
            exchangeChoice = arguments[++i].toLower();
        else if (a == QLatin1String("--windows") && hasValue)
            windowChoice = arguments[++i].split(QLatin1Char(','));
        else if (a == QLatin1String("--repeats") && hasValue)
            repeats = std::max(1, arguments[++i].toInt());
        else {
            std::fprintf(stderr,
                         "usage: query_bench [--small] [--check] [--rows-in-store] [--only TEXT] [--skip TEXT,TEXT] [--exchange nse|bse|combined|all]"
                         " [--windows 22,250,all] [--repeats N] [--cache FOLDER]\n");
            return 2;
        }
    }

    const QString stem = QStringLiteral("%1x%2").arg(size.scrips).arg(size.days);
    QDir().mkpath(cache);
    const QString marketPath = QDir(cache).filePath(QStringLiteral("store-%1.db").arg(stem));
    const QString storePath = QDir(cache).filePath(QStringLiteral("query-bench-%1.db").arg(stem));
    const QString optionsPath = QDir(cache).filePath(QStringLiteral("query-bench-%1-option.db").arg(stem));
    const QString dataFolder = QDir(cache).filePath(QStringLiteral("query-bench-data"));
    QDir().mkpath(dataFolder);
    try {
        if (!QFile::exists(storePath) || !QFile::exists(optionsPath)) {
            ensureMarketStore(marketPath, size);
            ensureQueryStore(marketPath, storePath, optionsPath);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "query_bench: %s\n", error.what());
        return 1;
    }

    QuietPrompt prompt;
    ui::setPrompt(&prompt);
    store::Database db;
    db.openExisting(storePath);
    query::QueryEngine engine(db);
    engine.setReadsRows(!rowsInStore);
    // The rows of a run whose result stayed in the store, read after the clock stops.
    auto readRows = [&db, rowsInStore](query::RunOutcome& outcome) {
        if (rowsInStore && outcome.completed())
            outcome.rows = db.query(outcome.viewerSelect);
    };
    const QList<QDate> dates = query::loadTradingDates(db);  // newest first
    const qint64 mtoRows = db.scalar(QStringLiteral("SELECT count(*) FROM mto")).toLongLong();
    const qint64 scrips = db.scalar(QStringLiteral("SELECT count(*) FROM ScripMaster")).toLongLong();
    std::printf("Store %s: %lld scrips, %lld trading days, %lld mto rows (%.0f MB)\n", qPrintable(storePath),
                static_cast<long long>(scrips), static_cast<long long>(dates.size()), static_cast<long long>(mtoRows),
                QFileInfo(storePath).size() / 1048576.0);

    QList<query::Exchange> exchanges;
    if (exchangeChoice == QLatin1String("all"))
        exchanges = {query::Exchange::Nse, query::Exchange::Bse, query::Exchange::Combined};
    else if (exchangeChoice == QLatin1String("bse"))
        exchanges = {query::Exchange::Bse};
    else if (exchangeChoice == QLatin1String("combined"))
        exchanges = {query::Exchange::Combined};
    else
        exchanges = {query::Exchange::Nse};

    QList<int> windows;
    for (const QString& w : windowChoice)
        windows.append(w == QLatin1String("all") ? static_cast<int>(dates.size()) : w.toInt());

    const QString capMessage = QStringLiteral("Enter a whole number of days from 1 to 30");
    std::printf("%-3s %-58s %-7s %-6s %6s %9s %9s %9s %8s  %s\n", "grp", "label", "exch", "window", "days", "day rows",
                "min s", "median s", "peak MB", "result");
    int slow = 0, runs = 0;
    double worstPeak = 0;
    for (const Case& c : makeCases(dates, dataFolder, optionsPath)) {
        if (!only.isEmpty() && !c.label.contains(only, Qt::CaseInsensitive))
            continue;
        if (std::any_of(skip.begin(), skip.end(), [&c](const QString& part) { return c.label.contains(part, Qt::CaseInsensitive); }))
            continue;
        for (const auto exchange : exchanges) {
            query::RunInputs exchangeInputs = c.base;
            if (exchangeChoice != QLatin1String("nse") || c.base.exchange != query::Exchange::Combined)
                exchangeInputs.exchange = exchange;
            Case windowed = c;
            windowed.base = exchangeInputs;
            QList<int> caseWindows = c.kind == WindowKind::OneDay ? QList<int>{0} : windows;
            // A scan that takes at most 30 days runs over 5 and 30 days instead.
            if (c.kind != WindowKind::OneDay && engine.run(withWindow(windowed, 31, dates)).message.startsWith(capMessage))
                caseWindows = {5, 30};
            for (int days : caseWindows) {
                query::RunInputs inputs;
                QList<double> seconds;
                query::RunOutcome outcome;
                resetPeakMemory();
                for (int r = 0; r < repeats; ++r) {
                    inputs = withWindow(windowed, days, dates);
                    QElapsedTimer timer;
                    timer.start();
                    outcome = engine.run(inputs);
                    seconds.append(static_cast<double>(timer.nsecsElapsed()) / 1e9);
                    // The whole history: as many days as the query can reach
                    // back (some need days before their window as well).
                    if (r == 0 && days > 250 && outcome.message.startsWith(QLatin1String("There are not enough"))) {
                        --days;
                        r = -1;
                        seconds.clear();
                    }
                }
                const double peak = peakMemoryMb();
                worstPeak = std::max(worstPeak, peak);
                readRows(outcome);
                std::sort(seconds.begin(), seconds.end());
                const double median = seconds.at(seconds.size() / 2);
                const int windowDays = days > 0 ? days : 1;
                const bool whole = days > 250;
                const bool miss = outcome.completed() && median > (whole ? 2.0 : 0.5);
                slow += miss ? 1 : 0;
                ++runs;
                QString result = outcome.completed() ? QStringLiteral("%1 rows").arg(outcome.rows.size())
                                                     : QString::fromLatin1(statusText(outcome.status));
                if (!outcome.completed() && !outcome.message.isEmpty())
                    result += QStringLiteral(": ") + outcome.message.left(60);
                if (checkPlain && outcome.completed()) {
                    query::setPlainStatementsOnly(true);
                    QElapsedTimer timer;
                    timer.start();
                    query::RunOutcome plain = engine.run(inputs);
                    const double plainSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
                    readRows(plain);
                    query::setPlainStatementsOnly(false);
                    QString difference;
                    result += sameRows(outcome.rows, plain.rows, difference)
                                  ? QStringLiteral(", plain %1 s agrees").arg(plainSeconds, 0, 'f', 3)
                                  : QStringLiteral(", plain %1 s DIFFERS: %2").arg(plainSeconds, 0, 'f', 3).arg(difference);
                }
                std::printf("%-3d %-58s %-7s %-6s %6d %9lld %9.3f %9.3f %8.0f  %s%s\n", c.group,
                            qPrintable(c.label.left(58)), qPrintable(exchangeShort(inputs.exchange)),
                            qPrintable(windowName(c.kind)), windowDays,
                            static_cast<long long>(windowDays) * static_cast<long long>(scrips), seconds.first(), median,
                            peak, qPrintable(result), miss ? "  SLOW" : "");
                std::fflush(stdout);
            }
        }
    }
    std::printf("%d of %d runs over their limit (0.5 s up to 250 days, 2 s over the whole history);"
                " highest peak %.0f MB\n",
                slow, runs, worstPeak);
    ui::setPrompt(nullptr);
    return 0;
}
