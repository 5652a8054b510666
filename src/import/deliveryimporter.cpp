#include "import/deliveryimporter.h"

#include "import/deliverycodec.h"
#include "import/deliveryfile.h"
#include "import/mtowriter.h"
#include "store/database.h"
#include "store/datetext.h"
#include "store/storeerror.h"
#include "store/transaction.h"

#include <QDir>
#include <QFile>
#include <cstring>
#include <string>
#include <string_view>

namespace import {

namespace {

using Status = DeliveryImportOutcome::Status;

DeliveryImportOutcome refused(DeliveryImportOutcome outcome, Status status, const QString& message)
{
    outcome.status = status;
    outcome.message = message;
    outcome.rowsImported = 0;
    return outcome;
}

DeliveryImportOutcome badLine(DeliveryImportOutcome outcome, qint64 line, const QString& reason)
{
    outcome.badLine = line;
    return refused(std::move(outcome), Status::BadLine,
                   QStringLiteral("Line %1 of the file cannot be imported: %2.\nNothing was imported from the file.")
                       .arg(line)
                       .arg(reason));
}

// Walks the lines of a file held in memory; a line end is "\n" or "\r\n".
class LineReader {
public:
    explicit LineReader(const QByteArray& content)
        : m_pos(content.constData()), m_end(content.constData() + content.size())
    {
    }

    bool atEnd() const { return m_pos == m_end; }
    qint64 lineNumber() const { return m_line; }

    std::string_view next()
    {
        const char* start = m_pos;
        const auto* newline = static_cast<const char*>(std::memchr(m_pos, '\n', static_cast<size_t>(m_end - m_pos)));
        const char* stop = newline ? newline : m_end;
        m_pos = newline ? newline + 1 : m_end;
        ++m_line;
        if (stop != start && stop[-1] == '\r')
            --stop;
        return {start, static_cast<size_t>(stop - start)};
    }

    // Whether only line ends and blanks are left.
    bool onlyBlankLeft() const
    {
        for (const char* p = m_pos; p != m_end; ++p)
            if (*p != '\n' && *p != '\r' && *p != ' ' && *p != '\t')
                return false;
        return true;
    }

private:
    const char* m_pos;
    const char* m_end;
    qint64 m_line = 0;
};

// Reports progress whenever the whole percentage changes, so that a screen
// repaints its bar about a hundred times per file, not once per row.
class ProgressThrottle {
public:
    ProgressThrottle(const DeliveryImportProgress& progress, qint64 maximum)
        : m_progress(progress), m_maximum(maximum)
    {
    }

    void report(qint64 rows, bool force = false)
    {
        if (!m_progress)
            return;
        const qint64 percent = m_maximum > 0 ? rows * 100 / m_maximum : 100;
        if (force || percent != m_lastPercent) {
            m_lastPercent = percent;
            m_progress(rows, m_maximum);
        }
    }

private:
    const DeliveryImportProgress& m_progress;
    qint64 m_maximum;
    qint64 m_lastPercent = -1;
};

}  // namespace

DeliveryImportOutcome DeliveryImporter::importFile(const QString& path)
{
    using namespace deliverymessages;
    DeliveryImportOutcome outcome;

    if (path.trimmed().isEmpty())
        return refused(outcome, Status::NoFile, kSelectFile);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return refused(outcome, Status::Unreadable,
                       QStringLiteral("The file %1 could not be opened: %2")
                           .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return refused(outcome, Status::Unreadable,
                       QStringLiteral("The file %1 could not be read: %2")
                           .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    file.close();

    // The progress scale: the line ends of the file plus one.
    const qint64 maximum = content.count('\n') + 1;

    LineReader lines(content);
    const std::string_view header = lines.next();
    if (!header.starts_with(deliverycodec::kHeaderLiteral))
        return refused(outcome, Status::Invalid, kInvalid);

    std::string text;
    QString reason;
    if (!deliverycodec::decode(header.data(), header.data() + header.size(), text, &reason))
        return badLine(outcome, 1, reason);
    const std::string_view headerWord = deliverycodec::kHeaderWord;
    if (!std::string_view(text).starts_with(headerWord))
        return refused(outcome, Status::Incorrect, kIncorrect);

    outcome.dayText = QString::fromLatin1(text.data() + headerWord.size(),
                                          static_cast<qsizetype>(text.size() - headerWord.size()));
    const auto day = datetext::fromDisplay(outcome.dayText);
    if (!day || !deliveryfile::pathNamesDay(path, *day))
        return refused(outcome, Status::Incorrect, kIncorrect);
    outcome.day = *day;

    try {
        store::Transaction transaction(m_db);
        if (dayHasRows(m_db, outcome.day))
            return refused(outcome, Status::DayPresent, kDayPresent + outcome.dayText);

        MtoWriter writer(m_db);
        ProgressThrottle progress(m_progress, maximum);
        progress.report(0, true);
        qint64 rows = 0;
        MtoRow row;
        while (!lines.atEnd()) {
            const std::string_view line = lines.next();
            const qint64 lineNumber = lines.lineNumber();
            if (line.empty()) {
                // Blank lines after the last row are harmless; one between
                // rows means the file was damaged.
                if (lines.onlyBlankLeft())
                    break;
                return badLine(outcome, lineNumber, QStringLiteral("the line is empty"));
            }
            if (!deliverycodec::decode(line.data(), line.data() + line.size(), text, &reason))
                return badLine(outcome, lineNumber, reason);
            if (!deliveryfile::parseDataLine(text, row, &reason))
                return badLine(outcome, lineNumber, reason);
            try {
                // The day had no rows before this file, so a row already
                // there came from an earlier line of the same file.
                if (!writer.write(outcome.day, row))
                    return badLine(outcome, lineNumber,
                                   QStringLiteral("the scrip %1 appears on an earlier line already").arg(row.scriptcode));
            } catch (const store::StoreError& error) {
                return badLine(outcome, lineNumber,
                               QStringLiteral("the scrip %1 could not be stored (%2)")
                                   .arg(row.scriptcode)
                                   .arg(error.message()));
            }
            ++rows;
            progress.report(rows);
        }
        transaction.commit();
        progress.report(rows, true);
        outcome.status = Status::Imported;
        outcome.rowsImported = rows;
        return outcome;
    } catch (const store::StoreError& error) {
        return refused(outcome, Status::StoreFailed,
                       QStringLiteral("The file could not be imported: %1\nNothing was imported from the file.")
                           .arg(error.message()));
    }
}

}  // namespace import
