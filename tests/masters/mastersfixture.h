#pragma once

#include "store/database.h"

#include <QList>
#include <QString>
#include <ostream>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Rows for the master tables, written straight into a test store.
namespace fixture {

inline qint64 addScrip(store::Database& db, const QString& company, const QString& nse, const QString& bse)
{
    db.exec(QStringLiteral("INSERT INTO ScripMaster (company, nsescrip, bsescrip) VALUES (?, ?, ?)"), {company, nse, bse});
    return db.lastInsertId();
}

inline void addGroup(store::Database& db, const QString& code, const QString& name)
{
    db.exec(QStringLiteral("INSERT INTO GroupMaster (GroupCode, GroupName) VALUES (?, ?)"), {code, name});
}

inline void link(store::Database& db, const QString& code, qint64 srno)
{
    db.exec(QStringLiteral("INSERT INTO LinkDetails (GrpCode, ScrCode) VALUES (?, ?)"), {code, srno});
}

// The scrip numbers linked to `code`, in ascending order.
inline QList<qint64> members(store::Database& db, const QString& code)
{
    QList<qint64> result;
    for (const auto& row :
         db.query(QStringLiteral("SELECT ScrCode FROM LinkDetails WHERE GrpCode = ? ORDER BY ScrCode"), {code}).rows)
        result.append(row[0].toLongLong());
    return result;
}

inline int count(store::Database& db, const QString& table)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(store::quoteIdentifier(table))).toInt();
}

// Makes every insert of scrip `srno` into LinkDetails fail, as a broken
// write would.
inline void failLinksOf(store::Database& db, qint64 srno)
{
    db.exec(QStringLiteral("CREATE TRIGGER refuse_link BEFORE INSERT ON LinkDetails WHEN NEW.ScrCode = %1 "
                           "BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END")
                .arg(srno));
}

}  // namespace fixture
