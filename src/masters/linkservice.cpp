#include "masters/linkservice.h"

#include "store/database.h"
#include "store/transaction.h"

#include <QSet>

namespace masters {

namespace {

QList<ScripEntry> readScrips(store::Database& db, const QString& sql, const store::Params& params,
                             const ListProgress& progress)
{
    const store::Rows rows = db.query(sql, params);
    QList<ScripEntry> scrips;
    scrips.reserve(rows.size());
    const int count = static_cast<int>(rows.size());
    if (progress && count > 0)
        progress(0, count);
    for (int i = 0; i < count; ++i) {
        scrips.append({rows.rows[i][0].toLongLong(), rows.rows[i][1].toString()});
        if (progress && i + 1 < count)
            progress(i + 1, count);
    }
    return scrips;
}

}  // namespace

QList<GroupEntry> getGrpCode(store::Database& db)
{
    QList<GroupEntry> groups;
    for (const auto& row : db.query(QStringLiteral("SELECT GroupCode, GroupName FROM GroupMaster ORDER BY GroupName")).rows)
        groups.append({row[0].toString(), row[1].toString()});
    return groups;
}

QList<ScripEntry> getScripCode(store::Database& db)
{
    return readScrips(db, QStringLiteral("SELECT srno, company FROM ScripMaster ORDER BY company"), {}, {});
}

QList<ScripCodes> allScripCodes(store::Database& db)
{
    QList<ScripCodes> scrips;
    for (const auto& row :
         db.query(QStringLiteral("SELECT srno, company, nsescrip, bsescrip FROM ScripMaster ORDER BY rowid")).rows)
        scrips.append({row[0].toLongLong(), row[1].toString(), row[2].toString(), row[3].toString()});
    return scrips;
}

LinkedScripts getLinkedScripts(store::Database& db, const QString& grpCode, const ListProgress& progress)
{
    if (progress)
        progress(10, 100);
    LinkedScripts lists;
    lists.unlinked = readScrips(db,
                                QStringLiteral("SELECT srno, company FROM ScripMaster WHERE NOT EXISTS "
                                               "(SELECT 1 FROM LinkDetails WHERE GrpCode = ? AND ScrCode = ScripMaster.srno) "
                                               "ORDER BY company"),
                                {grpCode}, progress);
    lists.linked = readScrips(db,
                              QStringLiteral("SELECT srno, company FROM ScripMaster WHERE srno IN "
                                             "(SELECT ScrCode FROM LinkDetails WHERE GrpCode = ?) ORDER BY company"),
                              {grpCode}, progress);
    if (progress)
        progress(0, 100);
    return lists;
}

void SaveLink(store::Database& db, const QString& grpCode, qint64 ScrCode)
{
    db.exec(QStringLiteral("INSERT INTO LinkDetails (GrpCode, ScrCode) VALUES (?, ?)"), {grpCode, ScrCode});
}

void saveMembership(store::Database& db, const QString& grpCode, const QList<qint64>& members)
{
    store::Transaction transaction(db);
    db.exec(QStringLiteral("DELETE FROM LinkDetails WHERE GrpCode = ?"), {grpCode});
    QSet<qint64> written;
    for (const qint64 member : members) {
        if (member == 0 || written.contains(member))
            continue;
        SaveLink(db, grpCode, member);
        written.insert(member);
    }
    transaction.commit();
}

}  // namespace masters
