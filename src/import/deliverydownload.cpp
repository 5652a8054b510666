#include "import/deliverydownload.h"

#include "import/batchimport.h"
#include "import/deliverycodec.h"
#include "import/deliveryfile.h"
#include "import/freshdownload.h"
#include "shell/downloadservice.h"
#include "store/datetext.h"
#include "store/storeerror.h"

#include <QDir>
#include <QFile>

namespace import {

namespace {

// A header line is a few hundred characters at most.
constexpr qint64 kLongestHeader = 4096;

// A message on one line, for the log.
QString oneLine(QString text)
{
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text.simplified();
}

}  // namespace

DeliveryDownload::DeliveryDownload(shell::DownloadService& service, QString baseAddress, QString saveFolder,
                                   DeliveryFileImport import)
    : m_service(service), m_base(std::move(baseAddress)), m_folder(std::move(saveFolder)), m_import(std::move(import))
{
}

QString DeliveryDownload::url(const QDate& day) const
{
    return shell::DownloadService::fileUrl(m_base, QStringLiteral("updates/") + deliveryfile::fileName(day));
}

QString DeliveryDownload::savePath(const QDate& day) const
{
    return QDir(m_folder).filePath(deliveryfile::fileName(day));
}

DeliveryDayOutcome DeliveryDownload::fetchDay(const QDate& day)
{
    DeliveryDayOutcome outcome;
    outcome.day = day;
    outcome.path = savePath(day);

    if (m_downloading)
        m_downloading(true);
    const FreshDownload download = downloadFresh(m_service, url(day), outcome.path);
    if (m_downloading)
        m_downloading(false);
    if (!download.downloaded && m_downloadFailed)
        m_downloadFailed(day, download.error);
    if (!download.present) {
        outcome.status = DeliveryDayOutcome::Status::NotDownloaded;
        outcome.reason = download.error;
        return outcome;
    }

    // The name carries no year: the server may still hold last year's file
    // under it, and an earlier copy may be last year's file of this day.
    const std::optional<QDate> held = deliveryHeaderDay(outcome.path);
    if (held && *held != day) {
        outcome.status = DeliveryDayOutcome::Status::WrongDay;
        outcome.reason = downloadmessages::wrongDayMessage(day, *held, download.usesEarlierCopy());
        // A file just fetched is of no use to anybody; an earlier copy is
        // the user's and stays.
        if (download.downloaded)
            QFile::remove(outcome.path);
        return outcome;
    }

    outcome.import = m_import(outcome.path);
    if (outcome.import.imported()) {
        outcome.status = DeliveryDayOutcome::Status::Imported;
    } else {
        outcome.status = DeliveryDayOutcome::Status::Refused;
        outcome.reason = outcome.import.message;
    }
    return outcome;
}

QList<DeliveryDayOutcome> DeliveryDownload::fetchRange(const QDate& first, const QDate& last,
                                                       const std::function<void(const DeliveryDayOutcome&)>& afterDay)
{
    QList<DeliveryDayOutcome> outcomes;
    std::optional<MtoBatch> batch;
    try {
        if (m_store)
            batch.emplace(*m_store);
    } catch (const store::StoreError&) {
        // Each day is then saved alone, as the import does by itself.
        batch.reset();
    }
    // Outcomes from this index on wait for the work holding them to be saved.
    qsizetype untold = 0;
    auto tell = [&](const QString& lostMessage) {
        for (; untold < outcomes.size(); ++untold) {
            DeliveryDayOutcome& outcome = outcomes[untold];
            if (!lostMessage.isEmpty() && outcome.imported()) {
                outcome.status = DeliveryDayOutcome::Status::Refused;
                outcome.import.status = DeliveryImportOutcome::Status::StoreFailed;
                outcome.import.rowsImported = 0;
                outcome.import.message = lostMessage;
                outcome.reason = lostMessage;
            }
            if (afterDay)
                afterDay(outcome);
        }
    };
    for (const QDate& day : rangeDays(first, last)) {
        outcomes.append(fetchDay(day));
        if (!batch) {
            tell({});
        } else if (batch->takeSpoiled() || batch->workLost()) {
            batch->undo();
            tell(deliverymessages::storeFailed(batchmessages::workUndone(deliveryfile::fileName(day))));
        } else if (batch->due()) {
            const QString failure = batch->save();
            tell(failure.isEmpty() ? QString() : deliverymessages::storeFailed(failure));
        }
    }
    if (batch) {
        const QString failure = batch->finish();
        tell(failure.isEmpty() ? QString() : deliverymessages::storeFailed(failure));
    }
    return outcomes;
}

QList<QDate> rangeDays(const QDate& first, const QDate& last)
{
    QList<QDate> days;
    if (!first.isValid() || !last.isValid())
        return days;
    for (QDate day = first; day <= last; day = day.addDays(1))
        days.append(day);
    return days;
}

std::optional<QDate> deliveryHeaderDay(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray line = file.readLine(kLongestHeader);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    if (!line.startsWith(deliverycodec::kHeaderLiteral))
        return std::nullopt;
    QString text;
    if (!deliverycodec::decode(line, text) || !text.startsWith(QLatin1String(deliverycodec::kHeaderWord)))
        return std::nullopt;
    return datetext::fromDisplay(text.mid(static_cast<qsizetype>(qstrlen(deliverycodec::kHeaderWord))));
}

namespace downloadmessages {

QString logLine(const DeliveryDayOutcome& outcome)
{
    const QString day = datetext::toDisplay(outcome.day);
    switch (outcome.status) {
    case DeliveryDayOutcome::Status::Imported:
        return QStringLiteral(" The File Was Updated Successfully for date : ") + day;
    case DeliveryDayOutcome::Status::NotDownloaded:
        return QStringLiteral(" The File Was Not Downloaded for date : ") + day;
    case DeliveryDayOutcome::Status::WrongDay:
    case DeliveryDayOutcome::Status::Refused:
        break;
    }
    return QStringLiteral(" The File Was Not Updated for date : ") + day + QStringLiteral(" : ") + oneLine(outcome.reason);
}

QString wrongDayMessage(const QDate& asked, const QDate& held, bool earlierCopy)
{
    const QString which = earlierCopy ? QStringLiteral("The earlier copy of the file for %1")
                                      : QStringLiteral("The file downloaded for %1");
    return (which + QStringLiteral(" holds the data of %2; it was not imported."))
        .arg(datetext::toDisplay(asked), datetext::toDisplay(held));
}

}  // namespace downloadmessages

}  // namespace import
