#pragma once

#include "import/textlines.h"

#include <QDate>
#include <QString>
#include <functional>

namespace store {
class Database;
}

namespace import {

// What became of one bhavcopy file.
struct BhavcopyImportOutcome {
    enum class Status {
        Imported,     // every data line is in allbhavcopy
        NoFile,       // no path was given
        Unreadable,   // the file could not be opened or read
        Invalid,      // line 1 is not the bhavcopy header
        NoRows,       // the file holds no data line
        BadLine,      // a line could not be read or stored; nothing was written
        KeptLoaded,   // the day was loaded already and the user kept it
        StoreFailed,  // the store failed; nothing was written
    };

    Status status = Status::NoFile;
    // The file's trading day, once line 2 was read.
    QDate day;
    // The day as the file wrote it.
    QString dayText;
    qint64 rowsImported = 0;
    // Whether the day's earlier rows were replaced.
    bool replacedDay = false;
    // The refused line's number, counting the header as line 1 (BadLine only).
    qint64 badLine = 0;
    // What to tell the user; empty when imported or kept.
    QString message;

    bool imported() const { return status == Status::Imported; }
};

// Asked when allbhavcopy holds the file's day already; `dayText` is the day
// as the file writes it. True replaces the day's rows with the file's.
using ConfirmReplace = std::function<bool(const QString& dayText)>;

// Loads one cash-market bhavcopy into allbhavcopy, every series. The file is
// read and checked whole before anything is written: line 1 must be exactly
// the header, every further line must be a well-formed row (no figure
// negative) of the day that line 2 names, and no symbol and series may repeat. A day that is loaded
// already is replaced only when ConfirmReplace says so; the deletion of the
// old rows and the new rows land together in one transaction, or nothing
// changes. The average columns stay empty (the EMA update fills them).
class BhavcopyImporter {
public:
    explicit BhavcopyImporter(store::Database& db) : m_db(db) {}

    void setProgress(ImportProgress progress) { m_progress = std::move(progress); }
    // Without a ConfirmReplace, a loaded day is kept.
    void setConfirmReplace(ConfirmReplace confirm) { m_confirmReplace = std::move(confirm); }

    BhavcopyImportOutcome importFile(const QString& path);

private:
    store::Database& m_db;
    ImportProgress m_progress;
    ConfirmReplace m_confirmReplace;
};

// Whether allbhavcopy holds any row of `day`.
bool bhavcopyDayLoaded(store::Database& db, const QDate& day);

// The user's texts of the bhavcopy import and the EMA update.
namespace bhavcopymessages {
inline const QString kSelectFile = QStringLiteral("Please Select A Cash Market File");
inline const QString kInvalid = QStringLiteral("The File You Selected Is Invalid");
// The end of every refusal: the table is as it was.
inline const QString kNothingImported = QStringLiteral("Nothing was imported from the file.");
inline const QString kImported = QStringLiteral("Cash Market Bhavcopy Importing Done");
inline const QString kEmaDone = QStringLiteral("EMA Processing Done !!!");
// The question asked before a loaded day is replaced.
QString replaceQuestion(const QString& dayText);
}  // namespace bhavcopymessages

}  // namespace import
