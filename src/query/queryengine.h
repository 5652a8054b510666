#pragma once

#include "query/branch.h"
#include "query/runinputs.h"
#include "query/runstate.h"
#include "query/tradingcalendar.h"
#include "store/database.h"
#include "ui/prompt.h"

#include <QString>

namespace query {

enum class RunStatus {
    Completed,  // the result table is made and its rows are read
    Refused,    // the inputs do not allow the query; `message` says why
    NotBuilt,   // the query is in the catalogue but cannot run yet; `message` says so
    Failed,     // a statement failed; `message` gives the store's reason
    Stopped,    // ended without a result and without a message (a separator line)
};

// What one run gives back to the query screen.
struct RunOutcome {
    RunStatus status = RunStatus::Refused;
    QString message;              // for every status but Completed and Stopped
    ui::Icon icon = ui::Icon::None;

    QString resultTable;          // "QueryResult"
    QString viewerSelect;         // "select * from QueryResult", with the viewer's order
    store::Rows rows;             // the rows of viewerSelect, when the engine reads them
    QString lastQuerySql;         // the result's statement with its values written in
    RunState state;               // dates, exchange and group of the run, for report headings

    bool completed() const { return status == RunStatus::Completed; }
};

inline const QString kResultTable = QStringLiteral("QueryResult");

// Runs the queries of the catalogue: drops the previous result, builds the
// run state from the inputs, hands the run to the branch of the label, and
// makes the result table from the branch's final statement. Logic only: it
// shows nothing, except what a branch itself asks the user.
class QueryEngine {
public:
    explicit QueryEngine(store::Database& db);

    RunOutcome run(const RunInputs& inputs, const ProgressCallback& progress = {});

    // Whether a completed run reads the rows of its result into the outcome
    // (the default). Left in the result table, a result of millions of rows
    // costs no memory until a reader pages through it.
    void setReadsRows(bool reads) { m_readsRows = reads; }

    const BranchRegistry& branches() const { return m_branches; }

private:
    RunOutcome execute(const RunInputs& inputs, const ProgressCallback& progress);
    void complete(const FinalStatement& final, RunOutcome& outcome);

    store::Database& m_db;
    BranchRegistry m_branches;
    TradingDatesCache m_tradingDates;
    bool m_readsRows = true;
};

// Messages of runs that cannot start.
QString notBuiltMessage(const QString& label);
QString unknownQueryMessage(const QString& label);
QString failedMessage(const QString& reason);

}  // namespace query
