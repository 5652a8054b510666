// Times every query of the averages, ranking and price families on a store of
// 5,000 scrips x 2,500 trading days (12.5 million mto rows). The store is
// generated once with a fixed seed and kept under /tmp between runs.
//
//   query_bench [--rebuild] [--store PATH] [--only TEXT]   (TEXT: part of a label)

#include "query/catalogue.h"
#include "query/queryengine.h"
#include "query/tradingcalendar.h"
#include "store/database.h"
#include "store/datetext.h"
#include "store/schema.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sqlite3.h>
#include <stdexcept>
#include <vector>

namespace {

constexpr int kScrips = 5000;
constexpr int kDays = 2500;
constexpr quint64 kSeed = 20240105;
const QDate kNewestDay(2024, 12, 31);
const char* const kDefaultStore = "/tmp/tarvenix-query-bench-5000x2500-v1.db";

// splitmix64: small, fast and the same on every machine.
class Random {
public:
    explicit Random(quint64 seed) : m_state(seed) {}
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    double between(double low, double high) { return low + (high - low) * uniform(); }

private:
    quint64 m_state;
};

double round2(double value)
{
    return std::nearbyint(value * 100.0) / 100.0;
}

void check(int rc, sqlite3* db, const char* what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

void execRaw(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
}

QList<QDate> tradingDays()
{
    QList<QDate> days;  // oldest first
    for (QDate day = kNewestDay; days.size() < kDays; day = day.addDays(-1))
        if (day.dayOfWeek() <= 5)
            days.prepend(day);
    return days;
}

// Scrip i is listed on NSE only (every 20th), on BSE only (every 20th, offset
// by 10) or on both.
bool listedOnNse(int scrip) { return scrip % 20 != 10; }
bool listedOnBse(int scrip) { return scrip % 20 != 0; }

void fillStore(const QString& path)
{
    QFile::remove(path);
    {
        store::Database schemaDb;
        schemaDb.open(path);
        store::createMainSchema(schemaDb);
    }
    sqlite3* db = nullptr;
    check(sqlite3_open(path.toUtf8().constData(), &db), db, "open");
    execRaw(db, "PRAGMA journal_mode=DELETE; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-400000;");
    // Indexes are made once after the rows are in: far faster than keeping
    // them up to date row by row.
    execRaw(db, "DROP INDEX mto_day_scrip; DROP INDEX mto_scrip_day;");
    execRaw(db, "BEGIN");

    Random random(kSeed);
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(db, "INSERT INTO ScripMaster (srno, company, nsescrip, bsescrip) VALUES (?,?,?,?)", -1,
                             &insert, nullptr),
          db, "prepare");
    std::vector<QByteArray> nseCodes(kScrips + 1), bseCodes(kScrips + 1);
    for (int scrip = 1; scrip <= kScrips; ++scrip) {
        const QByteArray company = QStringLiteral("Company %1 Ltd").arg(scrip, 4, 10, QLatin1Char('0')).toUtf8();
        nseCodes[scrip] = listedOnNse(scrip) ? QStringLiteral("SCRIP%1").arg(scrip).toUtf8() : QByteArray();
        bseCodes[scrip] = listedOnBse(scrip) ? QByteArray::number(500000 + scrip) : QByteArray();
        sqlite3_bind_int(insert, 1, scrip);
        sqlite3_bind_text(insert, 2, company.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, nseCodes[scrip].constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 4, bseCodes[scrip].constData(), -1, SQLITE_TRANSIENT);
        check(sqlite3_step(insert), db, "scrip");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);

    execRaw(db, "INSERT INTO GroupMaster VALUES ('ALL', ' All Stocks'), ('Derivative', 'Derivatives F & O');"
                "INSERT INTO LinkDetails SELECT 'ALL', srno FROM ScripMaster;"
                "INSERT INTO LinkDetails SELECT 'Derivative', srno FROM ScripMaster WHERE srno % 25 = 1;");
    for (int sector = 1; sector <= 10; ++sector) {
        const QByteArray sql = QStringLiteral("INSERT INTO GroupMaster VALUES ('SEC%1', 'Sector %1');"
                                              "INSERT INTO LinkDetails SELECT 'SEC%1', srno FROM ScripMaster WHERE srno % 10 = %2;")
                                   .arg(sector, 2, 10, QLatin1Char('0'))
                                   .arg(sector % 10)
                                   .toUtf8();
        execRaw(db, sql.constData());
    }

    // Each scrip: a price that walks, a typical traded quantity, a typical
    // delivered share; BSE trades a fraction of NSE's quantity.
    struct Walk {
        double price, traded, delivered, bseShare;
    };
    std::vector<Walk> walks(kScrips + 1);
    for (int scrip = 1; scrip <= kScrips; ++scrip)
        walks[scrip] = {std::exp(random.between(std::log(10.0), std::log(5000.0))),
                        std::exp(random.between(std::log(1e3), std::log(5e6))), random.between(0.1, 0.9),
                        random.between(0.1, 0.5)};

    check(sqlite3_prepare_v2(db, "INSERT INTO mto VALUES (?,?,?,?,?,?,?,?,?,?,?,?)", -1, &insert, nullptr), db, "prepare");
    const QList<QDate> days = tradingDays();
    for (int d = 0; d < days.size(); ++d) {
        const QByteArray day = datetext::toStorage(days[d]).toUtf8();
        for (int scrip = 1; scrip <= kScrips; ++scrip) {
            Walk& walk = walks[scrip];
            walk.price = std::max(1.0, walk.price * (1.0 + random.between(-0.03, 0.03)));
            const double traded = std::floor(walk.traded * random.between(0.3, 2.5));
            const double delivered = std::floor(traded * std::clamp(walk.delivered + random.between(-0.1, 0.1), 0.0, 1.0));
            const double bseTraded = std::floor(traded * walk.bseShare * random.between(0.5, 1.5));
            const double bseDelivered = std::floor(bseTraded * std::clamp(walk.delivered + random.between(-0.1, 0.1), 0.0, 1.0));
            const double nsePrice = round2(walk.price);
            const double bsePrice = round2(walk.price * random.between(0.995, 1.005));
            const bool nse = listedOnNse(scrip), bse = listedOnBse(scrip);
            sqlite3_bind_text(insert, 1, day.constData(), static_cast<int>(day.size()), SQLITE_STATIC);
            sqlite3_bind_int(insert, 2, scrip);
            sqlite3_bind_text(insert, 3, nseCodes[scrip].constData(), -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 4, bseCodes[scrip].constData(), -1, SQLITE_STATIC);
            sqlite3_bind_double(insert, 5, nse ? traded : 0);
            sqlite3_bind_double(insert, 6, bse ? bseTraded : 0);
            sqlite3_bind_double(insert, 7, nse ? delivered : 0);
            sqlite3_bind_double(insert, 8, bse ? bseDelivered : 0);
            sqlite3_bind_double(insert, 9, nse && traded > 0 ? round2(delivered * 100 / traded) : 0);
            sqlite3_bind_double(insert, 10, bse && bseTraded > 0 ? round2(bseDelivered * 100 / bseTraded) : 0);
            sqlite3_bind_double(insert, 11, nse ? nsePrice : 0);
            sqlite3_bind_double(insert, 12, bse ? bsePrice : 0);
            check(sqlite3_step(insert), db, "mto");
            sqlite3_reset(insert);
        }
        if ((d + 1) % 250 == 0)
            std::fprintf(stderr, "  %d of %d days written\n", d + 1, kDays);
    }
    sqlite3_finalize(insert);

    // The price tables: a day's gainers, losers and new highs and lows for
    // the last year, and one 52-week row per scrip.
    check(sqlite3_prepare_v2(db, "INSERT INTO GainLoss VALUES (?,?,?,?,?,?)", -1, &insert, nullptr), db, "prepare");
    for (int d = days.size() - 250; d < days.size(); ++d) {
        const QByteArray day = datetext::toStorage(days[d]).toUtf8();
        for (int i = 0; i < 50; ++i) {
            const char* kind = i < 20 ? "G" : i < 40 ? "L" : i < 45 ? "U" : "D";
            const double previous = round2(random.between(10, 3000));
            const double change = kind[0] == 'G' ? random.between(1, 20) : kind[0] == 'L' ? -random.between(1, 20) : 0;
            const QByteArray script = nseCodes[1 + static_cast<int>(random.next() % kScrips)];
            sqlite3_bind_text(insert, 1, day.constData(), -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 2, script.isEmpty() ? "SCRIP1" : script.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(insert, 3, round2(previous * (1 + change / 100)));
            sqlite3_bind_double(insert, 4, previous);
            sqlite3_bind_double(insert, 5, round2(change));
            sqlite3_bind_text(insert, 6, kind, -1, SQLITE_STATIC);
            check(sqlite3_step(insert), db, "GainLoss");
            sqlite3_reset(insert);
        }
    }
    sqlite3_finalize(insert);
    execRaw(db, "INSERT INTO hilo SELECT nsescrip, max(nseclprice), min(nseclprice), 0 FROM mto, ScripMaster"
                " WHERE srno = scriptcode AND TransDate >= '2024-01-01' AND nsescrip <> '' GROUP BY nsescrip");
    execRaw(db, "COMMIT");
    std::fprintf(stderr, "  making the indexes\n");
    sqlite3_close(db);
    {
        store::Database indexDb;
        indexDb.open(path);
        store::createMainSchema(indexDb);  // makes the missing indexes
        indexDb.exec(QStringLiteral("CREATE TABLE bench_complete (scrips INTEGER, days INTEGER)"));
        indexDb.exec(QStringLiteral("INSERT INTO bench_complete VALUES (?, ?)"), {kScrips, kDays});
    }
}

bool storeIsComplete(const QString& path)
{
    if (!QFile::exists(path))
        return false;
    try {
        store::Database db;
        db.openExisting(path);
        return db.tableExists(QStringLiteral("bench_complete"));
    } catch (const std::exception&) {
        return false;
    }
}

struct Case {
    QString label;
    query::Exchange exchange;
    QString note;
    query::RunInputs inputs;
};

const char* statusText(query::RunStatus status)
{
    switch (status) {
    case query::RunStatus::Completed:
        return "completed";
    case query::RunStatus::Refused:
        return "refused";
    case query::RunStatus::NotBuilt:
        return "not built";
    case query::RunStatus::Failed:
        return "failed";
    case query::RunStatus::Stopped:
        return "stopped";
    }
    return "?";
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString path = QString::fromLatin1(kDefaultStore);
    bool rebuild = false;
    QString only;
    const QStringList arguments = app.arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--rebuild"))
            rebuild = true;
        else if (arguments[i] == QLatin1String("--store") && i + 1 < arguments.size())
            path = arguments[++i];
        else if (arguments[i] == QLatin1String("--only") && i + 1 < arguments.size())
            only = arguments[++i];
    }

    if (rebuild || !storeIsComplete(path)) {
        std::fprintf(stderr, "Generating %s (%d scrips x %d trading days)...\n", qPrintable(path), kScrips, kDays);
        QElapsedTimer fillTimer;
        fillTimer.start();
        fillStore(path);
        std::fprintf(stderr, "Generated in %.1f s\n", fillTimer.elapsed() / 1000.0);
    }

    store::Database db;
    db.openExisting(path);
    query::QueryEngine engine(db);
    const QList<QDate> dates = query::loadTradingDates(db);
    const qint64 mtoRows = db.scalar(QStringLiteral("SELECT count(*) FROM mto")).toLongLong();
    std::printf("Store: %s, %lld mto rows, %lld trading days\n", qPrintable(path), mtoRows,
                static_cast<long long>(dates.size()));

    const QDate first = dates.first();
    const QDate monthBack = dates.at(21);   // 22 trading days
    const QDate yearBack = dates.at(249);   // 250 trading days

    auto base = [&](int group, const QString& label, query::Exchange exchange) {
        query::RunInputs in;
        in.group = group;
        in.label = label;
        in.firstDate = first;
        in.secondDate = monthBack;
        in.exchange = exchange;
        in.groupCode = QStringLiteral("ALL");
        in.groupName = QStringLiteral(" All Stocks");
        if (group == 4)
            in.numberText = QStringLiteral("10");
        return in;
    };

    const QList<query::Exchange> exchanges{query::Exchange::Nse, query::Exchange::Bse, query::Exchange::Combined};
    QList<Case> cases;
    for (int group : {1, 4, 5}) {
        for (const QString& label : query::queryGroup(group).labels) {
            for (const auto exchange : exchanges) {
                if (label == QLatin1String("Top N Combined Query") && exchange == query::Exchange::Combined)
                    continue;  // refused by design
                if (group == 5 && exchange != query::Exchange::Nse)
                    continue;  // the price queries do not depend on the exchange
                cases.append({label, exchange, group == 1 ? QStringLiteral("22 days") : QString(), base(group, label, exchange)});
            }
        }
    }
    for (const auto exchange : exchanges) {
        Case c{QStringLiteral("Total Delivery Value - GroupWise"), exchange, QStringLiteral("22 days, all groups"),
               base(7, QStringLiteral("Total Delivery Value - GroupWise"), exchange)};
        cases.append(c);
    }
    {
        Case c{QStringLiteral("Total Delivery Value - GroupWise"), query::Exchange::Nse, QStringLiteral("250 days, all groups"),
               base(7, QStringLiteral("Total Delivery Value - GroupWise"), query::Exchange::Nse)};
        c.inputs.secondDate = yearBack;
        cases.append(c);
    }
    // Wider windows and filters.
    for (const auto exchange : exchanges) {
        Case c{QStringLiteral("Combined Report"), exchange, QStringLiteral("250 days"),
               base(1, QStringLiteral("Combined Report"), exchange)};
        c.inputs.secondDate = yearBack;
        cases.append(c);
    }
    {
        Case c{QStringLiteral("Average Traded Quantity [Between Dates]"), query::Exchange::Combined,
               QStringLiteral("250 days, group SEC03, price 100-1000"),
               base(1, QStringLiteral("Average Traded Quantity [Between Dates]"), query::Exchange::Combined)};
        c.inputs.secondDate = yearBack;
        c.inputs.groupCode = QStringLiteral("SEC03");
        c.inputs.range(query::RangeMeasure::Price) = {true, 100, 1000};
        cases.append(c);
    }
    {
        Case c{QStringLiteral("Top N Delivery Quantity"), query::Exchange::Combined,
               QStringLiteral("N 100, group SEC03, % delivery 40-100"),
               base(4, QStringLiteral("Top N Delivery Quantity"), query::Exchange::Combined)};
        c.inputs.numberText = QStringLiteral("100");
        c.inputs.groupCode = QStringLiteral("SEC03");
        c.inputs.range(query::RangeMeasure::DeliveryPercent) = {true, 40, 100};
        cases.append(c);
    }

    std::printf("%-46s %-9s %-38s %6s %9s %9s  %s\n", "label", "exchange", "variant", "rows", "first s", "median s",
                "status");
    int misses = 0;
    for (const auto& c : cases) {
        if (!only.isEmpty() && !c.label.contains(only))
            continue;
        QList<double> seconds;
        query::RunOutcome outcome;
        for (int repeat = 0; repeat < 3; ++repeat) {
            QElapsedTimer timer;
            timer.start();
            outcome = engine.run(c.inputs);
            seconds.append(timer.nsecsElapsed() / 1e9);
        }
        const double firstTime = seconds.first();
        std::sort(seconds.begin(), seconds.end());
        const double median = seconds.at(1);
        const bool miss = median > 0.5 || !outcome.completed();
        misses += miss ? 1 : 0;
        std::printf("%-46s %-9s %-38s %6lld %9.3f %9.3f  %s%s\n", qPrintable(c.label),
                    qPrintable(query::exchangeName(c.exchange)), qPrintable(c.note),
                    static_cast<long long>(outcome.rows.size()), firstTime, median, statusText(outcome.status),
                    miss ? "  MISS" : "");
        if (!outcome.completed())
            std::printf("    %s\n", qPrintable(outcome.message));
    }
    std::printf("%d of %lld runs over 0.5 s or not completed\n", misses, static_cast<long long>(cases.size()));
    return 0;
}
