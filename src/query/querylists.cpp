#include "query/querylists.h"

#include "store/database.h"

namespace query {

QList<ListedScrip> readListedScrips(store::Database& db,
                                    const std::function<void(qsizetype done, qsizetype total)>& progress)
{
    const store::Rows rows =
        db.query(QStringLiteral("select srno, company, nsescrip, bsescrip from scripmaster order by company"));
    QList<ListedScrip> scrips;
    scrips.reserve(rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QVariantList& row = rows.rows.at(i);
        scrips.append({row.at(0).toLongLong(), row.at(1).toString(), row.at(2).toString(), row.at(3).toString()});
        if (progress)
            progress(i + 1, rows.size());
    }
    return scrips;
}

QList<ListedGroup> readListedGroups(store::Database& db)
{
    const store::Rows rows = db.query(QStringLiteral("Select GroupCode, GroupName from GroupMaster order by groupname"));
    QList<ListedGroup> groups;
    groups.reserve(rows.size());
    for (const QVariantList& row : rows.rows)
        groups.append({row.at(0).toString(), row.at(1).toString()});
    return groups;
}

QList<ListedScrip> readGroupMembers(store::Database& db, const QString& groupCode)
{
    const store::Rows rows =
        db.query(QStringLiteral("Select company, srno from ScripMaster Where Exists(Select ScrCode From LinkDetails "
                                "Where GrpCode = ? And ScrCode = srno) order by company"),
                 {groupCode});
    QList<ListedScrip> members;
    members.reserve(rows.size());
    for (const QVariantList& row : rows.rows)
        members.append({row.at(1).toLongLong(), row.at(0).toString(), {}, {}});
    return members;
}

store::Recordset readGroupsOfScrip(store::Database& db, qint64 srno)
{
    return store::Recordset::fromQuery(
        db,
        QStringLiteral(" SELECT GroupMaster.GroupName FROM GroupMaster INNER JOIN LinkDetails ON "
                       "GroupMaster.GroupCode = LinkDetails.GrpCode where ScrCode = ? "),
        {srno});
}

}  // namespace query
