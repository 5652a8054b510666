#pragma once

#include <QDate>
#include <QString>
#include <functional>

namespace store {
class Database;
}

namespace import {

// What became of one combined delivery file.
struct DeliveryImportOutcome {
    enum class Status {
        Imported,      // every data line is in `mto`
        NoFile,        // no path was given
        Unreadable,    // the file could not be opened or read
        Invalid,       // line 1 is not a header of this format
        Incorrect,     // the header is not ours, or the day differs from the file's name
        DayPresent,    // `mto` holds the day already
        BadLine,       // a line could not be read or stored; nothing was written
        StoreFailed,   // the store failed outside any one line; nothing was written
    };

    Status status = Status::NoFile;
    // The file's trading day once the header was read (also when refused later).
    QDate day;
    // The day as the header wrote it.
    QString dayText;
    // Rows written (Imported only).
    qint64 rowsImported = 0;
    // The refused line's number, counting the header as line 1 (BadLine only).
    qint64 badLine = 0;
    // What to tell the user; empty when imported.
    QString message;

    bool imported() const { return status == Status::Imported; }
};

// How far an import is: rows written so far, and the file's line count plus
// one (the scale the progress bar uses).
using DeliveryImportProgress = std::function<void(qint64 rowsDone, qint64 maximum)>;

// Loads one combined delivery file (NB<dd><MMM>.csv) into `mto`. Checks run
// in this order, each refusing the file before anything is written: a path is
// given, the file can be read, line 1 is a header of this format, the header's
// day is the day in the file's name, and `mto` has no row of that day yet.
// Then every line is decoded and stored in one transaction: a file lands
// whole or not at all, and a bad line is reported with its number and reason.
class DeliveryImporter {
public:
    explicit DeliveryImporter(store::Database& db) : m_db(db) {}

    void setProgress(DeliveryImportProgress progress) { m_progress = std::move(progress); }

    DeliveryImportOutcome importFile(const QString& path);

private:
    store::Database& m_db;
    DeliveryImportProgress m_progress;
};

// The user's messages of the refusals that the file format defines.
namespace deliverymessages {
inline const QString kSelectFile = QStringLiteral("Please Select A File");
inline const QString kInvalid = QStringLiteral("The File You Selected Is Invalid");
inline const QString kIncorrect = QStringLiteral("The File You Selected Is Incorrect");
inline const QString kDayPresent = QStringLiteral("The Database Already Contains The Data Of ");
}  // namespace deliverymessages

}  // namespace import
