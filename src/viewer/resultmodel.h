#pragma once

#include "store/database.h"
#include "viewer/resultfilter.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <optional>

namespace viewer {

// The rows of one result, held in memory so that the result table can be
// dropped by the next query while they are shown. One view column per result
// column; dates show as dd/MMM/yyyy.
class ResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ResultModel(QObject* parent = nullptr);

    void setRows(store::Rows rows);
    const store::Rows& rows() const { return m_rows; }
    const QList<store::Column>& columns() const { return m_rows.columns; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // DisplayRole: the shown text; EditRole: the stored value.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    store::Rows m_rows;
};

// The result as the grid shows it: the rows that pass the filter in force,
// ordered by a clicked column (numbers by value, dates by date, text without
// regard to case, empty cells first) or else in the order they were read.
class ResultProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit ResultProxy(ResultModel* source, QObject* parent = nullptr);

    void setResultFilter(const ResultFilter& filter);
    void clearResultFilter();
    // The filter in force, or nothing.
    const std::optional<ResultFilter>& resultFilter() const { return m_filter; }

    // Back to the order the rows were read in.
    void clearSort() { sort(-1); }

    // The shown rows, in the shown order, with the result's columns.
    store::Rows shownRows() const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    ResultModel* m_source;
    std::optional<ResultFilter> m_filter;
};

}  // namespace viewer
