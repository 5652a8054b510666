#include "portfolio/lookuprows.h"

#include "store/recordset.h"
#include "store/recordsetmodel.h"

#include <algorithm>

namespace portfolio {

LookupRows::LookupRows(store::Database& db, const QString& sql, const QStringList& columnTypes)
    : m_rows(db.query(sql)), m_types(columnTypes)
{
    for (const store::Column& column : m_rows.columns)
        m_fieldNames.append(column.name);
    reset();
}

void LookupRows::reset()
{
    if (m_sorted)
        ++m_orderChanges;
    m_sorted = false;
    m_order.clear();
    for (int i = 0; i < m_rows.rows.size(); ++i)
        m_order.append(i);
    m_current = m_order.isEmpty() ? -1 : 0;
}

QString LookupRows::text(int row, int column) const
{
    if (row < 0 || row >= m_order.size() || column < 0 || column >= m_rows.columns.size())
        return {};
    return store::displayText(m_rows.rows.at(m_order.at(row)).value(column), m_rows.columns.at(column).kind);
}

void LookupRows::setCurrentRow(int row)
{
    m_current = (row >= 0 && row < rowCount()) ? row : -1;
}

bool LookupRows::textEquals(int viewRow, int column, const QString& typed) const
{
    return text(viewRow, column).compare(typed, Qt::CaseInsensitive) == 0;
}

std::optional<QString> LookupRows::typeAhead(int column, const QString& typed)
{
    if (typed.isEmpty())
        return std::nullopt;
    if (column < 0 || column >= m_fieldNames.size())
        return QStringLiteral("No column is chosen to search in");
    const QString letter = m_types.value(column);
    if (letter == QLatin1String("T")) {
        // An exact match from the current row on keeps the place; otherwise
        // the first row that begins with the text, from the top.
        for (int row = std::max(m_current, 0); row < rowCount(); ++row) {
            if (textEquals(row, column, typed)) {
                m_current = row;
                return std::nullopt;
            }
        }
        reset();
        for (int row = 0; row < rowCount(); ++row) {
            if (text(row, column).startsWith(typed, Qt::CaseInsensitive)) {
                m_current = row;
                return std::nullopt;
            }
        }
        m_current = -1;
        return std::nullopt;
    }
    if (letter == QLatin1String("N")) {
        reset();
        bool isNumber = false;
        const double wanted = typed.trimmed().toDouble(&isNumber);
        if (!isNumber) {
            m_current = -1;
            return QStringLiteral("Type mismatch 13");
        }
        for (int row = 0; row < rowCount(); ++row) {
            const QVariant cell = m_rows.rows.at(m_order.at(row)).value(column);
            bool cellIsNumber = false;
            const double value = cell.toDouble(&cellIsNumber);
            if (!cell.isNull() && cellIsNumber && value == wanted) {
                m_current = row;
                return std::nullopt;
            }
        }
        m_current = -1;
    }
    return std::nullopt;
}

void LookupRows::headerClick(int column)
{
    if (column < 0 || column >= m_fieldNames.size())
        return;
    const QString name = m_fieldNames.at(column);
    if (name.startsWith(QChar(0x00A0)))
        return;
    const bool ascending = name != m_headerColumn || !m_headerAscending;
    const int currentIndex = m_current >= 0 ? m_order.at(m_current) : -1;
    std::stable_sort(m_order.begin(), m_order.end(), [&](int left, int right) {
        const int order = store::compareValues(m_rows.rows.at(left).value(column), m_rows.rows.at(right).value(column));
        return ascending ? order < 0 : order > 0;
    });
    m_headerColumn = name;
    m_headerAscending = ascending;
    m_sorted = true;
    ++m_orderChanges;
    m_current = currentIndex >= 0 ? static_cast<int>(m_order.indexOf(currentIndex)) : -1;
}

std::optional<QStringList> LookupRows::currentTexts() const
{
    if (m_current < 0)
        return std::nullopt;
    QStringList texts;
    for (int column = 0; column < m_fieldNames.size(); ++column)
        texts.append(text(m_current, column));
    return texts;
}

}  // namespace portfolio
