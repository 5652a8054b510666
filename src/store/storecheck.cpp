#include "store/storecheck.h"

#include "store/database.h"
#include "store/storeerror.h"

#include <sqlite3.h>

namespace store {

QStringList quickCheck(const QString& path, const std::atomic_bool* stop)
{
    Database db;
    try {
        db.openExisting(path);
        if (stop) {
            sqlite3_progress_handler(
                db.handle(), 10000,
                [](void* flag) { return static_cast<const std::atomic_bool*>(flag)->load() ? 1 : 0; },
                const_cast<std::atomic_bool*>(stop));
        }
        const Rows rows = db.query(QStringLiteral("PRAGMA quick_check"));
        QStringList problems;
        for (const QVariantList& row : rows.rows)
            if (row.value(0).toString() != QLatin1String("ok"))
                problems.append(row.value(0).toString());
        return problems;
    } catch (const StoreError& error) {
        if (stop && stop->load())
            return {};
        return {error.message()};
    }
}

}  // namespace store
