#include "query/queryrunner.h"

#include "query/queryreporting.h"
#include "shell/sharedstate.h"
#include "ui/waitcursor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <algorithm>

namespace query {

QueryRunner::QueryRunner(store::Database& db, QLineEdit* progressText, QProgressBar* progressBar)
    : m_engine(db), m_text(progressText), m_bar(progressBar)
{
}

std::optional<CompletedRun> QueryRunner::run(const RunInputs& inputs, const reports::QueryParameter& firstParameter,
                                             const reports::QueryParameter& secondParameter, bool readRows)
{
    RunOutcome outcome;
    m_engine.setReadsRows(readRows);
    {
        const ui::WaitCursor wait;
        m_text->clear();
        m_bar->setRange(0, 0);
        m_text->show();
        m_bar->show();
        // The run holds the screen's thread: the bar and the text are drawn
        // as it starts, then with the first progress line and at most every
        // 50 ms after it, each time without the user's clicks and keys,
        // which wait for the end of the run.
        drawProgress();
        QElapsedTimer sinceRepaint;
        outcome = m_engine.run(inputs, [this, &sinceRepaint](const QString& text, int done, int total) {
            showProgress(text, done, total);
            if (!sinceRepaint.isValid() || sinceRepaint.elapsed() >= 50) {
                drawProgress();
                sinceRepaint.start();
            }
        });
        m_text->hide();
        m_bar->hide();
    }
    if (outcome.completed()) {
        const reports::ReportFacts facts = reportFacts(outcome.state, firstParameter, secondParameter);
        shell::sharedState().lastQuerySql = outcome.lastQuerySql;
        shell::sharedState().lastQueryFacts = facts;
        return CompletedRun{std::move(outcome), facts};
    }
    if (!outcome.message.isEmpty()) {
        ui::Message message;
        message.text = outcome.message;
        message.icon = outcome.icon;
        ui::prompt().show(message);
    }
    return std::nullopt;
}

void QueryRunner::drawProgress()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QueryRunner::showProgress(const QString& text, int done, int total)
{
    m_text->setText(text);
    if (total > 0) {
        m_bar->setRange(0, total);
        m_bar->setValue(std::min(done, total));
    } else {
        m_bar->setRange(0, 0);
    }
}

}  // namespace query
