#pragma once

#include "import/sqlinsertparser.h"

#include <QList>
#include <QString>
#include <QVariantList>
#include <functional>

namespace shell {
class DownloadService;
}

namespace store {
class Database;
}

namespace import {

// The two master files on the server, under "utilities/".
enum class MasterFile {
    ScripMaster,       // "newscript.txt": the rows of ScripMaster
    DerivativeGroup,   // "DerivativesGroup.txt": the members of the group "Derivative"
};

QString masterFileName(MasterFile file);
// The only statement shape each file may hold.
sqlinsert::TableShape masterFileShape(MasterFile file);

// The statements of a master file, checked line by line and not yet run.
struct MasterFileContent {
    // One value list per statement, in the shape's column order.
    QList<QVariantList> rows;
    // The file's line number of each statement (blank lines are skipped).
    QList<qint64> lineNumbers;
    // The refused line (0 when the whole file is refused, e.g. unreadable)
    // and why; both empty when every line was accepted.
    qint64 badLine = 0;
    QString reason;
    // Lines that repeated a link already read, skipped.
    qint64 repeatedLines = 0;

    bool accepted() const { return reason.isEmpty(); }
};

// Reads and checks every line of the master file at `path`. A file that
// cannot be read, a file without statements, and a line of any other shape
// refuse the whole file.
MasterFileContent readMasterFile(MasterFile file, const QString& path);

// What became of one master refresh.
struct MasterRefreshOutcome {
    enum class Status {
        Updated,        // the table holds the file's rows
        NotDownloaded,  // no file; nothing was changed
        Refused,        // the file was refused; nothing was changed
    };
    Status status = Status::NotDownloaded;
    QString path;
    // Rows written from the file (Updated only), and the repeated lines
    // that were skipped.
    qint64 rows = 0;
    qint64 repeatedLines = 0;
    // The refused line (Refused only; 0 when the file as a whole was refused).
    qint64 badLine = 0;
    // What to tell the user when not updated.
    QString message;

    bool updated() const { return status == Status::Updated; }
};

// Rebuilds from a master file, in one transaction, after the whole file has
// been checked:
//  - ScripMaster: every row of ScripMaster is replaced by the file's rows,
//    and the group "ALL" is made to hold the scrip numbers 1 to 8000;
//  - DerivativeGroup: the members of "Derivative" are replaced by the
//    file's links.
// A refused line, or a row the store refuses, leaves every table unchanged.
MasterRefreshOutcome refreshFromFile(store::Database& db, MasterFile file, const QString& path);

// Downloads a master file from the server into a folder and refreshes from
// it. When the download fails, the copy an earlier run left in the folder is
// used in its place; without one, nothing is changed.
class MasterRefresh {
public:
    MasterRefresh(store::Database& db, shell::DownloadService& service, QString baseAddress, QString saveFolder);

    // Told when the download service reports a failure, before the outcome.
    void setDownloadFailed(std::function<void(const QString& error)> onFailure) { m_downloadFailed = std::move(onFailure); }
    // Told before each download starts (true) and after it ends (false).
    void setDownloading(std::function<void(bool)> onDownloading) { m_downloading = std::move(onDownloading); }

    QString url(MasterFile file) const;
    QString savePath(MasterFile file) const;

    MasterRefreshOutcome run(MasterFile file);

private:
    store::Database& m_db;
    shell::DownloadService& m_service;
    QString m_base;
    QString m_folder;
    std::function<void(const QString&)> m_downloadFailed;
    std::function<void(bool)> m_downloading;
};

// The highest scrip number that the group "ALL" holds after a refresh.
inline constexpr int kAllGroupScripCount = 8000;

namespace mastermessages {
// " Scrip Master Updated Successfully ", " Derivatives Group Updated Successfully ".
QString updatedLine(MasterFile file);
// The log line of a refresh that changed nothing.
QString notUpdatedLine(MasterFile file);
// path + " Does Not Exists".
QString doesNotExist(const QString& path);
}  // namespace mastermessages

}  // namespace import
