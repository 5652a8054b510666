#include "viewer/resultmodel.h"

#include "store/recordset.h"
#include "store/recordsetmodel.h"

namespace viewer {

ResultModel::ResultModel(QObject* parent) : QAbstractTableModel(parent) {}

void ResultModel::setRows(store::Rows rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int ResultModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.rows.size());
}

int ResultModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.columns.size());
}

QVariant ResultModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.rows.size() || index.column() >= m_rows.columns.size())
        return {};
    const QVariant& value = m_rows.rows[index.row()].at(index.column());
    const store::ColumnKind kind = m_rows.columns[index.column()].kind;
    switch (role) {
    case Qt::DisplayRole:
        return store::displayText(value, kind);
    case Qt::EditRole:
        return value;
    case Qt::TextAlignmentRole:
        if (kind == store::ColumnKind::Integer || kind == store::ColumnKind::Real)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < m_rows.columns.size() ? m_rows.columns[section].name : QVariant();
    return section + 1;
}

ResultProxy::ResultProxy(ResultModel* source, QObject* parent) : QSortFilterProxyModel(parent), m_source(source)
{
    setSourceModel(source);
}

void ResultProxy::setResultFilter(const ResultFilter& filter)
{
    m_filter = filter;
    // One layout change for the whole set: a sorted view would otherwise get
    // a signal for every run of removed or added rows.
    invalidate();
}

void ResultProxy::clearResultFilter()
{
    m_filter.reset();
    invalidate();
}

store::Rows ResultProxy::shownRows() const
{
    store::Rows shown;
    shown.columns = m_source->columns();
    const int count = shown.columns.isEmpty() ? 0 : rowCount();
    shown.rows.reserve(count);
    for (int row = 0; row < count; ++row)
        shown.rows.append(m_source->rows().rows.at(mapToSource(index(row, 0)).row()));
    return shown;
}

bool ResultProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    return !m_filter || m_filter->accepts(m_source->rows().rows.at(sourceRow));
}

bool ResultProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const auto& rows = m_source->rows().rows;
    return store::compareValues(rows.at(left.row()).at(left.column()), rows.at(right.row()).at(right.column())) < 0;
}

}  // namespace viewer
