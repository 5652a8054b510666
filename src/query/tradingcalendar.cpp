#include "query/tradingcalendar.h"

#include "query/statementreader.h"
#include "store/database.h"
#include "store/storeerror.h"

#include <sqlite3.h>

namespace query {

namespace {

// A day kept as yyyy-MM-dd text, read without a pattern; any other text as
// an ISO date.
QDate storedDay(const char* text, int length)
{
    auto digits = [text](int from, int count) {
        int value = 0;
        for (int i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    if (length == 10 && text[4] == '-' && text[7] == '-') {
        const int year = digits(0, 4), month = digits(5, 2), day = digits(8, 2);
        if (year >= 0 && month >= 0 && day >= 0) {
            const QDate date(year, month, day);
            if (date.isValid())
                return date;
        }
    }
    return QDate::fromString(QString::fromUtf8(text, length), Qt::ISODate);
}

}  // namespace

QList<QDate> loadTradingDates(store::Database& db)
{
    // One index seek per date instead of a DISTINCT over every row; the
    // dates are read straight from the statement.
    StatementReader rows(db.handle(), Sql("WITH RECURSIVE day(d) AS ("
                                          " SELECT max(TransDate) FROM mto"
                                          " UNION ALL"
                                          " SELECT (SELECT max(TransDate) FROM mto WHERE TransDate < day.d) FROM day"
                                          " WHERE day.d IS NOT NULL)"
                                          " SELECT d FROM day WHERE d IS NOT NULL"));
    QList<QDate> dates;
    while (rows.next()) {
        if (rows.type(0) == SQLITE_TEXT || rows.type(0) == SQLITE_BLOB) {
            const QByteArray text = rows.bytes(0);
            dates.append(storedDay(text.constData(), static_cast<int>(text.size())));
        } else {
            dates.append(QDate());
        }
    }
    if (!rows.error().isEmpty() || !rows.prepared())
        throw store::StoreError(rows.error());
    return dates;
}

TradingDatesCache::Mark TradingDatesCache::markOf(store::Database& db)
{
    Mark mark;
    mark.handle = db.handle();
    mark.path = db.path();
    mark.changes = sqlite3_total_changes64(db.handle());
    StatementReader version(db.handle(), Sql("PRAGMA data_version"));
    // Unknown when it cannot be read: the dates are then read again.
    mark.dataVersion = version.next() ? version.integer(0) : -1;
    if (mark.dataVersion < 0)
        mark.handle = nullptr;
    return mark;
}

const QList<QDate>& TradingDatesCache::dates(store::Database& db)
{
    const Mark now = markOf(db);
    if (!(now == m_mark)) {
        m_dates = loadTradingDates(db);
        m_mark = now;
    }
    m_checked = true;
    return m_dates;
}

void TradingDatesCache::ownChangesDone(store::Database& db)
{
    // Only the changes since the dates were last checked, on this
    // connection alone, are taken as harmless.
    if (!m_checked)
        return;
    m_checked = false;
    const Mark now = markOf(db);
    if (now.handle == m_mark.handle && now.path == m_mark.path && now.dataVersion == m_mark.dataVersion)
        m_mark.changes = now.changes;
}

TradingCalendar::TradingCalendar(QList<QDate> newestFirst, const QDate& firstDate)
    : m_dates(std::move(newestFirst)), m_firstIndex(static_cast<int>(m_dates.indexOf(firstDate)))
{
    if (!firstDate.isValid())
        m_firstIndex = -1;
}

int TradingCalendar::daysBefore() const
{
    return m_firstIndex < 0 ? 0 : static_cast<int>(m_dates.size()) - m_firstIndex - 1;
}

std::optional<QDate> TradingCalendar::dayBefore(int k) const
{
    if (m_firstIndex < 0 || k < 0 || k > daysBefore())
        return std::nullopt;
    return m_dates.at(m_firstIndex + k);
}

}  // namespace query
