#pragma once

#include "import/textlines.h"

#include <QString>

namespace store {
class Database;
}

namespace import {

// What became of one NNF security file.
struct NnfImportOutcome {
    enum class Status {
        Imported,     // nnf_security holds exactly the file's "EQ" lines
        NoFile,       // no path was given
        NotFound,     // no file at the path
        Unreadable,   // the file could not be opened or read
        NoLines,      // the file holds no "EQ" line after its header
        BadLine,      // a line could not be read; nothing changed
        StoreFailed,  // the store failed; nothing changed
    };

    Status status = Status::NoFile;
    // Lines read after the header, and the "EQ" rows stored of them.
    qint64 linesRead = 0;
    qint64 rowsImported = 0;
    // "EQ" lines that repeat an earlier line's security (its number and
    // symbol); each security is stored once.
    qint64 repeatedLines = 0;
    // The refused line's number, counting the header as line 1 (BadLine only).
    qint64 badLine = 0;
    // What to tell the user.
    QString message;

    bool imported() const { return status == Status::Imported; }
};

// Replaces the contents of nnf_security with the equity lines of an NNF
// security file: "|"-separated text whose line 1 is a header; on every further
// line field 1 is the security's number, field 2 its symbol and field 3 its
// series, each ending in a "|". Only series "EQ" is stored, each security
// once: a line that repeats one is skipped and counted. The whole file is
// checked first (line 1 must not be a security line; every further line needs
// its three fields, no fewer fields than the header line, and a whole number,
// 32-bit, in field 1, whatever its series; at least one line must be "EQ");
// the table is then emptied and refilled in one transaction, so a refused
// file leaves the table as it was.
class NnfImporter {
public:
    explicit NnfImporter(store::Database& db) : m_db(db) {}

    void setProgress(ImportProgress progress) { m_progress = std::move(progress); }

    NnfImportOutcome importFile(const QString& path);

private:
    store::Database& m_db;
    ImportProgress m_progress;
};

namespace nnfmessages {
inline const QString kSelectFile = QStringLiteral("Please Select NNF Security File");
inline const QString kNotFound = QStringLiteral("File not found");
inline const QString kImported = QStringLiteral("NNF Security Import Completed Successfully");
// The end of every refusal: the table is as it was.
inline const QString kUnchanged = QStringLiteral("The NNF securities were not changed.");
// kImported, and how many repeated lines were skipped when there were any.
QString importedMessage(qint64 repeatedLines);
}  // namespace nnfmessages

}  // namespace import
