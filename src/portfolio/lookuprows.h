#pragma once

#include "store/database.h"

#include <QStringList>
#include <optional>

namespace portfolio {

// The rows of a look-up query with a current row, the type-ahead search and
// the header sort of the look-up dialog. Each column has a type letter: "T"
// text, "N" number, "D" date (no search), anything else no search; the
// letters are compared exactly.
//
// Typed values are compared with the cells directly, never pasted into SQL,
// so quotes in the typed text are harmless.
class LookupRows {
public:
    // Runs `sql`; raises store::StoreError when the store refuses it.
    LookupRows(store::Database& db, const QString& sql, const QStringList& columnTypes);

    const QStringList& fieldNames() const { return m_fieldNames; }
    int rowCount() const { return static_cast<int>(m_order.size()); }
    // The display text of a cell, rows in their current order.
    QString text(int row, int column) const;
    // The current row, or -1 when none is current (nothing matched).
    int currentRow() const { return m_current; }
    void setCurrentRow(int row);

    // The type-ahead on the chosen column. Returns an error text for the user
    // when the typed value cannot be searched for in that column (a number
    // column given text), else nothing. An empty text does nothing.
    std::optional<QString> typeAhead(int column, const QString& typed);
    // Back to the query's own order with the first row current, as a fresh
    // run of the query.
    void reset();
    // A header click: ascending on a new column, then alternating. Columns
    // whose name begins with a no-break space are left alone.
    void headerClick(int column);

    // Grows whenever the order of the rows changes (a sort, or the return to
    // the query's order after one).
    int orderChanges() const { return m_orderChanges; }

    // The current row's texts, one per column, or nothing when none is current.
    std::optional<QStringList> currentTexts() const;

private:
    bool textEquals(int viewRow, int column, const QString& typed) const;

    store::Rows m_rows;
    QStringList m_fieldNames;
    QStringList m_types;
    QList<int> m_order;  // view position -> index in m_rows
    int m_current = -1;
    QString m_headerColumn;
    bool m_headerAscending = false;
    bool m_sorted = false;
    int m_orderChanges = 0;
};

}  // namespace portfolio
