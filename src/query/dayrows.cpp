#include "query/dayrows.h"

#include "query/plainstatements.h"
#include "query/sql.h"
#include "query/worktable.h"
#include "store/database.h"

#include <algorithm>

namespace query {

namespace {

// Sorting this many day rows at once takes about 150 MB; longer lists are
// read scrip by scrip.
constexpr qint64 kDefaultRowsSortedAtOnce = 1500000;
qint64 g_rowsSortedAtOnce = kDefaultRowsSortedAtOnce;

}  // namespace

void makeFillerRow(store::Database& db)
{
    remakeWorkTable(db, kFillerRow, {{QStringLiteral("blank"), store::ColumnKind::Text}},
                    Sql(QStringLiteral("select space(1)")));
}

QString declaredFiller(int width)
{
    return kFillerRow + QStringLiteral(".blank as ") + store::quoteIdentifier(QString(width, QChar(0x00A0)));
}

QString declaredFillers(int count, int first)
{
    QString text;
    for (int width = first; width < first + count; ++width)
        text += QLatin1Char(',') + declaredFiller(width);
    return text;
}

void setRowsSortedAtOnce(qint64 rows)
{
    g_rowsSortedAtOnce = rows > 0 ? rows : kDefaultRowsSortedAtOnce;
}

bool readScripByScrip(RunContext& context, const QDate& one, const QDate& other)
{
    if (plainStatementsOnly())
        return false;
    const QDate from = std::min(one, other), to = std::max(one, other);
    const QList<QDate>& dates = context.state.calendar.dates();
    const qint64 days = std::count_if(dates.begin(), dates.end(), [&](const QDate& day) { return day >= from && day <= to; });
    const qint64 scrips = context.db.scalar(QStringLiteral("select count(*) from ScripMaster")).toLongLong();
    return days * scrips > g_rowsSortedAtOnce;
}

}  // namespace query
