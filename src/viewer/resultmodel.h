#pragma once

#include "store/database.h"
#include "viewer/resultfilter.h"
#include "viewer/resultrows.h"
#include "viewer/resultsort.h"

#include <QAbstractTableModel>
#include <optional>

namespace viewer {

// The result as the grid shows it: the rows that pass the filter in force,
// ordered by a clicked column or else in the order they were read. The rows
// stay in the store (ResultRows) and are read as the grid asks for them, so
// that the next query can drop its result table while they are shown. One
// view column per result column, its values written as store::displayText
// writes them.
class ResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ResultModel(store::Database& db, QObject* parent = nullptr);

    // Reads the rows of `select` in place of the shown ones, without filter
    // or order. Raises store::StoreError when the store refuses the select,
    // and shows no rows then.
    void load(const QString& select);

    const QList<store::Column>& columns() const { return m_rows.columns(); }
    const ResultRows& rows() const { return m_rows; }

    void setResultFilter(const ResultFilter& filter);
    void clearResultFilter();
    // The filter in force, or nothing.
    const std::optional<ResultFilter>& resultFilter() const { return m_filter; }

    // Orders the shown rows by `key` (numbers by value, dates by date, text
    // without regard to case, empty cells first), or back to the order the
    // rows were read in.
    void sortBy(const std::optional<SortKey>& key);
    // The header order in force, or nothing.
    const std::optional<SortKey>& order() const { return m_order; }
    // Every row again, in the order read: no filter and no order.
    void showEverything();

    // The shown rows, in the shown order, with the result's columns.
    store::Rows shownRows() const { return m_rows.all(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // DisplayRole: the shown text; EditRole: the stored value.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void reshow(const std::optional<ResultFilter>& filter, const std::optional<SortKey>& order);

    ResultRows m_rows;
    std::optional<ResultFilter> m_filter;
    std::optional<SortKey> m_order;
};

}  // namespace viewer
