#include "query/worktable.h"

#include "store/transaction.h"

#include <QStringList>

namespace query {

void remakeWorkTable(store::Database& db, const QString& name, const QList<store::Column>& columns,
                     const Sql& select)
{
    QStringList definitions;
    for (const auto& column : columns) {
        QString definition = store::quoteIdentifier(column.name) + QLatin1Char(' ') + store::declaredTypeFor(column.kind);
        if (column.kind == store::ColumnKind::Text)
            definition += QLatin1String(" COLLATE NOCASE");
        definitions.append(definition);
    }
    store::Transaction transaction(db);
    db.dropIfExists(name);
    db.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(store::quoteIdentifier(name), definitions.join(QLatin1String(", "))));
    db.exec(QStringLiteral("INSERT INTO %1 ").arg(store::quoteIdentifier(name)) + select.text, select.params);
    transaction.commit();
}

void remakeTable(store::Database& db, const QString& name, const Sql& select)
{
    store::Transaction transaction(db);
    db.dropIfExists(name);
    db.makeTable(name, select.text, select.params);
    transaction.commit();
}

}  // namespace query
