#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace store {
class Database;
class Recordset;
}  // namespace store

namespace masters {

// Codes of the groups the system keeps itself; the group master never
// deletes them.
QStringList protectedGroupCodes();
// True when `typedCode`, without surrounding blanks and in any letter case,
// is a protected group's code.
bool isProtectedGroup(const QString& typedCode);

// Adds `scrips` to the group `groupCode`, skipping scrip number 0 (a name
// that matched no scrip), repeated numbers and pairs already present.
// Returns how many links were written. Runs in the caller's transaction.
int addGroupLinks(store::Database& db, const QString& groupCode, const QList<qint64>& scrips);

// Writes the pending row of `groups` (opened on GroupMaster, a new group or
// an edited one, its values set by the caller). When `newGroupScrips` is
// given (a group made from a result) and neither the group's `code` nor the
// `name` its box shows is empty, the group's links to them are written in the
// same transaction: the group and its members land together or not at all.
// Raises store::StoreError on failure; the pending row then stays pending.
// Returns how many links were written.
int saveGroup(store::Database& db, store::Recordset& groups, const QString& code, const QString& name,
              const QList<qint64>* newGroupScrips);

// Deletes the current group of `groups` and all its links in one
// transaction. On failure nothing is deleted and store::StoreError is raised.
void deleteCurrentGroup(store::Database& db, store::Recordset& groups);

}  // namespace masters
