#include "import/batchimport.h"

#include "store/datetext.h"

#include <QDir>

namespace import {

QString batchFolder(const QString& dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("qe"));
}

QStringList batchFileNames(const QString& folder)
{
    const QDir dir(folder);
    if (!dir.exists())
        return {};
    QStringList names;
    const QStringList files = dir.entryList(QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& name : files) {
        if (name.startsWith(QLatin1String("NB"), Qt::CaseSensitive))
            names.append(name);
    }
    return names;
}

QList<BatchFileOutcome> importBatch(store::Database& db, const QString& folder, const QStringList& fileNames,
                                    const BatchProgress& progress)
{
    QList<BatchFileOutcome> outcomes;
    const double total = static_cast<double>(fileNames.size());
    DeliveryImporter importer(db);
    for (qsizetype i = 0; i < fileNames.size(); ++i) {
        if (progress) {
            importer.setProgress([&progress, i, total](qint64 rows, qint64 maximum) {
                const double share = maximum > 0 ? static_cast<double>(rows) / static_cast<double>(maximum) : 0.0;
                progress((static_cast<double>(i) + share) / total);
            });
        }
        outcomes.append({fileNames[i], importer.importFile(QDir(folder).filePath(fileNames[i]))});
        if (progress)
            progress(static_cast<double>(i + 1) / total);
    }
    return outcomes;
}

QString batchOutcomeLine(const BatchFileOutcome& file)
{
    const DeliveryImportOutcome& outcome = file.outcome;
    if (outcome.imported()) {
        return QStringLiteral("%1: %2 rows of %3 imported")
            .arg(file.fileName)
            .arg(outcome.rowsImported)
            .arg(datetext::toDisplay(outcome.day));
    }
    QString reason = outcome.message;
    reason.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QStringLiteral("%1: not imported - %2").arg(file.fileName, reason.simplified());
}

namespace batchmessages {

QString someRefused(qsizetype imported, qsizetype total)
{
    return QStringLiteral("%1 of %2 files were imported.\nThe list shows why the others were not.")
        .arg(imported)
        .arg(total);
}

QString noFiles(const QString& folder)
{
    return QStringLiteral("The folder %1 holds no file whose name begins with NB.").arg(QDir::toNativeSeparators(folder));
}

}  // namespace batchmessages

}  // namespace import
