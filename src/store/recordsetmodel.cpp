#include "store/recordsetmodel.h"

#include "store/datetext.h"

#include <charconv>
#include <cmath>

namespace store {

QByteArrayView writeNumber(double value, NumberText& buffer)
{
    char* const first = buffer.data();
    char* const last = first + buffer.size();
    const char* end = std::abs(value) < 1e15 && value == std::trunc(value)
                          ? std::to_chars(first, last, static_cast<qint64>(value)).ptr
                          : std::to_chars(first, last, value, std::chars_format::general, 15).ptr;
    return QByteArrayView(first, end);
}

QByteArrayView writeNumber(qint64 value, NumberText& buffer)
{
    return QByteArrayView(buffer.data(), std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr);
}

QString displayText(const QVariant& value, ColumnKind kind)
{
    if (value.isNull())
        return {};
    NumberText number;
    switch (value.typeId()) {
    case QMetaType::QDate:
        return datetext::toDisplay(value.toDate());
    case QMetaType::Double:
        return QString::fromLatin1(writeNumber(value.toDouble(), number));
    case QMetaType::LongLong:
    case QMetaType::Int:
        // A whole number of a REAL column reads as an integer.
        if (kind == ColumnKind::Real)
            return QString::fromLatin1(writeNumber(value.toDouble(), number));
        return QString::fromLatin1(writeNumber(value.toLongLong(), number));
    default:
        return value.toString();
    }
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
