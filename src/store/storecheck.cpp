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
        // One row may hold several findings, a line each, under a heading
        // line that names the schema ("*** in database main ***").
        for (const QVariantList& row : rows.rows) {
            for (const QString& line : row.value(0).toString().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
                const QString finding = line.trimmed();
                if (finding != QLatin1String("ok") && !finding.startsWith(QLatin1String("***")))
                    problems.append(finding);
            }
        }
        return problems;
    } catch (const StoreError& error) {
        if (stop && stop->load())
            return {};
        // The check itself may stop at damage it cannot read past.
        return {db.isOpen() ? QString::fromUtf8(sqlite3_errmsg(db.handle())) : error.message()};
    }
}

}  // namespace store
