#pragma once

#include "query/sql.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

namespace store {
class Database;
}

namespace query {

// The rows a grouped summary reads: the mto rows of the trading days between
// two dates, as the statement
//
//   SELECT <list> FROM <from> WHERE <dayColumn> BETWEEN <first> AND <last>
//     <condition> GROUP BY <groupBy>
//
// names them. `from` starts with mto (aliased or not) and may join further
// tables; `condition` is " and ..." over those tables, or empty.
struct SummarySource {
    QString from = QStringLiteral("mto");
    QString dayColumn = QStringLiteral("mto.TransDate");
    QString scripColumn = QStringLiteral("mto.scriptcode");
    QDate first, last;  // either order
    Sql condition;
    QStringList groupBy{QStringLiteral("mto.scriptcode")};

    // A table that `from` joins to the scrip (a scrip's groups) and whose
    // column `column` is a group term: each row counts once for every value
    // its scrip joins. The one pass reads the (scrip, value) pairs that
    // `pairs` lists instead of joining, and the rows from `from` and
    // `condition` without the join.
    struct ScripJoin {
        QString column;
        Sql pairs;
        QString from;
        Sql condition;
    };
    std::optional<ScripJoin> scripJoin;
};

// The statement above, as SQLite runs it. Here and below `selectList` may
// begin with SELECT or leave it out.
Sql summaryStatement(const QString& selectList, const SummarySource& source);

// A grouped summary worked out in one pass over the rows instead of by the
// statement: every group's sum, average, count, lowest and highest of each
// figure gathered while the rows are read day by day, from several read
// connections at once on a large window. The figures of a group are taken
// in the order the statement takes them (day by day, a day's rows by scrip),
// so sums and averages come out to the last bit as the statement gives them.
//
// The totals are kept in a temporary table of this connection; `selectList`
// rewritten over them (`columns()`, read "from <table()> as t") gives the
// statement's own columns, each an expression, so a table made from them
// declares the types the statement's rows would give.
class WindowSummary {
public:
    // Works out the summary, or gives nothing when the list or the source
    // has a form this pass does not take, or plain statements are asked for
    // (the caller then runs the plain statement). Raises store::StoreError when the rows cannot be read.
    static std::optional<WindowSummary> compute(store::Database& db, const QString& name, const QString& selectList,
                                                const SummarySource& source);

    // The temporary table of the totals.
    QString table() const { return m_table; }
    // `selectList` over the totals as `t`.
    QString columns() const { return m_columns; }
    // "t.<key>, ..." in the order of the statement's GROUP BY.
    QString order() const { return m_order; }

private:
    QString m_table, m_columns, m_order;
};

// The rows of summaryStatement(selectList, source) as a table for a FROM
// clause: "(SELECT ...)" over the totals of WindowSummary where it can
// work them out, else the statement itself in parentheses.
Sql summaryTable(store::Database& db, const QString& name, const QString& selectList, const SummarySource& source);

// `selectList` without a leading SELECT.
QString withoutSelect(const QString& selectList);

// Drops the work table `name` and makes it from the rows of
// summaryStatement(selectList, source), as remakeTable would, through
// WindowSummary where it can.
void remakeSummaryTable(store::Database& db, const QString& name, const QString& selectList,
                        const SummarySource& source);

}  // namespace query
