#pragma once

#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>

struct sqlite3;

namespace store {
class Database;
}

// Watches every statement that the connection `db`, and every connection
// opened while the watch lives, runs, and asks SQLite how it plans it
// (EXPLAIN QUERY PLAN, with the statement's bound values written in). A
// statement whose plan reads a whole table, or a whole materialised
// subquery, once for every row of an outer loop costs the product of the two
// sizes: with the scrips on both sides, four times the time for twice the
// scrips. So does a statement with a whole scan that runs once per scrip.
// Each such statement is kept, with the scan and the plan. One watch at a time.
class PlanWatch {
public:
    explicit PlanWatch(store::Database& db);
    ~PlanWatch();
    PlanWatch(const PlanWatch&) = delete;
    PlanWatch& operator=(const PlanWatch&) = delete;

    // "<scan> in: <statement>" for each statement found so far.
    QStringList scansInsideLoops() const;
    // How many statements were planned: a watch that saw none proves nothing.
    int statementsPlanned() const { return m_planned; }

    // A statement of one shape run this often in one run (once per scrip)
    // costs as a loop does: a full scan in it counts as one inside a loop.
    static constexpr int kRepeatedRuns = 10;

    // Called from the connections' trace, on their threads.
    void seen(sqlite3* db, const QString& sql);

private:
    // The statements of one shape (the same but for their literal values).
    struct Shape {
        QString sql;  // the first one run
        QString plan;
        QStringList scans, scansInLoops;
        int runs = 1;
    };

    static Shape plan(sqlite3* db, const QString& sql);

    store::Database& m_db;
    mutable QMutex m_mutex;
    QHash<QString, Shape> m_shapes;
    int m_planned = 0;
};
