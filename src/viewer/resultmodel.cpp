#include "viewer/resultmodel.h"

#include "store/recordsetmodel.h"

namespace viewer {

ResultModel::ResultModel(store::Database& db, QObject* parent) : QAbstractTableModel(parent), m_rows(db) {}

void ResultModel::load(const QString& select)
{
    beginResetModel();
    m_filter.reset();
    m_order.reset();
    try {
        m_rows.load(select);
    } catch (...) {
        endResetModel();
        throw;
    }
    endResetModel();
}

void ResultModel::setResultFilter(const ResultFilter& filter)
{
    reshow(filter, m_order);
}

void ResultModel::clearResultFilter()
{
    reshow(std::nullopt, m_order);
}

void ResultModel::sortBy(const std::optional<SortKey>& key)
{
    reshow(m_filter, key);
}

void ResultModel::showEverything()
{
    reshow(std::nullopt, std::nullopt);
}

void ResultModel::reshow(const std::optional<ResultFilter>& filter, const std::optional<SortKey>& order)
{
    // One reset for the whole set: the rows shown are made afresh in the
    // store. Refused, the filter and order shown before stay in force.
    beginResetModel();
    try {
        m_rows.show(filter, order);
    } catch (...) {
        endResetModel();
        throw;
    }
    m_filter = filter;
    m_order = order;
    endResetModel();
}

int ResultModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.count());
}

int ResultModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.columns().size());
}

QVariant ResultModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.count() || index.column() >= m_rows.columns().size())
        return {};
    const store::ColumnKind kind = m_rows.columns()[index.column()].kind;
    switch (role) {
    case Qt::DisplayRole:
        return store::displayText(m_rows.row(index.row()).value(index.column()), kind);
    case Qt::EditRole:
        return m_rows.row(index.row()).value(index.column());
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
        return section < m_rows.columns().size() ? m_rows.columns()[section].name : QVariant();
    return section + 1;
}

}  // namespace viewer
