#include "import/mtodeletion.h"

#include "query/tradingcalendar.h"
#include "store/database.h"
#include "store/datetext.h"
#include "store/transaction.h"

#include <algorithm>

namespace import {

QList<QDate> mtoTradingDays(store::Database& db)
{
    QList<QDate> days = query::loadTradingDates(db);
    std::reverse(days.begin(), days.end());
    return days;
}

std::optional<DeletionRange> readDeletionRange(const QString& fromText, const QString& toText, QString* message)
{
    auto refuse = [message](const QString& text) {
        if (message)
            *message = text;
        return std::nullopt;
    };
    const auto from = datetext::fromDisplay(fromText);
    const auto to = datetext::fromDisplay(toText);
    if (!from || !to)
        return refuse(deletionmessages::kSelectValidDate);
    if (*from > *to)
        return refuse(deletionmessages::kFirstDateLater);
    return DeletionRange{*from, *to};
}

qint64 deleteMtoRange(store::Database& db, const DeletionRange& range)
{
    store::Transaction transaction(db);
    db.exec(QStringLiteral("DELETE FROM mto WHERE TransDate BETWEEN ? AND ?"), {range.from, range.to});
    const qint64 deleted = db.changes();
    transaction.commit();
    return deleted;
}

namespace deletionmessages {

QString confirmation(const DeletionRange& range)
{
    if (range.from == range.to)
        return QStringLiteral("Delete all records of %1?").arg(datetext::toDisplay(range.from));
    return QStringLiteral("Delete all records from %1 to %2?")
        .arg(datetext::toDisplay(range.from), datetext::toDisplay(range.to));
}

}  // namespace deletionmessages

}  // namespace import
