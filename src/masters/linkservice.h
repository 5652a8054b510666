#pragma once

#include <QList>
#include <QString>
#include <functional>

namespace store {
class Database;
}

namespace masters {

struct GroupEntry {
    QString code;
    QString name;
};

struct ScripEntry {
    qint64 srno = 0;
    QString company;
};

// One ScripMaster row with its exchange codes (null codes read as empty).
struct ScripCodes {
    qint64 srno = 0;
    QString company;
    QString nsescrip;
    QString bsescrip;
};

// A group's members and the other scrips, each list by company name.
struct LinkedScripts {
    QList<ScripEntry> linked;
    QList<ScripEntry> unlinked;
};

// Reports progress of a list filling: `value` out of `maximum`.
using ListProgress = std::function<void(int value, int maximum)>;

// Every group, by name.
QList<GroupEntry> getGrpCode(store::Database& db);
// Every scrip, by company name.
QList<ScripEntry> getScripCode(store::Database& db);
// Every scrip with its codes, in the table's stored order.
QList<ScripCodes> allScripCodes(store::Database& db);

// The scrips of group `grpCode` and the scrips not in it. Progress starts at
// 10 of 100, counts the rows of each list, and ends at 0.
LinkedScripts getLinkedScripts(store::Database& db, const QString& grpCode, const ListProgress& progress = {});

// Inserts one link. Runs in the caller's transaction.
void SaveLink(store::Database& db, const QString& grpCode, qint64 ScrCode);

// Makes the links of `grpCode` exactly `members`, in one transaction: on
// failure the group keeps its former members and store::StoreError is
// raised. Scrip number 0 and repeated numbers are not written.
void saveMembership(store::Database& db, const QString& grpCode, const QList<qint64>& members);

}  // namespace masters
