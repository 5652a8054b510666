#include "viewer/resultsort.h"

#include <QStringList>

namespace viewer {

namespace {

// Blanks only: a filler column's no-break spaces are part of its name.
QString trimBlanks(const QString& text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

std::optional<bool> ascendingFromText(const QString& orderText)
{
    const QString order = trimBlanks(orderText);
    if (order.isEmpty() || order.compare(QLatin1String("Asc"), Qt::CaseInsensitive) == 0)
        return true;
    if (order.compare(QLatin1String("Desc"), Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

}  // namespace

int columnPosition(const QList<store::Column>& columns, const QString& text)
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].name == text)
            return i;
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

SortOrder buildSortOrder(const QList<store::Column>& columns, const QList<SortRowInput>& rows)
{
    SortOrder order;
    for (int r = 0; r < rows.size(); ++r) {
        const SortRowInput& row = rows[r];
        const QString columnText = trimBlanks(row.columnText);
        if (columnText.isEmpty())
            continue;
        const int position = columnPosition(columns, columnText);
        if (position < 0) {
            order.problem = QStringLiteral("\"%1\" is not a column of this result.").arg(columnText);
            return order;
        }
        const std::optional<bool> ascending = ascendingFromText(row.orderText);
        if (!ascending) {
            order.problem = QStringLiteral("Please choose Asc or Desc as the sorting order of \"%1\".").arg(columnText);
            return order;
        }
        // The first row's column goes by its number; a first key from a later
        // row goes by its name; every key after the first by its number.
        QString key;
        if (order.keys.isEmpty() && r > 0)
            key = QLatin1Char('[') + columns[position].name + QLatin1Char(']');
        else
            key = QString::number(position + 1);
        key += QLatin1Char(' ') + row.orderText;
        order.clause += (order.keys.isEmpty() ? QString() : QStringLiteral(",")) + key;
        order.keys.append({position, *ascending});
    }
    return order;
}

QString refreshSelectText(const QString& clause)
{
    const QString select = QStringLiteral("Select * from ") + kResultTable;
    return trimBlanks(clause).isEmpty() ? select : select + QStringLiteral(" order by ") + clause;
}

QString refreshStatement(const QList<SortKey>& keys)
{
    QString statement = QStringLiteral("SELECT * FROM ") + store::quoteIdentifier(kResultTable);
    QStringList terms;
    for (const SortKey& key : keys)
        terms.append(QString::number(key.column + 1) + (key.ascending ? QLatin1String(" ASC") : QLatin1String(" DESC")));
    if (!terms.isEmpty())
        statement += QStringLiteral(" ORDER BY ") + terms.join(QStringLiteral(", "));
    return statement;
}

bool isFillerColumn(const QString& name)
{
    if (name.isEmpty())
        return false;
    for (const QChar c : name)
        if (c != QChar(0x00A0))
            return false;
    return true;
}

std::optional<HeaderSort::Direction> HeaderSort::click(int index, const QString& name)
{
    m_column = name;
    m_columnIndex = index;
    if (isFillerColumn(name))
        return std::nullopt;
    Direction direction = Direction::Ascending;
    if (name == m_previousColumn && m_descendingNext) {
        direction = Direction::Descending;
        m_descendingNext = false;
    } else {
        m_descendingNext = true;
    }
    m_direction = direction == Direction::Ascending ? QStringLiteral("Asc") : QStringLiteral("Desc");
    m_previousColumn = name;
    return direction;
}

QString headerSortText(const QString& column, HeaderSort::Direction direction)
{
    const QString text = QLatin1Char('[') + column + QLatin1Char(']');
    return direction == HeaderSort::Direction::Descending ? text + QLatin1String(" DESC") : text;
}

}  // namespace viewer
