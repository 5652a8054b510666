#pragma once

#include "store/database.h"
#include "viewer/resultfilter.h"
#include "viewer/resultsort.h"

#include <QHash>
#include <QList>
#include <QString>
#include <array>
#include <functional>
#include <optional>

namespace viewer {

// The records of a result handed over one at a time, in order.
using RecordVisitor = std::function<void(const QVariantList&)>;
using RecordSource = std::function<void(const RecordVisitor&)>;

// How wide a grid draws each character, as a table, so that a pass over
// millions of values can rank them by their width without drawing any.
class CharacterWidths {
public:
    // The width of each character of the Latin scripts by `width`; any
    // other counts as wide as the widest of them.
    explicit CharacterWidths(const std::function<double(char32_t)>& width);

    // The sum of the widths of the characters of a UTF-8 text.
    double of(QByteArrayView text) const;

private:
    static constexpr char32_t kTabled = 0x250;
    std::array<float, kTabled> m_widths;
    float m_other = 0;
};

// The rows the result viewer shows, kept in the store and read a page at a
// time, so that a result of millions of rows costs no more memory than one
// of a hundred.
//
// A loaded result is copied into a table of the viewer's own (kShownTable
// unless named otherwise), so the next query may drop its result table while
// the rows are still shown; the table is dropped when the rows are cleared or
// this object goes. A filter and a header order are SQL over that table: the
// positions of the rows that pass, in the order shown, go into a second table
// (kShownOrder).
// Without either, a position is the row's number in the copy.
class ResultRows {
public:
    static const QString kShownTable;
    static const QString kShownOrder;

    // The copy goes into `rowsTable`, the shown order into `orderTable`: a
    // second set of rows in one store needs tables of its own.
    explicit ResultRows(store::Database& db, const QString& rowsTable = kShownTable,
                        const QString& orderTable = kShownOrder);
    ~ResultRows();
    ResultRows(const ResultRows&) = delete;
    ResultRows& operator=(const ResultRows&) = delete;

    // Copies the rows of `select` in its order; the filter and the order
    // start afresh. Raises store::StoreError when the store refuses the
    // select; no rows are held then.
    void load(const QString& select);
    // Holds no rows and no table.
    void clear();

    const QList<store::Column>& columns() const { return m_columns; }
    // Each column's widest values, widest first, as the grid writes them
    // (store::displayText), over every row held whatever the filter: the few that
    // come first by `textWidths` in a text column, by `figureWidths` in a
    // number or date column. A few, not one, as a font's kerning may order
    // texts of near the same width otherwise than the sum of their
    // characters. None for a column of empty cells. One pass over the rows,
    // in shares read side by side when they are many. Raises
    // store::StoreError when the store refuses the reading.
    QList<QStringList> widestTexts(const CharacterWidths& textWidths, const CharacterWidths& figureWidths) const;
    // The rows shown: those passing the filter, all of them without one.
    qint64 count() const { return m_count; }

    // Shows the rows that pass `filter` (all when none), ordered by `order`
    // (numbers by value, dates by date, text without regard to case, empty
    // cells first; rows that tie keep the order they were read in), or in
    // the order read when none.
    void show(const std::optional<ResultFilter>& filter, const std::optional<SortKey>& order);

    // The row shown at `position` (from 0); empty when there is none.
    QVariantList row(qint64 position) const;
    // Every shown row from `first` on, in the order shown, a page at a time.
    void forEach(const RecordVisitor& visit, qint64 first = 0) const;
    // Every shown row at once, for results known to be small.
    store::Rows all() const;

private:
    store::Rows readPage(qint64 first, qint64 count) const;
    void copyResult(store::Database& db, const QString& select);
    bool copyWholeTable(store::Database& db, const QString& select);
    void dropTables();

    store::Database& m_db;
    const QString m_rowsTable;
    const QString m_orderTable;
    QList<store::Column> m_columns;
    qint64 m_held = 0;   // the rows copied
    qint64 m_count = 0;  // the rows shown
    bool m_ordered = false;  // the positions come from the order table

    // The pages read last, by page number.
    mutable QHash<qint64, QList<QVariantList>> m_pages;
    mutable QList<qint64> m_pageAge;
};

}  // namespace viewer
