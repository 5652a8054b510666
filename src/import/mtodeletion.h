#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace store {
class Database;
}

namespace import {

// The trading days held in mto, earliest first.
QList<QDate> mtoTradingDays(store::Database& db);

// A range of days to delete, read from the two date texts the user chose.
struct DeletionRange {
    QDate from;
    QDate to;
};

// Reads the "From" and "To" texts (dd/MMM/yyyy). Nothing, with the message
// for the user in `message`, when a text is empty or not a date, or when
// "From" is later than "To".
std::optional<DeletionRange> readDeletionRange(const QString& fromText, const QString& toText, QString* message);

// Deletes every mto row from `range.from` to `range.to`, both days included,
// in one transaction. Returns the rows deleted; raises store::StoreError
// (nothing deleted) when the store fails.
qint64 deleteMtoRange(store::Database& db, const DeletionRange& range);

namespace deletionmessages {
inline const QString kSelectValidDate = QStringLiteral("Select A Valid Date ");
inline const QString kFirstDateLater = QStringLiteral("First Date < Second Date");
inline const QString kDeleted = QStringLiteral("Delete Successfully Completed ..... ");
// The question asked before anything is deleted.
QString confirmation(const DeletionRange& range);
}  // namespace deletionmessages

}  // namespace import
