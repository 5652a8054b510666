#include "query/tradingcalendar.h"

#include "store/database.h"

namespace query {

QList<QDate> loadTradingDates(store::Database& db)
{
    // One index seek per date instead of a DISTINCT over every row.
    const store::Rows rows = db.query(QStringLiteral(
        "WITH RECURSIVE day(d) AS ("
        " SELECT max(TransDate) FROM mto"
        " UNION ALL"
        " SELECT (SELECT max(TransDate) FROM mto WHERE TransDate < day.d) FROM day WHERE day.d IS NOT NULL)"
        " SELECT d FROM day WHERE d IS NOT NULL"));
    QList<QDate> dates;
    dates.reserve(rows.size());
    for (const auto& row : rows.rows)
        dates.append(row.at(0).toDate());
    return dates;
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
