#pragma once

#include "import/deliveryimporter.h"
#include "store/transaction.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <utility>

namespace store {
class Database;
}

namespace import {

// The folder the batch import reads, "qe" in the data folder.
QString batchFolder(const QString& dataFolder);

// The names of the delivery files in `folder`: every file whose name begins
// with "NB" (upper case), in name order, whether or not it can be read. None
// when the folder is missing.
QStringList batchFileNames(const QString& folder);

// Many days' imports gathered into few store transactions. A day's file
// touches one page of the (scrip, day) index per scrip, so saving after every
// file rewrites most of that index each time; gathered, a page is written
// once for all the days that touched it. While a batch is open on a
// connection, every delivery import on that connection writes into the
// batch's work (see openOn): a file is checked fully before its first row is
// written, so a refused file leaves nothing, and a store failure part way
// through a file spoils the open work, which the caller then undoes. The work
// is saved whole files at a time, so a stop at any moment (even a killed
// process) leaves whole days only.
//
// While it lives the connection keeps more pages in memory and copies the
// log into the store file only when the batch ends. A batch expected to add
// at least a quarter as many rows as the table holds drops the (scrip, day)
// index and makes it afresh at the end, inside the same transaction: sorting
// once is cheaper than placing every row; such a batch is saved once, at its
// end, so a stop before then leaves none of its days.
class MtoBatch {
public:
    // `expectedRows`: about how many rows the batch will add (0 if unknown).
    // Raises store::StoreError when the store cannot start the work.
    MtoBatch(store::Database& db, qint64 expectedRows = 0);
    // Undoes the work not saved yet; the store's settings return.
    ~MtoBatch();
    MtoBatch(const MtoBatch&) = delete;
    MtoBatch& operator=(const MtoBatch&) = delete;

    // Whether the open work is old enough to be saved now.
    bool due() const;
    // Whether the store gave up the open work by itself (it does so after
    // some failures, a full disk for one): the files gathered since the last
    // save are then not in the store, and undo() opens a new unit. Asked
    // after every file, before the next one starts.
    bool workLost() const;
    // Undoes the work not saved yet and opens the next unit.
    void undo();
    // Told by an import whose file the store left half written; asked (and
    // cleared) by the caller after each file, which then undoes the work.
    void spoil() { m_spoiled = true; }
    bool takeSpoiled() { return std::exchange(m_spoiled, false); }
    // Saves the open work and opens the next unit. Returns the store's
    // reason when the work could not be saved (it is then lost), else "".
    QString save();
    // Saves the rest, makes the index again where it was dropped and copies
    // the log into the store file. Returns a failure as save() does.
    QString finish();

    // The batch open on `db`, or none.
    static MtoBatch* openOn(const store::Database& db);
    // Whether a batch of about `expectedRows` rows into a table of
    // `storedRows` makes the read-only indexes afresh.
    static bool makesIndexesAfresh(qint64 expectedRows, qint64 storedRows)
    {
        return expectedRows > 0 && expectedRows * kRebuildShare >= storedRows;
    }

    // Work older than this is saved after the file in hand.
    static constexpr qint64 kSaveEveryMs = 1000;
    // A batch of at least 1/kRebuildShare of the table's rows makes the
    // read-only indexes afresh.
    static constexpr qint64 kRebuildShare = 4;

private:
    void begin();
    void restoreSettings();

    store::Database& m_db;
    std::optional<store::Transaction> m_work;
    QElapsedTimer m_age;
    bool m_rebuildIndex = false;
    QStringList m_droppedIndexes;
    bool m_finished = false;
    bool m_spoiled = false;
    qint64 m_cacheSize = 0;
    qint64 m_autoCheckpoint = 0;
};

// What became of one file of a batch.
struct BatchFileOutcome {
    QString fileName;
    DeliveryImportOutcome outcome;
};

// Progress of a batch: files done (the current one counting by its share of
// rows) out of all files, as a fraction from 0 to 1.
using BatchProgress = std::function<void(double done)>;

// Imports the files of `folder` named in `fileNames`, in order, each whole
// or not at all. A refused file is recorded and the batch goes on. The files
// are decoded ahead on other threads and stored through one MtoBatch.
QList<BatchFileOutcome> importBatch(store::Database& db, const QString& folder, const QStringList& fileNames,
                                    const BatchProgress& progress = {});

// The line that lists one file's outcome: the file's name and either the
// rows loaded and the day, or the reason it was refused.
QString batchOutcomeLine(const BatchFileOutcome& file);

namespace batchmessages {
inline const QString kSuccess = QStringLiteral("Success");
// The end of a batch in which some files were refused.
QString someRefused(qsizetype imported, qsizetype total);
// "Load Files" on a folder without delivery files.
QString noFiles(const QString& folder);
// Why a file stored earlier in the batch is not in the store after all.
QString workUndone(const QString& failedFile);
}  // namespace batchmessages

}  // namespace import
