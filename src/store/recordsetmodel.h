#pragma once

#include "store/recordset.h"

#include <QAbstractTableModel>
#include <QByteArrayView>
#include <array>

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

// Room for any number as a grid writes it.
using NumberText = std::array<char, 32>;

// A number as a grid writes it: a whole number below 10^15 in full, any
// other with at most 15 significant digits ("1234567.25",
// "0.333333333333333", "1e+15"). Returns the characters written into
// `buffer`, so that a pass over millions of values makes no string of them.
QByteArrayView writeNumber(double value, NumberText& buffer);
QByteArrayView writeNumber(qint64 value, NumberText& buffer);

// The text a grid shows for one stored value of the given kind: numbers as
// writeNumber writes them, days as dd/MMM/yyyy, any other value as it is.
QString displayText(const QVariant& value, ColumnKind kind);

}  // namespace store
