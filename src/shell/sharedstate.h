#pragma once

#include "reports/reportfacts.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>

namespace shell {

// State that screens hand to each other during a run.
struct SharedState {
    // The statement of the last query's result.
    QString lastQuerySql;
    // The facts of the run that made that result, as its printout shows
    // them; none until a query has made one.
    std::optional<reports::ReportFacts> lastQueryFacts;
    // A group being made from a result: the group master saves these scrips
    // as the new group's members when the new group itself is saved.
    bool newGroupFlag = false;
    QList<qint64> newGroupScrips;
    QString newGroupCode;
    QString newGroupName;
    // The grid that showed the "Delete Row" context menu, and who owns it.
    QPointer<QObject> popupForm;
    QString popupOwner;
};

SharedState& sharedState();

}  // namespace shell
