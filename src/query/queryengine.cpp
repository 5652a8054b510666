#include "query/queryengine.h"

#include "query/averagebranches.h"
#include "query/branches.h"
#include "query/catalogue.h"
#include "query/plainstatements.h"
#include "query/worktable.h"
#include "store/storeerror.h"
#include "store/transaction.h"

#include <optional>

namespace query {

QString notBuiltMessage(const QString& label)
{
    return QStringLiteral("The query \"%1\" is not built yet.").arg(label);
}

QString unknownQueryMessage(const QString& label)
{
    if (label.trimmed().isEmpty())
        return QStringLiteral("Select A Query");
    return QStringLiteral("There is no query \"%1\".").arg(label);
}

QString failedMessage(const QString& reason)
{
    return QStringLiteral("The query could not be completed: %1").arg(reason);
}

QueryEngine::QueryEngine(store::Database& db) : m_db(db)
{
    registerAllBranches(m_branches);
}

RunOutcome QueryEngine::run(const RunInputs& inputs, const ProgressCallback& progress)
{
    RunOutcome outcome = execute(inputs, progress);
    // What the run wrote (work and result tables) leaves the trading dates
    // as they were.
    m_tradingDates.ownChangesDone(m_db);
    return outcome;
}

RunOutcome QueryEngine::execute(const RunInputs& inputs, const ProgressCallback& progress)
{
    RunOutcome outcome;
    try {
        // A temporary table left by the previous run would keep this run's
        // large sorts in memory.
        closeTemporaryDatabase(m_db);
        // The previous run's result and shared work tables go first, so that
        // a run that ends early leaves no stale result behind. The day tables
        // of Last N Days Movement go too: dropped inside the run, their pages
        // would be written over there, and the store would keep their former
        // content in memory until the run ends.
        {
            store::Transaction transaction(m_db);
            for (const char* table : {"qr", "QueryResult", "QueryResult1", "tqr", "tqrrows"})
                m_db.dropIfExists(QString::fromLatin1(table));
            transaction.commit();
        }
        outcome.state = buildRunState(inputs, m_tradingDates.dates(m_db));

        if (separatorLabels().contains(inputs.label)) {
            outcome.status = RunStatus::Stopped;
            return outcome;
        }
        const Branch* branch = m_branches.find(inputs.label);
        if (!branch) {
            outcome.message = unknownQueryMessage(inputs.label);
            return outcome;
        }
        outcome.state.readCounts(inputs);

        store::Transaction transaction(m_db);
        RunContext context(m_db, inputs, outcome.state, progress);
        if (inputs.group == 1 && !makesItsOwnDayTable(inputs.label))
            makeAverageDayTable(m_db, outcome.state);
        const BranchResult result = (*branch)(context);
        switch (result.kind) {
        case BranchResult::Kind::NotBuilt:
            outcome.status = RunStatus::NotBuilt;
            outcome.message = notBuiltMessage(inputs.label);
            return outcome;
        case BranchResult::Kind::Stopped:
            transaction.commit();
            outcome.status = RunStatus::Stopped;
            return outcome;
        case BranchResult::Kind::Result:
            break;
        }
        complete(result.final, outcome);
        transaction.commit();
        if (m_readsRows)
            outcome.rows = m_db.query(outcome.viewerSelect);
        outcome.status = RunStatus::Completed;
    } catch (const Refusal& refusal) {
        outcome.status = RunStatus::Refused;
        outcome.message = refusal.text();
        outcome.icon = refusal.icon();
    } catch (const store::StoreError& error) {
        outcome.status = RunStatus::Failed;
        outcome.message = failedMessage(error.message());
        outcome.icon = ui::Icon::Critical;
    }
    return outcome;
}

void QueryEngine::complete(const FinalStatement& final, RunOutcome& outcome)
{
    outcome.lastQuerySql = withLiterals(final.select);
    m_db.dropIfExists(kResultTable);
    if (plainStatementsOnly())
        m_db.makeTable(kResultTable, final.select.text, final.select.params);
    else if (!final.ownTable.isEmpty()) {
        // Its rows are the result's, in their order, and its columns are
        // declared as the result table would declare them: renaming it spares
        // writing every row a second time. The statement kept for the run
        // then reads the result, as the work table is gone.
        m_db.exec(QStringLiteral("ALTER TABLE %1 RENAME TO %2")
                      .arg(store::quoteIdentifier(final.ownTable), store::quoteIdentifier(kResultTable)));
        outcome.lastQuerySql = QStringLiteral("select * from ") + kResultTable;
    } else {
        std::optional<SortsInFiles> sorts;
        if (final.sortsManyRows)
            sorts.emplace(m_db);
        makeResultTable(m_db, kResultTable, final.select);
    }
    if (!final.afterMake.isBlank())
        m_db.exec(final.afterMake.text, final.afterMake.params);
    outcome.resultTable = kResultTable;
    outcome.viewerSelect = QStringLiteral("select * from ") + kResultTable;
    if (!final.viewerOrder.isEmpty())
        outcome.viewerSelect += QStringLiteral(" order by ") + final.viewerOrder;
}

}  // namespace query
