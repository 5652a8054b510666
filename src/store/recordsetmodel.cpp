#include "store/recordsetmodel.h"

#include "store/datetext.h"

namespace store {

QString displayText(const QVariant& value, ColumnKind kind)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QDate)
        return datetext::toDisplay(value.toDate());
    if (kind == ColumnKind::Real || value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}

RecordsetModel::RecordsetModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordsetModel::setRecordset(Recordset* recordset)
{
    beginResetModel();
    m_recordset = recordset;
    endResetModel();
}

void RecordsetModel::reset()
{
    beginResetModel();
    endResetModel();
}

int RecordsetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_recordset ? 0 : m_recordset->recordCount();
}

int RecordsetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_recordset ? 0 : m_recordset->fieldCount();
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const
{
    if (!m_recordset || !index.isValid() || index.row() >= m_recordset->recordCount())
        return {};
    const QVariant value = m_recordset->valueAt(index.row(), index.column());
    const ColumnKind kind = m_recordset->fields().at(index.column()).kind;
    switch (role) {
    case Qt::DisplayRole:
        return displayText(value, kind);
    case Qt::EditRole:
        return value;
    case Qt::TextAlignmentRole:
        if (kind == ColumnKind::Integer || kind == ColumnKind::Real)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || !m_recordset)
        return {};
    if (orientation == Qt::Horizontal)
        return section < m_recordset->fieldCount() ? m_recordset->fields().at(section).name : QVariant();
    return section + 1;
}

}  // namespace store
