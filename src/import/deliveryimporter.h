#pragma once

#include "import/mtowriter.h"

#include <QDate>
#include <QString>
#include <functional>
#include <string>
#include <vector>

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

// A delivery file read and decoded without looking at the store: either
// refused already (no path, unreadable, not of this format, another day than
// its name says) or the day and its rows, up to the first line that cannot be
// read. Decoding needs no store, so a batch decodes its next files on other
// threads while it stores the current one.
class DecodedDeliveryFile {
public:
    // A row and the number of the line it came from (the header is line 1).
    struct Row {
        qint64 line = 0;
        qint64 scriptcode = 0;
        std::array<double, MtoFigureCount> figures{};
        // Where the two codes lie in the file's decoded text.
        quint32 nseStart = 0, nseLength = 0, bseStart = 0, bseLength = 0;
    };

    // Refused before the store is asked (outcome() holds why), or not.
    bool refused() const { return m_refused; }
    // The day and its text once the header is read; the refusal when refused.
    const DeliveryImportOutcome& outcome() const { return m_outcome; }
    // The rows before the first unreadable line, in file order.
    const std::vector<Row>& rows() const { return m_rows; }
    // The first line that cannot be read, 0 when every line can; the file is
    // refused for it unless the store refuses the day first.
    qint64 badLine() const { return m_badLine; }
    const QString& badLineReason() const { return m_badLineReason; }
    // The progress scale: the file's line ends plus one.
    qint64 progressMaximum() const { return m_progressMaximum; }

    // The row as the store writer takes it; its codes point into this object.
    MtoRow mtoRow(const Row& row) const;
    // The first row whose scrip an earlier row has already, or none.
    const Row* firstRepeatedScrip() const;

    // Reads and decodes the file at `path`; safe to run on several threads
    // at once, each on its own file.
    static DecodedDeliveryFile decode(const QString& path);

private:
    DeliveryImportOutcome m_outcome;
    bool m_refused = false;
    std::vector<Row> m_rows;
    std::string m_codes;
    qint64 m_badLine = 0;
    QString m_badLineReason;
    qint64 m_progressMaximum = 0;
};

// Loads one combined delivery file (NB<dd><MMM>.csv) into `mto`. Checks run
// in this order, each refusing the file before anything is written: a path is
// given, the file can be read, line 1 is a header of this format, the header's
// day is the day in the file's name, and `mto` has no row of that day yet.
// Then every line is decoded and stored in one transaction: a file lands
// whole or not at all, and a bad line is reported with its number and reason.
// While an MtoBatch is open on the store, the rows go into its work, and
// land when the batch saves it.
class DeliveryImporter {
public:
    explicit DeliveryImporter(store::Database& db) : m_db(db) {}

    void setProgress(DeliveryImportProgress progress) { m_progress = std::move(progress); }

    DeliveryImportOutcome importFile(const QString& path);
    // Stores a file decoded beforehand; the same checks and outcome as importFile.
    DeliveryImportOutcome importDecoded(const DecodedDeliveryFile& file);

private:
    DeliveryImportOutcome write(const DecodedDeliveryFile& file, bool* spoiled);

    store::Database& m_db;
    DeliveryImportProgress m_progress;
};

// The user's messages of the refusals that the file format defines.
namespace deliverymessages {
inline const QString kSelectFile = QStringLiteral("Please Select A File");
inline const QString kInvalid = QStringLiteral("The File You Selected Is Invalid");
inline const QString kIncorrect = QStringLiteral("The File You Selected Is Incorrect");
inline const QString kDayPresent = QStringLiteral("The Database Already Contains The Data Of ");
// The end of every refusal: the store is as it was.
inline const QString kNothingImported = QStringLiteral("Nothing was imported from the file.");
// A file whose rows were stored but whose batch could not be saved.
QString storeFailed(const QString& reason);
}  // namespace deliverymessages

}  // namespace import
