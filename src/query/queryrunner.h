#pragma once

#include "query/queryengine.h"
#include "reports/reportfacts.h"

#include <optional>

class QLineEdit;
class QProgressBar;

namespace query {

// A run that made its result, with the facts its report headings show.
struct CompletedRun {
    RunOutcome outcome;
    reports::ReportFacts facts;
};

// Runs the queries the query screen asks for. While a run lasts it shows the
// wait cursor and the run's progress in a text box and a bar, both hidden
// between runs. A completed run's statement and report facts are kept for
// the result viewer; its rows stay in the result table unless the caller
// asks for them. A run that made no result tells the user why, when there
// is something to tell.
class QueryRunner {
public:
    QueryRunner(store::Database& db, QLineEdit* progressText, QProgressBar* progressBar);

    // Runs the query of `inputs`; the two number boxes with their captions
    // go into the report facts of a completed run, and with `readRows` its
    // rows into the outcome.
    std::optional<CompletedRun> run(const RunInputs& inputs, const reports::QueryParameter& firstParameter,
                                    const reports::QueryParameter& secondParameter, bool readRows = false);

private:
    void showProgress(const QString& text, int done, int total);
    // Lays out and paints what changed on the screen, leaving the user's
    // input for later.
    void drawProgress();

    QueryEngine m_engine;
    QLineEdit* m_text;
    QProgressBar* m_bar;
};

}  // namespace query
