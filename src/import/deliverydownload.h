#pragma once

#include "import/deliveryimporter.h"

#include <QDate>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace shell {
class DownloadService;
}

namespace store {
class Database;
}

namespace import {

// What became of one day's delivery file.
struct DeliveryDayOutcome {
    enum class Status {
        Imported,       // downloaded and loaded into mto
        NotDownloaded,  // no file came from the server
        WrongDay,       // the file came but holds the data of another day
        Refused,        // the file came but the import refused it
    };
    Status status = Status::NotDownloaded;
    QDate day;
    // Where the file was saved.
    QString path;
    // Why the file is not loaded (empty when imported).
    QString reason;
    // The import's own outcome (Imported and Refused only).
    DeliveryImportOutcome import;

    bool imported() const { return status == Status::Imported; }
};

// Loads one downloaded file; the screens pass their own import, which shows
// its progress and messages, and tests the plain importer.
using DeliveryFileImport = std::function<DeliveryImportOutcome(const QString& path)>;

// Fetches the combined delivery file of a day from the server
// (base + "updates/NB<dd><MMM>.csv") into a folder and imports it. When the
// download fails, the copy of that name an earlier run left in the folder is
// imported in its place. Either file is used only when its header names the
// very day asked for (the name carries no year).
class DeliveryDownload {
public:
    DeliveryDownload(shell::DownloadService& service, QString baseAddress, QString saveFolder,
                     DeliveryFileImport import);

    // Told when the download service reports a failure, before the outcome.
    void setDownloadFailed(std::function<void(const QDate& day, const QString& error)> onFailure)
    {
        m_downloadFailed = std::move(onFailure);
    }
    // Told before each download starts (true) and after it ends (false).
    void setDownloading(std::function<void(bool)> onDownloading) { m_downloading = std::move(onDownloading); }
    // Gathers the imports of a range into few transactions on `db` (see
    // MtoBatch), the store the import writes to. A day's outcome is then
    // told once the work holding it is saved; a day whose work was lost is
    // told as not updated, with the store's reason.
    void gatherImportsIn(store::Database& db) { m_store = &db; }

    QString url(const QDate& day) const;
    QString savePath(const QDate& day) const;

    DeliveryDayOutcome fetchDay(const QDate& day);

    // Fetches every day from `first` to `last` in order; `afterDay` is told
    // each day's outcome as soon as it is known. Returns all outcomes.
    QList<DeliveryDayOutcome> fetchRange(const QDate& first, const QDate& last,
                                         const std::function<void(const DeliveryDayOutcome&)>& afterDay = {});

private:
    shell::DownloadService& m_service;
    QString m_base;
    QString m_folder;
    DeliveryFileImport m_import;
    std::function<void(const QDate&, const QString&)> m_downloadFailed;
    std::function<void(bool)> m_downloading;
    store::Database* m_store = nullptr;
};

// The days of a range download: `first` to `last` inclusive, none when
// `last` is earlier than `first`.
QList<QDate> rangeDays(const QDate& first, const QDate& last);

// The trading day in the header of the delivery file at `path`, or nothing
// when line 1 is not a readable header (the import then refuses the file).
std::optional<QDate> deliveryHeaderDay(const QString& path);

// The running log of the range download: each entry is a line end followed
// by its text, as the screen's message box shows it.
class DownloadLog {
public:
    void append(const QString& line) { m_text += QLatin1Char('\n') + line; }
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

namespace downloadmessages {
inline const QString kErrorDownloading = QStringLiteral("Error downloading!");
inline const QString kDone = QStringLiteral("Done");
inline const QString kOneDayNotDownloaded = QStringLiteral(
    "The File Was Not Downloaded\nEither The File Does Not Exist For That Date\n"
    "Or There May Be Some Fault In You Internet Connection");
// The log line of one day of the range download.
QString logLine(const DeliveryDayOutcome& outcome);
// The message for a downloaded file, or an earlier copy, that holds another day.
QString wrongDayMessage(const QDate& asked, const QDate& held, bool earlierCopy);
}  // namespace downloadmessages

}  // namespace import
