#pragma once

#include "store/recordset.h"

#include <QList>
#include <QString>
#include <functional>

namespace store {
class Database;
}

// The lists the query screen offers, read from the store: every scrip with
// its codes, the scrip groups, a group's members, and the groups of one scrip.
namespace query {

// A scrip as the query screen lists it.
struct ListedScrip {
    qint64 srno = 0;
    QString company;
    QString nseCode;
    QString bseCode;
};

// A scrip group as the group box lists it.
struct ListedGroup {
    QString code;
    QString name;
};

// Every scrip, by company. `progress` is told the rows taken so far and the
// number of rows after each row. Raises store::StoreError.
QList<ListedScrip> readListedScrips(store::Database& db,
                                    const std::function<void(qsizetype done, qsizetype total)>& progress);

// Every scrip group, by name. Raises store::StoreError.
QList<ListedGroup> readListedGroups(store::Database& db);

// The scrips linked to the group `groupCode`, by company; only their number
// and company are read. Raises store::StoreError.
QList<ListedScrip> readGroupMembers(store::Database& db, const QString& groupCode);

// The names of the groups the scrip `srno` belongs to, as a recordset the
// details grid shows and sorts. Raises store::StoreError.
store::Recordset readGroupsOfScrip(store::Database& db, qint64 srno);

}  // namespace query
