#include "masters/groups.h"

#include "store/database.h"
#include "store/recordset.h"
#include "store/storeerror.h"
#include "store/transaction.h"

#include <QSet>

namespace masters {

QStringList protectedGroupCodes()
{
    return {QStringLiteral("ALL"),   QStringLiteral("NIFTY"),      QStringLiteral("NIFTYJUN"),
            QStringLiteral("BANKS"), QStringLiteral("TOP 100 TO"), QStringLiteral("SOFTWARE")};
}

bool isProtectedGroup(const QString& typedCode)
{
    return protectedGroupCodes().contains(typedCode.trimmed().toUpper());
}

int addGroupLinks(store::Database& db, const QString& groupCode, const QList<qint64>& scrips)
{
    store::Statement insert(db, QStringLiteral("INSERT INTO LinkDetails (GrpCode, ScrCode) SELECT ?, ? WHERE NOT EXISTS "
                                               "(SELECT 1 FROM LinkDetails WHERE GrpCode = ? AND ScrCode = ?)"));
    QSet<qint64> seen;
    int written = 0;
    for (const qint64 scrip : scrips) {
        if (scrip == 0 || seen.contains(scrip))
            continue;
        seen.insert(scrip);
        insert.run({groupCode, scrip, groupCode, scrip});
        written += db.changes();
    }
    return written;
}

int saveGroup(store::Database& db, store::Recordset& groups, const QString& code, const QString& name,
              const QList<qint64>* newGroupScrips)
{
    store::Transaction transaction(db);
    int written = 0;
    if (newGroupScrips && !code.isEmpty() && !name.isEmpty())
        written = addGroupLinks(db, code, *newGroupScrips);
    groups.update();
    try {
        transaction.commit();
    } catch (const store::StoreError&) {
        // The row is in the recordset but not in the table: read it again.
        groups.requery();
        throw;
    }
    return written;
}

void deleteCurrentGroup(store::Database& db, store::Recordset& groups)
{
    const QVariant code = groups.value(QStringLiteral("GroupCode"));
    store::Transaction transaction(db);
    db.exec(QStringLiteral("DELETE FROM LinkDetails WHERE GrpCode = ?"), {code});
    groups.deleteCurrent();
    try {
        transaction.commit();
    } catch (const store::StoreError&) {
        groups.requery();
        throw;
    }
}

}  // namespace masters
