#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace store {
class Database;
}

namespace query {

// The distinct trading dates of `mto`, newest first, read by stepping down
// the date index (a few milliseconds however many rows the store holds).
QList<QDate> loadTradingDates(store::Database& db);

// The trading dates of a store kept between runs: read again only when the
// store may have changed since, that is when the connection has changed rows
// since the dates were read (or since the caller said the changes were its
// own and left mto alone), when another connection has committed, or when
// the connection is another.
class TradingDatesCache {
public:
    // The dates of loadTradingDates(), newest first.
    const QList<QDate>& dates(store::Database& db);
    // The rows the connection changed since dates() was last called left
    // mto as it was.
    void ownChangesDone(store::Database& db);

private:
    struct Mark {
        const void* handle = nullptr;
        QString path;
        qint64 changes = -1;
        qint64 dataVersion = -1;
        bool operator==(const Mark&) const = default;
    };
    static Mark markOf(store::Database& db);

    Mark m_mark;
    QList<QDate> m_dates;
    bool m_checked = false;
};

// The trading dates seen from the query's first date: "the k-th trading day
// before" counts list entries, never calendar days.
class TradingCalendar {
public:
    TradingCalendar() = default;
    TradingCalendar(QList<QDate> newestFirst, const QDate& firstDate);

    const QList<QDate>& dates() const { return m_dates; }
    // Whether the first date is one of the trading dates.
    bool holdsFirstDate() const { return m_firstIndex >= 0; }
    // Trading days stored before the first date.
    int daysBefore() const;
    // The trading day `k` entries before the first date (k = 0 is the first
    // date itself), or nothing when the store holds no such day.
    std::optional<QDate> dayBefore(int k) const;

private:
    QList<QDate> m_dates;
    int m_firstIndex = -1;
};

}  // namespace query
