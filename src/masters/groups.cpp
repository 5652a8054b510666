#include "masters/groups.h"

#include "store/database.h"
#include "store/recordset.h"
#include "store/storeerror.h"
#include "store/transaction.h"

#include <QSet>
#include <functional>

namespace masters {

namespace {

// Runs `change`, which writes the store and `groups`, in one transaction.
// When the commit fails, the store is rolled back but the recordset holds the
// change: it reads the rows again once the rollback is done, back on the
// group `code` where it is there, so that a second save writes that group.
void changeGroups(store::Database& db, store::Recordset& groups, const QString& code,
                  const std::function<void()>& change)
{
    bool changed = false;
    try {
        store::Transaction transaction(db);
        change();
        changed = true;
        transaction.commit();
    } catch (const store::StoreError&) {
        if (changed) {
            groups.requery();
            if (!groups.find(QStringLiteral("GroupCode"), code))
                groups.moveFirst();
        }
        throw;
    }
}

}  // namespace

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
    int written = 0;
    changeGroups(db, groups, code, [&] {
        if (newGroupScrips && !code.isEmpty() && !name.isEmpty())
            written = addGroupLinks(db, code, *newGroupScrips);
        groups.update();
    });
    return written;
}

void deleteCurrentGroup(store::Database& db, store::Recordset& groups)
{
    const QString code = groups.value(QStringLiteral("GroupCode")).toString();
    changeGroups(db, groups, code, [&] {
        db.exec(QStringLiteral("DELETE FROM LinkDetails WHERE GrpCode = ?"), {code});
        groups.deleteCurrent();
    });
}

}  // namespace masters
