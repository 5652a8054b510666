#include "query/windowreading.h"

#include "query/statementreader.h"
#include "store/database.h"
#include "store/datetext.h"
#include "store/jetfunctions.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <thread>

#ifdef __linux__
#include <sched.h>
#endif

namespace query::windowreading {

Sql daysOfWindow(const QVariant& from, const QVariant& to, bool newestFirst)
{
    if (newestFirst)
        return Sql("WITH RECURSIVE summary_days(day) AS (SELECT max(TransDate) FROM mto WHERE TransDate <= ") +
               Sql::value(to) +
               " UNION ALL SELECT (SELECT max(TransDate) FROM mto WHERE TransDate < summary_days.day) FROM summary_days"
               " WHERE summary_days.day > " +
               Sql::value(from) + ") ";
    return Sql("WITH RECURSIVE summary_days(day) AS (SELECT min(TransDate) FROM mto WHERE TransDate >= ") +
           Sql::value(from) +
           " UNION ALL SELECT (SELECT min(TransDate) FROM mto WHERE TransDate > summary_days.day) FROM summary_days"
           " WHERE summary_days.day < " +
           Sql::value(to) + ") ";
}

Sql withinWindow(const QVariant& from, const QVariant& to, bool newestFirst)
{
    return newestFirst ? Sql(" AND summary_days.day >= ") + Sql::value(from)
                       : Sql(" AND summary_days.day <= ") + Sql::value(to);
}

std::vector<QByteArray> tradingDays(store::Database& db, const QDate& from, const QDate& to)
{
    std::vector<QByteArray> days;
    StatementReader rows(db.handle(), daysOfWindow(from, to) + "SELECT day FROM summary_days WHERE day IS NOT NULL" +
                                          withinWindow(from, to));
    while (rows.next())
        days.push_back(rows.bytes(0));
    return days;
}

ScripRange scripRange(store::Database& db)
{
    // Two subqueries: each is one step down an index.
    ScripRange range;
    StatementReader rows(db.handle(), Sql("SELECT (SELECT min(scriptcode) FROM mto), (SELECT max(scriptcode) FROM mto)"));
    if (rows.next() && !rows.isNull(0)) {
        range.low = rows.integer(0);
        range.high = rows.integer(1);
    }
    return range;
}

Sql scripShare(const QString& column, const ScripRange& range, int part, int parts)
{
    const qint64 span = std::max<qint64>(1, range.count());
    const qint64 low = range.low + span * part / parts;
    const qint64 high = range.low + span * (part + 1) / parts - 1;
    return Sql(QStringLiteral(" AND %1 BETWEEN ").arg(column)) + Sql::value(low) + " AND " + Sql::value(high);
}

namespace {
constexpr double kRowsPerShare = 150000;
std::atomic<double> g_rowsPerShare{kRowsPerShare};
}  // namespace

double rowsPerShare()
{
    return g_rowsPerShare;
}

void setRowsPerShare(double rows)
{
    g_rowsPerShare = rows > 0 ? rows : kRowsPerShare;
}

namespace {
int usableCores()
{
#ifdef __linux__
    // The cores this process may run on (fewer than the machine's when it
    // is bound to some): more threads than that only take turns.
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return CPU_COUNT(&set);
#endif
    return static_cast<int>(std::thread::hardware_concurrency());
}
}  // namespace

int shareCount(store::Database& db, double rows, Reading reading)
{
    const int cores = std::clamp(usableCores(), 1, 8);
    const int shares = static_cast<int>(std::clamp(rows / rowsPerShare(), 1.0, static_cast<double>(cores)));
    if (shares == 1)
        return 1;
    // Other connections see only what is committed.
    const QString path = db.path();
    const bool written = reading == Reading::AnyTable && sqlite3_txn_state(db.handle(), "main") == SQLITE_TXN_WRITE;
    if (path.isEmpty() || path == QLatin1String(":memory:") || written ||
        db.scalar(QStringLiteral("PRAGMA main.journal_mode")).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
        return 1;
    return shares;
}

int readShares(store::Database& db, int shares, const std::function<void(int parts)>& prepare,
               const std::function<Sql(int part, int parts)>& statementOf,
               const std::function<void(int part, StatementReader& rows)>& consume, QString& error)
{
    auto readOn = [&](sqlite3* connection, int part, int parts, QString& failure) {
        StatementReader rows(connection, statementOf(part, parts));
        if (!rows.prepared()) {
            failure = rows.error();
            return;
        }
        consume(part, rows);
        failure = rows.error();
    };
    if (shares > 1) {
        prepare(shares);
        std::vector<QString> failures(static_cast<size_t>(shares));
        std::vector<char> opened(static_cast<size_t>(shares), 0);
        std::vector<std::thread> threads;
        const QByteArray file = db.path().toUtf8();
        for (int part = 0; part < shares; ++part) {
            threads.emplace_back([&, part] {
                // A connection of its own, used by this thread alone: no
                // locking around each call. It passes over its pages once.
                sqlite3* connection = nullptr;
                if (sqlite3_open_v2(file.constData(), &connection, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) !=
                    SQLITE_OK) {
                    sqlite3_close(connection);
                    return;
                }
                opened[static_cast<size_t>(part)] = 1;
                sqlite3_busy_timeout(connection, 5000);
                sqlite3_exec(connection, "PRAGMA cache_size=-4096", nullptr, nullptr, nullptr);
                store::registerJetFunctions(connection);
                readOn(connection, part, shares, failures[static_cast<size_t>(part)]);
                sqlite3_close(connection);
            });
        }
        for (auto& thread : threads)
            thread.join();
        if (std::all_of(opened.begin(), opened.end(), [](char o) { return o != 0; })) {
            for (const QString& failure : failures)
                if (!failure.isEmpty())
                    error = failure;
            return shares;
        }
    }
    prepare(1);
    readOn(db.handle(), 0, 1, error);
    return 1;
}

}  // namespace query::windowreading
