#include "viewer/groupfromresult.h"

#include "masters/groups.h"
#include "store/transaction.h"

#include <QSet>

namespace viewer {

ResultScrips collectResultScrips(store::Database& db, const store::Rows& rows)
{
    return collectResultScrips(db, rows.columns, [&rows](const RecordVisitor& visit) {
        for (const QVariantList& row : rows.rows)
            visit(row);
    });
}

ResultScrips collectResultScrips(store::Database& db, const QList<store::Column>& columns,
                                 const RecordSource& records)
{
    ResultScrips collected;
    const int stockColumn = store::Rows{columns, {}}.columnIndex(QStringLiteral("stock"));
    if (stockColumn < 0) {
        collected.problem = QStringLiteral("This result has no stock column, so no group can be saved from it.");
        return collected;
    }
    QSet<QString> seen;
    records([&](const QVariantList& row) {
        const QVariant value = row.value(stockColumn);
        if (value.isNull())
            return;
        const QString name = value.toString();
        if (name.isEmpty() || seen.contains(name))
            return;
        seen.insert(name);
        collected.names.append(name);
    });
    if (collected.names.isEmpty()) {
        collected.problem = QStringLiteral("This result names no stock, so no group can be saved from it.");
        return collected;
    }
    for (const QString& name : std::as_const(collected.names)) {
        const QVariant srno =
            db.scalar(QStringLiteral("SELECT srno FROM ScripMaster WHERE company = ? ORDER BY srno LIMIT 1"), {name});
        collected.scrips.append(srno.isNull() ? 0 : srno.toLongLong());
    }
    return collected;
}

QStringList groupNamesForList(store::Database& db)
{
    QStringList names;
    const store::Rows rows = db.query(QStringLiteral("SELECT GroupName FROM GroupMaster ORDER BY GroupName"));
    for (const QVariantList& row : rows.rows)
        names.append(row.value(0).toString());
    return names;
}

std::optional<int> addScripsToGroup(store::Database& db, const QString& groupName, const QList<qint64>& scrips)
{
    const QVariant code = db.scalar(QStringLiteral("SELECT GroupCode FROM GroupMaster WHERE GroupName = ? LIMIT 1"),
                                    {groupName.trimmed()});
    if (code.isNull())
        return std::nullopt;
    store::Transaction transaction(db);
    const int added = masters::addGroupLinks(db, code.toString(), scrips);
    transaction.commit();
    return added;
}

}  // namespace viewer
