#pragma once

#include "store/database.h"

#include <functional>
#include <optional>

namespace store {

// A client-side set of rows with a current position, read whole from the
// store. Opened on a query it is read-only; opened on a table it can add,
// change and delete rows, each change written at once.
//
// Filter and sort only change which rows are visible and in what order;
// positions (0-based) count visible rows.
class Recordset {
public:
    using Row = QVariantList;
    using RowPredicate = std::function<bool(const Recordset&, const Row&)>;

    struct SortKey {
        QString column;
        bool ascending = true;
    };

    enum class EditMode { None, Editing, Adding };

    Recordset() = default;

    // Read-only rows of any select.
    static Recordset fromQuery(Database& db, const QString& sql, const Params& params = {});
    // Updatable rows of one table; `tail` is appended to "SELECT * FROM table"
    // (a WHERE and/or ORDER BY clause, its values in `params`).
    static Recordset fromTable(Database& db, const QString& table, const QString& tail = {},
                               const Params& params = {});

    // Reads the rows again with the same statement, keeping filter and sort;
    // the position returns to the first row.
    void requery();

    const QList<Column>& fields() const { return m_columns; }
    int fieldCount() const { return static_cast<int>(m_columns.size()); }
    int fieldIndex(const QString& name) const;
    bool isUpdatable() const { return !m_table.isEmpty(); }
    QString tableName() const { return m_table; }

    // Visible rows.
    int recordCount() const { return static_cast<int>(m_view.size()); }
    bool isEmpty() const { return m_view.isEmpty(); }
    const Row& rowAt(int position) const;
    QVariant valueAt(int position, int column) const;

    // Position; -1 when before the first row (BOF) or the set is empty,
    // recordCount() when past the last (EOF).
    int position() const { return m_position; }
    bool bof() const { return m_view.isEmpty() || m_position < 0; }
    bool eof() const { return m_view.isEmpty() || m_position >= recordCount(); }
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    void moveTo(int position);

    // Values of the current row (or of the edit buffer while editing).
    QVariant value(const QString& column) const;
    QVariant value(int column) const;

    // Moves to the first visible row at or after `from` that `match` accepts;
    // false (and EOF) when none does.
    bool find(const RowPredicate& match, int from = 0);
    // Convenience: a column equal to a value (text without regard to case).
    bool find(const QString& column, const QVariant& value, int from = 0);

    void setFilter(const RowPredicate& filter);
    void clearFilter();
    void setSort(const QList<SortKey>& keys);

    // Editing (updatable sets only). setValue changes the edit buffer;
    // update() writes it to the table, cancelUpdate() drops it.
    void addNew();
    void edit();
    void setValue(const QString& column, const QVariant& value);
    void update();
    void cancelUpdate();
    EditMode editMode() const { return m_editMode; }
    // Deletes the current row from the table; the position stays on the row
    // that took its place (or the new last row).
    void deleteCurrent();

private:
    void load();
    void rebuildView();
    int requireField(const QString& name) const;
    void requireCurrent() const;
    void requireUpdatable() const;

    Database* m_db = nullptr;
    QString m_sql;
    Params m_params;
    QString m_table;  // empty for read-only sets
    QList<Column> m_columns;
    QList<Row> m_rows;
    QList<qint64> m_rowIds;  // rowid of each row, updatable sets only
    QList<int> m_view;       // indexes into m_rows
    int m_position = -1;
    RowPredicate m_filter;
    QList<SortKey> m_sort;
    EditMode m_editMode = EditMode::None;
    Row m_buffer;
};

// Compares two stored values the way the grids and sorts order them: nulls
// first, numbers by value, dates by date, text without regard to case.
int compareValues(const QVariant& left, const QVariant& right);

}  // namespace store
