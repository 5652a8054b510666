#pragma once

#include "import/deliveryimporter.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace store {
class Database;
}

namespace import {

// The folder the batch import reads, "qe" in the data folder.
QString batchFolder(const QString& dataFolder);

// The names of the delivery files in `folder`: every file whose name begins
// with "NB" (upper case), in name order. None when the folder is missing.
QStringList batchFileNames(const QString& folder);

// What became of one file of a batch.
struct BatchFileOutcome {
    QString fileName;
    DeliveryImportOutcome outcome;
};

// Progress of a batch: files done (the current one counting by its share of
// rows) out of all files, as a fraction from 0 to 1.
using BatchProgress = std::function<void(double done)>;

// Imports the files of `folder` named in `fileNames`, in order, each in its
// own transaction. A refused file is recorded and the batch goes on.
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
}  // namespace batchmessages

}  // namespace import
