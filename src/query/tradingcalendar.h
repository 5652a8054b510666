#pragma once

#include <QDate>
#include <QList>
#include <optional>

namespace store {
class Database;
}

namespace query {

// The distinct trading dates of `mto`, newest first, read by stepping down
// the date index (a few milliseconds however many rows the store holds).
QList<QDate> loadTradingDates(store::Database& db);

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
