#pragma once

#include "query/runinputs.h"
#include "query/runstate.h"
#include "query/sql.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

namespace store {
class Database;
}

namespace query {

// Progress of a long run: a line for the user ("Processing for Stock " and
// the company) and, when known, how far it is (done of total; total 0 when
// unknown).
using ProgressCallback = std::function<void(const QString& text, int done, int total)>;

// What a branch works with while it builds its query: the store, the run's
// inputs and state, and the progress line.
class RunContext {
public:
    RunContext(store::Database& db, const RunInputs& inputs, RunState& state, ProgressCallback progress)
        : db(db), inputs(inputs), state(state), m_progress(std::move(progress)) {}

    store::Database& db;
    const RunInputs& inputs;
    RunState& state;

    void progress(const QString& text, int done = 0, int total = 0) const
    {
        if (m_progress)
            m_progress(text, done, total);
    }

private:
    ProgressCallback m_progress;
};

// The statement whose rows become the result table.
struct FinalStatement {
    Sql select;            // the result's select list, tables, conditions and order
    Sql afterMake;         // run on the result table once it is made (numbering); may be empty
    QString viewerOrder;   // the order the viewer shows; empty keeps the select's order
    // A work table of this run, made by remakeWorkTable(), that `select`
    // reads whole and as it stands: the result table takes it over (renamed)
    // instead of having its rows copied. Empty for any other result.
    QString ownTable;
    // Whether `select` may sort millions of rows: its sort then goes to files
    // on helper threads (see SortsInFiles), which small results are spared.
    bool sortsManyRows = false;
};

// How a branch ends.
struct BranchResult {
    enum class Kind { Result, Stopped, NotBuilt };
    Kind kind = Kind::Result;
    FinalStatement final;

    static BranchResult result(FinalStatement final) { return {Kind::Result, std::move(final)}; }
    static BranchResult result(Sql select) { return result(FinalStatement{std::move(select), {}, {}, {}}); }
    // The result is the whole work table `table`, which the run made and no
    // later statement reads.
    static BranchResult wholeWorkTable(const QString& table)
    {
        return result(FinalStatement{Sql(QStringLiteral("select * from ") + table), {}, {}, table});
    }
    // The run ends without a result and without a message (a separator line,
    // or a branch that delivered its output itself).
    static BranchResult stopped() { return {Kind::Stopped, {}}; }
    static BranchResult notBuilt() { return {Kind::NotBuilt, {}}; }
};

// One query: reads the context, runs its work statements, and ends with its
// final statement. It refuses by throwing Refusal; a failing statement throws
// store::StoreError. It never shows the result itself.
using Branch = std::function<BranchResult(RunContext& context)>;

// Every query label and the branch that answers it, compared exactly.
class BranchRegistry {
public:
    // Registers (or replaces) the branch of `label`.
    void add(const QString& label, Branch branch);
    // Registers `label` as a query that is not built yet: running it says so.
    void addNotBuilt(const QString& label);

    bool contains(const QString& label) const { return m_branches.contains(label); }
    bool isBuilt(const QString& label) const { return contains(label) && !m_notBuilt.contains(label); }
    const Branch* find(const QString& label) const;
    QStringList labels() const { return m_branches.keys(); }

private:
    QHash<QString, Branch> m_branches;
    QSet<QString> m_notBuilt;
};

}  // namespace query
