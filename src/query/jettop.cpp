#include "query/jettop.h"

#include "store/database.h"

#include <QStringList>

namespace query {

QList<ResultColumn> fillerColumns(int count, int first)
{
    QList<ResultColumn> columns;
    for (int width = first; width < first + count; ++width)
        columns.append({QStringLiteral("space(1)"), QString(width, QChar(0x00A0))});
    return columns;
}

Sql jetTop(int n, const QList<ResultColumn>& columns, const Sql& fromWhere, const QString& orderKey, bool descending,
           const QString& tieHeading)
{
    const QString direction = descending ? QStringLiteral(" DESC") : QString();
    QStringList inner, outer;
    for (const auto& column : columns) {
        const QString heading = store::quoteIdentifier(column.heading);
        inner.append(column.expression + QStringLiteral(" AS ") + heading);
        outer.append(heading);
    }
    // rank() gives tied rows the same rank and skips the ranks after them, so
    // "rank <= n" keeps exactly the rows whose key reaches the n-th key.
    return Sql(QStringLiteral("SELECT %1 FROM (SELECT %2, (%3) AS jet_key, rank() OVER (ORDER BY (%3)%4) AS jet_rank ")
                   .arg(outer.join(QLatin1Char(',')), inner.join(QLatin1Char(',')), orderKey, direction)) +
           fromWhere + ") AS ranked WHERE jet_rank <= " + Sql::value(n) +
           Sql(QStringLiteral(" ORDER BY jet_key%1, %2").arg(direction, store::quoteIdentifier(tieHeading)));
}

}  // namespace query
