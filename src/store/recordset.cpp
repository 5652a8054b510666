#include "store/recordset.h"

#include "store/storeerror.h"

#include <QDate>
#include <algorithm>

namespace store {

int compareValues(const QVariant& left, const QVariant& right)
{
    const bool leftNull = left.isNull(), rightNull = right.isNull();
    if (leftNull || rightNull)
        return leftNull == rightNull ? 0 : (leftNull ? -1 : 1);
    const auto isNumber = [](const QVariant& v) {
        const int type = v.typeId();
        return type == QMetaType::LongLong || type == QMetaType::Int || type == QMetaType::Double ||
               type == QMetaType::Bool;
    };
    if (isNumber(left) && isNumber(right)) {
        const double a = left.toDouble(), b = right.toDouble();
        return a < b ? -1 : (a > b ? 1 : 0);
    }
    if (left.typeId() == QMetaType::QDate && right.typeId() == QMetaType::QDate) {
        const QDate a = left.toDate(), b = right.toDate();
        return a < b ? -1 : (a > b ? 1 : 0);
    }
    return QString::compare(left.toString(), right.toString(), Qt::CaseInsensitive);
}

Recordset Recordset::fromQuery(Database& db, const QString& sql, const Params& params)
{
    Recordset set;
    set.m_db = &db;
    set.m_sql = sql;
    set.m_params = params;
    set.load();
    return set;
}

Recordset Recordset::fromTable(Database& db, const QString& table, const QString& tail, const Params& params)
{
    Recordset set;
    set.m_db = &db;
    set.m_table = table;
    set.m_sql = QStringLiteral("SELECT rowid AS tarvenix_rowid, * FROM %1 %2").arg(quoteIdentifier(table), tail);
    set.m_params = params;
    set.load();
    return set;
}

void Recordset::requery()
{
    load();
}

void Recordset::load()
{
    if (!m_db)
        throw StoreError(QStringLiteral("The recordset is not open."));
    Rows rows = m_db->query(m_sql, m_params);
    m_rowIds.clear();
    if (isUpdatable()) {
        rows.columns.removeFirst();
        for (auto& row : rows.rows)
            m_rowIds.append(row.takeFirst().toLongLong());
    }
    m_columns = rows.columns;
    m_rows = std::move(rows.rows);
    m_editMode = EditMode::None;
    m_buffer.clear();
    rebuildView();
    m_position = m_view.isEmpty() ? -1 : 0;
}

void Recordset::rebuildView()
{
    m_view.clear();
    for (int i = 0; i < m_rows.size(); ++i)
        if (!m_filter || m_filter(*this, m_rows[i]))
            m_view.append(i);
    if (!m_sort.isEmpty()) {
        QList<int> indexes;
        for (const auto& key : m_sort)
            indexes.append(requireField(key.column));
        std::stable_sort(m_view.begin(), m_view.end(), [&](int a, int b) {
            for (int k = 0; k < m_sort.size(); ++k) {
                const int order = compareValues(m_rows[a][indexes[k]], m_rows[b][indexes[k]]);
                if (order != 0)
                    return m_sort[k].ascending ? order < 0 : order > 0;
            }
            return false;
        });
    }
}

int Recordset::fieldIndex(const QString& name) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int Recordset::requireField(const QString& name) const
{
    const int index = fieldIndex(name);
    if (index < 0)
        throw StoreError(QStringLiteral("Item cannot be found in the collection: no field \"%1\".").arg(name));
    return index;
}

void Recordset::requireCurrent() const
{
    if (bof() || eof())
        throw StoreError(
            QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
}

void Recordset::requireUpdatable() const
{
    if (!isUpdatable())
        throw StoreError(QStringLiteral("The rows of this query cannot be changed."));
}

const Recordset::Row& Recordset::rowAt(int position) const
{
    return m_rows.at(m_view.at(position));
}

QVariant Recordset::valueAt(int position, int column) const
{
    return rowAt(position).at(column);
}

void Recordset::moveFirst()
{
    m_position = m_view.isEmpty() ? -1 : 0;
}

void Recordset::moveLast()
{
    m_position = static_cast<int>(m_view.size()) - 1;
}

void Recordset::moveNext()
{
    if (m_position < recordCount())
        ++m_position;
}

void Recordset::movePrevious()
{
    if (m_position >= 0)
        --m_position;
}

void Recordset::moveTo(int position)
{
    m_position = std::clamp(position, -1, recordCount());
}

QVariant Recordset::value(int column) const
{
    if (m_editMode != EditMode::None)
        return m_buffer.at(column);
    requireCurrent();
    return rowAt(m_position).at(column);
}

QVariant Recordset::value(const QString& column) const
{
    return value(requireField(column));
}

bool Recordset::find(const RowPredicate& match, int from)
{
    for (int position = std::max(0, from); position < recordCount(); ++position) {
        if (match(*this, rowAt(position))) {
            m_position = position;
            return true;
        }
    }
    m_position = recordCount();
    return false;
}

bool Recordset::find(const QString& column, const QVariant& value, int from)
{
    const int index = requireField(column);
    return find([&](const Recordset&, const Row& row) { return compareValues(row.at(index), value) == 0; }, from);
}

void Recordset::setFilter(const RowPredicate& filter)
{
    m_filter = filter;
    rebuildView();
    moveFirst();
}

void Recordset::clearFilter()
{
    setFilter({});
}

void Recordset::setSort(const QList<SortKey>& keys)
{
    m_sort = keys;
    rebuildView();
    moveFirst();
}

void Recordset::addNew()
{
    requireUpdatable();
    m_buffer = Row(m_columns.size());
    m_editMode = EditMode::Adding;
}

void Recordset::edit()
{
    requireUpdatable();
    requireCurrent();
    m_buffer = rowAt(m_position);
    m_editMode = EditMode::Editing;
}

void Recordset::setValue(const QString& column, const QVariant& value)
{
    if (m_editMode == EditMode::None)
        edit();
    m_buffer[requireField(column)] = value;
}

void Recordset::cancelUpdate()
{
    m_editMode = EditMode::None;
    m_buffer.clear();
}

void Recordset::update()
{
    requireUpdatable();
    if (m_editMode == EditMode::None)
        return;
    const QString table = quoteIdentifier(m_table);
    if (m_editMode == EditMode::Adding) {
        QStringList names, marks;
        Params values;
        for (int i = 0; i < m_columns.size(); ++i) {
            if (m_buffer[i].isNull())
                continue;  // let the table give its own value (numbering, defaults)
            names.append(quoteIdentifier(m_columns[i].name));
            marks.append(QStringLiteral("?"));
            values.append(m_buffer[i]);
        }
        if (names.isEmpty())
            m_db->exec(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table));
        else
            m_db->exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                           .arg(table, names.join(QLatin1String(", ")), marks.join(QLatin1String(", "))),
                       values);
        const qint64 rowId = m_db->lastInsertId();
        Rows stored = m_db->query(QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(table), {rowId});
        m_rows.append(stored.rows.value(0, m_buffer));
        m_rowIds.append(rowId);
        m_editMode = EditMode::None;
        m_buffer.clear();
        rebuildView();
        const int stored_index = static_cast<int>(m_rows.size()) - 1;
        const int position = static_cast<int>(m_view.indexOf(stored_index));
        m_position = position >= 0 ? position : recordCount();
        return;
    }
    const int rowIndex = m_view.at(m_position);
    QStringList assignments;
    Params values;
    for (int i = 0; i < m_columns.size(); ++i) {
        if (compareValues(m_buffer[i], m_rows[rowIndex][i]) == 0 &&
            m_buffer[i].toString() == m_rows[rowIndex][i].toString())
            continue;
        assignments.append(quoteIdentifier(m_columns[i].name) + QLatin1String(" = ?"));
        values.append(m_buffer[i]);
    }
    if (!assignments.isEmpty()) {
        values.append(m_rowIds[rowIndex]);
        m_db->exec(
            QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(table, assignments.join(QLatin1String(", "))),
            values);
        Rows stored = m_db->query(QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(table), {m_rowIds[rowIndex]});
        m_rows[rowIndex] = stored.rows.value(0, m_buffer);
    }
    m_editMode = EditMode::None;
    m_buffer.clear();
}

void Recordset::deleteCurrent()
{
    requireUpdatable();
    requireCurrent();
    const int rowIndex = m_view.at(m_position);
    m_db->exec(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoteIdentifier(m_table)), {m_rowIds[rowIndex]});
    m_rows.removeAt(rowIndex);
    m_rowIds.removeAt(rowIndex);
    const int keep = m_position;
    m_editMode = EditMode::None;
    rebuildView();
    m_position = m_view.isEmpty() ? -1 : std::min(keep, recordCount() - 1);
}

}  // namespace store
