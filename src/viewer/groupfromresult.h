#pragma once

#include "store/database.h"
#include "viewer/resultrows.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Making a scrip group from the scrips named in a result: the distinct
// company names of its stock column and their scrip numbers.
namespace viewer {

struct ResultScrips {
    // The distinct names of the stock column in order of first appearance
    // (names that differ only in letter case count as two).
    QStringList names;
    // The scrip number of each name, 0 where no scrip has that company name.
    QList<qint64> scrips;
    // Why no scrips could be taken from the rows; empty when they could.
    QString problem;

    bool ok() const { return problem.isEmpty(); }
};

// Reads the stock column of the records (its name taken without regard to
// case) and looks each name up in ScripMaster. Empty stock values are passed
// over.
ResultScrips collectResultScrips(store::Database& db, const QList<store::Column>& columns,
                                 const RecordSource& records);
ResultScrips collectResultScrips(store::Database& db, const store::Rows& rows);

// The group names, in name order, for the list of existing groups.
QStringList groupNamesForList(store::Database& db);

// Adds the scrips (0s skipped, each scrip once, none already in the group)
// to the group named `groupName` (blanks trimmed), in one transaction.
// Returns how many were added, or nothing when no group has that name.
std::optional<int> addScripsToGroup(store::Database& db, const QString& groupName, const QList<qint64>& scrips);

}  // namespace viewer
