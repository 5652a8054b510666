#pragma once

#include "store/recordset.h"

#include <QAbstractTableModel>

namespace store {

// Shows the visible rows of a recordset in a view: one view row per
// recordset row, one column per field. Dates show as dd/MMM/yyyy.
// Call reset() after changing the recordset's rows, filter or sort.
class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordsetModel(QObject* parent = nullptr);

    void setRecordset(Recordset* recordset);
    Recordset* recordset() const { return m_recordset; }
    void reset();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    Recordset* m_recordset = nullptr;
};

// The text a grid shows for one stored value of the given kind.
QString displayText(const QVariant& value, ColumnKind kind);

}  // namespace store
