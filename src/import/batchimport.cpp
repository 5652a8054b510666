#include "import/batchimport.h"

#include "store/database.h"
#include "store/datetext.h"
#include "store/showntext.h"
#include "store/storeerror.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <deque>
#include <future>
#include <sqlite3.h>
#include <thread>

namespace import {

namespace {

// While a batch runs the connection may keep this many KiB of pages: the
// day's rows, the ends of both indexes and the pages a save writes.
constexpr qint64 kBatchCacheKiB = 256 * 1024;

// Files decoded ahead of the one being stored, per decoding thread.
constexpr size_t kFilesAheadPerThread = 2;

// The non-unique indexes of mto: read only by queries, so a big batch may
// make them afresh at its end. The unique index stays: it keeps a day from
// being loaded twice and a scrip from appearing twice in one day.
store::Rows readOnlyIndexes(store::Database& db)
{
    return db.query(QStringLiteral(
        "SELECT m.name, m.sql FROM sqlite_master AS m, pragma_index_list('mto') AS i"
        " WHERE m.type = 'index' AND m.tbl_name = 'mto' AND m.sql IS NOT NULL AND i.name = m.name AND i.\"unique\" = 0"
        " ORDER BY m.name"));
}

// What a file whose work could not be saved tells: "" when it was saved.
QString lostMessage(const QString& failure)
{
    return failure.isEmpty() ? QString() : deliverymessages::storeFailed(failure);
}

// The batches open now, by connection (all on the thread that uses the store).
QHash<const store::Database*, MtoBatch*>& openBatches()
{
    static QHash<const store::Database*, MtoBatch*> batches;
    return batches;
}

}  // namespace

MtoBatch* MtoBatch::openOn(const store::Database& db)
{
    return openBatches().value(&db, nullptr);
}

MtoBatch::MtoBatch(store::Database& db, qint64 expectedRows) : m_db(db)
{
    if (openOn(db))
        throw store::StoreError(QStringLiteral("A batch of imports is open on this store already."));
    m_cacheSize = m_db.scalar(QStringLiteral("PRAGMA cache_size")).toLongLong();
    m_autoCheckpoint = m_db.scalar(QStringLiteral("PRAGMA wal_autocheckpoint")).toLongLong();
    m_db.exec(QStringLiteral("PRAGMA cache_size = %1").arg(-std::max(kBatchCacheKiB, std::abs(m_cacheSize))));
    m_db.scalar(QStringLiteral("PRAGMA wal_autocheckpoint = 0"));
    // The highest row number stands for the table's size without counting it.
    const qint64 stored = m_db.scalar(QStringLiteral("SELECT max(rowid) FROM mto")).toLongLong();
    m_rebuildIndex = makesIndexesAfresh(expectedRows, stored);
    try {
        begin();
    } catch (const store::StoreError&) {
        m_work.reset();
        restoreSettings();
        throw;
    }
    openBatches().insert(&m_db, this);
}

MtoBatch::~MtoBatch()
{
    openBatches().remove(&m_db);
    m_work.reset();
    restoreSettings();
}

void MtoBatch::restoreSettings()
{
    try {
        m_db.exec(QStringLiteral("PRAGMA cache_size = %1").arg(m_cacheSize));
        m_db.scalar(QStringLiteral("PRAGMA wal_autocheckpoint = %1").arg(m_autoCheckpoint));
    } catch (const store::StoreError&) {
        // The connection is gone; there is nothing left to restore.
    }
}

void MtoBatch::begin()
{
    m_work.emplace(m_db);
    m_age.start();
    m_droppedIndexes.clear();
    if (m_rebuildIndex) {
        for (const auto& index : readOnlyIndexes(m_db).rows) {
            m_db.exec(QStringLiteral("DROP INDEX %1").arg(store::quoteIdentifier(index[0].toString())));
            m_droppedIndexes.append(index[1].toString());
        }
    }
}

bool MtoBatch::due() const
{
    // Made-afresh indexes are made once, so that batch is saved once.
    return !m_rebuildIndex && m_age.elapsed() >= kSaveEveryMs;
}

bool MtoBatch::workLost() const
{
    // The store rolled back the whole transaction: the savepoint is gone too.
    return sqlite3_get_autocommit(m_db.handle()) != 0;
}

void MtoBatch::undo()
{
    m_work.reset();
    try {
        begin();
    } catch (const store::StoreError&) {
        // Opened again by the next save, or reported by it.
    }
}

QString MtoBatch::save()
{
    QString failure;
    try {
        if (!m_work)
            throw store::StoreError(QStringLiteral("the batch's transaction could not be opened"));
        // The indexes dropped at the start are made again from their own
        // definitions before the rows land, so the schema stays as it was.
        for (const QString& definition : std::as_const(m_droppedIndexes))
            m_db.exec(definition);
        m_droppedIndexes.clear();
        m_work->commit();
    } catch (const store::StoreError& error) {
        failure = error.message();
    }
    m_work.reset();
    if (!m_finished) {
        try {
            begin();
        } catch (const store::StoreError& error) {
            if (failure.isEmpty())
                failure = error.message();
        }
    }
    return failure;
}

QString MtoBatch::finish()
{
    m_finished = true;
    const QString failure = save();
    try {
        // Copy the gathered log into the store file now, rather than on the
        // next unrelated write.
        m_db.query(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    } catch (const store::StoreError&) {
        // The log stays; the store copies it on a later save.
    }
    return failure;
}

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
    // Files that cannot be read, and pipes or devices, are listed too: the
    // import refuses each with its reason rather than leaving it out unseen.
    const QStringList files = dir.entryList(QDir::Files | QDir::System, QDir::Name);
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
    if (fileNames.isEmpty())
        return outcomes;
    const double total = static_cast<double>(fileNames.size());
    const QDir dir(folder);

    // Decoding needs no store: the next files are decoded on other threads
    // while the current one is stored.
    const size_t threads = std::clamp<size_t>(std::thread::hardware_concurrency(), 2, 5) - 1;
    std::deque<std::future<DecodedDeliveryFile>> ahead;
    qsizetype launched = 0;
    auto decodeAhead = [&] {
        while (launched < fileNames.size() && ahead.size() < threads * kFilesAheadPerThread) {
            ahead.push_back(std::async(std::launch::async, &DecodedDeliveryFile::decode,
                                       dir.filePath(fileNames[launched])));
            ++launched;
        }
    };
    decodeAhead();
    DecodedDeliveryFile first = ahead.front().get();
    ahead.pop_front();

    // The batch's size in rows, from the first file's rows per byte.
    qint64 expectedRows = 0;
    if (!first.refused()) {
        qint64 bytes = 0;
        for (const QString& name : fileNames)
            bytes += QFileInfo(dir.filePath(name)).size();
        const qint64 firstBytes = std::max<qint64>(1, QFileInfo(dir.filePath(fileNames.first())).size());
        expectedRows = static_cast<qint64>(static_cast<double>(first.rows().size()) * static_cast<double>(bytes) /
                                           static_cast<double>(firstBytes));
    }

    // Without a batch (the store refused its settings) each file is saved
    // alone, as the plain import does.
    std::optional<MtoBatch> batch;
    try {
        batch.emplace(db, expectedRows);
    } catch (const store::StoreError&) {
        batch.reset();
    }
    DeliveryImporter importer(db);
    // Outcomes from this index on belong to work not saved yet.
    qsizetype unsaved = 0;
    auto settle = [&outcomes, &unsaved](const QString& lost) {
        if (!lost.isEmpty()) {
            for (qsizetype i = unsaved; i < outcomes.size(); ++i) {
                DeliveryImportOutcome& outcome = outcomes[i].outcome;
                if (outcome.imported()) {
                    outcome.status = DeliveryImportOutcome::Status::StoreFailed;
                    outcome.rowsImported = 0;
                    outcome.message = lost;
                }
            }
        }
        unsaved = outcomes.size();
    };

    for (qsizetype i = 0; i < fileNames.size(); ++i) {
        DecodedDeliveryFile file = i == 0 ? std::move(first) : ahead.front().get();
        if (i > 0)
            ahead.pop_front();
        decodeAhead();
        if (progress) {
            importer.setProgress([&progress, i, total](qint64 rows, qint64 maximum) {
                const double share = maximum > 0 ? static_cast<double>(rows) / static_cast<double>(maximum) : 0.0;
                progress((static_cast<double>(i) + share) / total);
            });
        }
        const DeliveryImportOutcome outcome = importer.importDecoded(file);
        outcomes.append({fileNames[i], outcome});
        if (!batch) {
            settle({});
        } else if (batch->takeSpoiled() || batch->workLost()) {
            // Part of the file may be in the open work: none of it may stay.
            batch->undo();
            settle(deliverymessages::storeFailed(batchmessages::workUndone(fileNames[i])));
        } else if (batch->due()) {
            settle(lostMessage(batch->save()));
        }
        if (progress)
            progress(static_cast<double>(i + 1) / total);
    }
    if (batch)
        settle(lostMessage(batch->finish()));
    return outcomes;
}

QString batchOutcomeLine(const BatchFileOutcome& file)
{
    const DeliveryImportOutcome& outcome = file.outcome;
    if (outcome.imported()) {
        return QStringLiteral("%1: %2 rows of %3 imported")
            .arg(store::shownPath(file.fileName), QString::number(outcome.rowsImported),
                 datetext::toDisplay(outcome.day));
    }
    QString reason = outcome.message;
    reason.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QStringLiteral("%1: not imported - %2").arg(store::shownPath(file.fileName), reason.simplified());
}

namespace batchmessages {

QString someRefused(qsizetype imported, qsizetype total)
{
    return QStringLiteral("%1 of %2 files were imported.\nThe list shows why the others were not.")
        .arg(imported)
        .arg(total);
}

QString workUndone(const QString& failedFile)
{
    return QStringLiteral("the store undid the batch's unsaved work when %1 failed").arg(store::shownPath(failedFile));
}

QString noFiles(const QString& folder)
{
    return QStringLiteral("The folder %1 holds no file whose name begins with NB.").arg(store::shownPath(folder));
}

}  // namespace batchmessages

}  // namespace import
