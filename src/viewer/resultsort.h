#pragma once

#include "store/database.h"

#include <QList>
#include <QString>
#include <optional>

// The viewer's two ways of ordering a result: the four sort rows, which
// re-read the result table in their order, and a click on a column header,
// which orders the rows in memory.
namespace viewer {

// The table every query leaves its rows in; "&Refresh Query" reads it again.
inline const QString kResultTable = QStringLiteral("QueryResult");

// What the user chose or typed in one sort row.
struct SortRowInput {
    QString columnText;
    QString orderText;  // "Asc", "Desc" or empty (ascending)
};

struct SortKey {
    int column = 0;  // position in the result, from 0
    bool ascending = true;
};

// The sort rows read for a refresh.
struct SortOrder {
    // The order as shown and handed on: "3 Desc", "1 Asc,5 Desc",
    // "[Rate] Asc" (a first key from row 2, 3 or 4 is named, not numbered).
    QString clause;
    QList<SortKey> keys;
    // Set when a row names no column of the result or an order other than
    // Asc or Desc; the refresh then does not run.
    QString problem;
};

// The position of the column named `name`, the same case first, then any;
// -1 when there is none.
int columnPosition(const QList<store::Column>& columns, const QString& name);

// A row counts when its column text, trimmed of blanks, is not empty; the
// text must name a column of the result (without regard to case).
SortOrder buildSortOrder(const QList<store::Column>& columns, const QList<SortRowInput>& rows);

// The select a refresh shows for a clause: "Select * from QueryResult", with
// " order by " and the clause when there is one.
QString refreshSelectText(const QString& clause);
// The statement a refresh runs: the keys by position, so no typed text
// reaches the SQL.
QString refreshStatement(const QList<SortKey>& keys);

// Filler columns close some results for layout: their names are made of
// no-break spaces only. They cannot be sorted by a header click.
bool isFillerColumn(const QString& name);

// The header click's memory: successive clicks on one column sort it
// ascending, descending, ascending...; a click on another column starts
// ascending again. The memory outlives a refresh of the rows.
class HeaderSort {
public:
    enum class Direction { Ascending, Descending };

    // A click on the header of column `index` named `name`: the direction to
    // sort it in, or nothing for a filler column (which is still recorded as
    // the last clicked column).
    std::optional<Direction> click(int index, const QString& name);

    QString column() const { return m_column; }
    int columnIndex() const { return m_columnIndex; }
    // "Asc" or "Desc" after a sorting click, empty before any.
    QString direction() const { return m_direction; }

private:
    QString m_column;
    int m_columnIndex = 0;
    QString m_direction;
    QString m_previousColumn;
    bool m_descendingNext = false;
};

// The header sort as shown and handed on: "[column]" or "[column] DESC".
QString headerSortText(const QString& column, HeaderSort::Direction direction);

}  // namespace viewer
