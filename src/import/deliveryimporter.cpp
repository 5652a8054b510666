#include "import/deliveryimporter.h"

#include "import/batchimport.h"
#include "import/deliverycodec.h"
#include "import/deliveryfile.h"
#include "import/mtowriter.h"
#include "import/storefailure.h"
#include "import/textlines.h"
#include "store/database.h"
#include "store/datetext.h"
#include "store/storeerror.h"
#include "store/transaction.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

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
                   QStringLiteral("Line %1 of the file cannot be imported: %2.\n").arg(QString::number(line), reason) +
                       deliverymessages::kNothingImported);
}

QString repeatedScrip(qint64 scriptcode)
{
    return QStringLiteral("the scrip %1 appears on an earlier line already").arg(scriptcode);
}

}  // namespace

MtoRow DecodedDeliveryFile::mtoRow(const Row& row) const
{
    MtoRow out;
    out.scriptcode = row.scriptcode;
    out.nseScriptCode = std::string_view(m_codes).substr(row.nseStart, row.nseLength);
    out.bseScriptCode = std::string_view(m_codes).substr(row.bseStart, row.bseLength);
    out.figures = row.figures;
    return out;
}

DecodedDeliveryFile DecodedDeliveryFile::decode(const QString& path)
{
    using namespace deliverymessages;
    DecodedDeliveryFile file;
    auto refuse = [&file](Status status, const QString& message) {
        file.m_outcome = import::refused(file.m_outcome, status, message);
        file.m_refused = true;
        return file;
    };

    if (path.trimmed().isEmpty())
        return refuse(Status::NoFile, kSelectFile);

    QByteArray content;
    QString error;
    if (!readWholeFile(path, content, error))
        return refuse(Status::Unreadable, error);

    // The progress scale: the line ends of the file plus one.
    file.m_progressMaximum = TextLines::progressMaximum(content);

    TextLines lines(content);
    const std::string_view header = lines.next();
    if (!header.starts_with(deliverycodec::kHeaderLiteral))
        return refuse(Status::Invalid, kInvalid);

    std::string text;
    QString reason;
    if (!deliverycodec::decode(header.data(), header.data() + header.size(), text, &reason)) {
        file.m_outcome = import::badLine(file.m_outcome, 1, reason);
        file.m_refused = true;
        return file;
    }
    const std::string_view headerWord = deliverycodec::kHeaderWord;
    if (!std::string_view(text).starts_with(headerWord))
        return refuse(Status::Incorrect, kIncorrect);

    file.m_outcome.dayText = QString::fromLatin1(text.data() + headerWord.size(),
                                                 static_cast<qsizetype>(text.size() - headerWord.size()));
    std::optional<QDate> day;
    bool namedDay = false;
    {
        // Files are decoded on several threads at once, and the date module
        // keeps one shared pattern object.
        static std::mutex dateModule;
        const std::lock_guard<std::mutex> lock(dateModule);
        day = datetext::fromDisplay(file.m_outcome.dayText);
        namedDay = day && deliveryfile::pathNamesDay(path, *day);
    }
    if (!namedDay)
        return refuse(Status::Incorrect, kIncorrect);
    file.m_outcome.day = *day;

    // A code line holds at least two characters per decoded one: the codes
    // of all rows fit in half the file.
    file.m_codes.reserve(static_cast<size_t>(content.size() / 2 + 1));
    file.m_rows.reserve(static_cast<size_t>(file.m_progressMaximum));
    MtoRow row;
    while (!lines.atEnd()) {
        const std::string_view line = lines.next();
        const qint64 lineNumber = lines.lineNumber();
        if (line.empty()) {
            // Blank lines after the last row are harmless; one between
            // rows means the file was damaged.
            if (lines.onlyBlankLeft())
                break;
            file.m_badLine = lineNumber;
            file.m_badLineReason = QStringLiteral("the line is empty");
            break;
        }
        if (!deliverycodec::decode(line.data(), line.data() + line.size(), text, &reason) ||
            !deliveryfile::parseDataLine(text, row, &reason)) {
            file.m_badLine = lineNumber;
            file.m_badLineReason = reason;
            break;
        }
        Row stored;
        stored.line = lineNumber;
        stored.scriptcode = row.scriptcode;
        stored.figures = row.figures;
        stored.nseStart = static_cast<quint32>(file.m_codes.size());
        stored.nseLength = static_cast<quint32>(row.nseScriptCode.size());
        file.m_codes.append(row.nseScriptCode);
        stored.bseStart = static_cast<quint32>(file.m_codes.size());
        stored.bseLength = static_cast<quint32>(row.bseScriptCode.size());
        file.m_codes.append(row.bseScriptCode);
        file.m_rows.push_back(stored);
    }
    return file;
}

DeliveryImportOutcome DeliveryImporter::importFile(const QString& path)
{
    return importDecoded(DecodedDeliveryFile::decode(path));
}

DeliveryImportOutcome DeliveryImporter::importDecoded(const DecodedDeliveryFile& file)
{
    MtoBatch* batch = MtoBatch::openOn(m_db);
    if (!batch)
        return write(file, nullptr);
    bool spoiled = false;
    DeliveryImportOutcome outcome = write(file, &spoiled);
    if (spoiled)
        batch->spoil();
    return outcome;
}

DeliveryImportOutcome DeliveryImporter::write(const DecodedDeliveryFile& file, bool* spoiled)
{
    DeliveryImportOutcome outcome = file.outcome();
    if (file.refused())
        return outcome;

    // Straight into a batch's open work (`spoiled` given), without a nested
    // unit that would copy each page it touches, the file must be refused,
    // if at all, before its first row is written: a repeated scrip and an
    // unreadable line are looked for first. A store failure after the first
    // row spoils the batch's work.
    qint64 rows = 0;
    auto spoil = [spoiled, &rows] {
        if (spoiled && rows > 0)
            *spoiled = true;
    };
    try {
        std::optional<store::Transaction> unit;
        if (!spoiled)
            unit.emplace(m_db);
        if (dayHasRows(m_db, outcome.day))
            return refused(outcome, Status::DayPresent, deliverymessages::kDayPresent + shownValue(outcome.dayText));
        if (spoiled) {
            if (const DecodedDeliveryFile::Row* repeated = file.firstRepeatedScrip())
                return badLine(outcome, repeated->line, repeatedScrip(repeated->scriptcode));
            if (file.badLine() != 0)
                return badLine(outcome, file.badLine(), file.badLineReason());
        }

        MtoWriter writer(m_db);
        ProgressSteps progress(m_progress, file.progressMaximum());
        progress.report(0, true);
        const std::vector<DecodedDeliveryFile::Row>& lines = file.rows();
        std::array<MtoRow, MtoWriter::kBlockRows> block;
        std::optional<store::StoreError> failure;
        for (size_t start = 0; start < lines.size(); start += block.size()) {
            const int count = static_cast<int>(std::min(block.size(), lines.size() - start));
            for (int k = 0; k < count; ++k)
                block[static_cast<size_t>(k)] = file.mtoRow(lines[start + static_cast<size_t>(k)]);
            const int written = writer.writeBlock(outcome.day, block.data(), count, failure);
            rows += written;
            if (written < count) {
                spoil();
                const DecodedDeliveryFile::Row& row = lines[start + static_cast<size_t>(written)];
                // The day had no rows before this file, so a row already
                // there came from an earlier line of the same file.
                if (!failure)
                    return badLine(outcome, row.line, repeatedScrip(row.scriptcode));
                if (failure->storeUnwritable())
                    return refused(outcome, Status::StoreFailed,
                                   importStoreFailure(*failure, deliverymessages::kNothingImported));
                return badLine(outcome, row.line,
                               QStringLiteral("the scrip %1 could not be stored (%2)")
                                   .arg(QString::number(row.scriptcode), failure->message()));
            }
            progress.report(rows);
        }
        if (file.badLine() != 0)
            return badLine(outcome, file.badLine(), file.badLineReason());
        if (unit)
            unit->commit();
        progress.report(rows, true);
        outcome.status = Status::Imported;
        outcome.rowsImported = rows;
        return outcome;
    } catch (const store::StoreError& error) {
        spoil();
        return refused(outcome, Status::StoreFailed, importStoreFailure(error, deliverymessages::kNothingImported));
    }
}

const DecodedDeliveryFile::Row* DecodedDeliveryFile::firstRepeatedScrip() const
{
    std::unordered_set<qint64> seen;
    seen.reserve(m_rows.size());
    for (const Row& row : m_rows)
        if (!seen.insert(row.scriptcode).second)
            return &row;
    return nullptr;
}

namespace deliverymessages {

QString storeFailed(const QString& reason)
{
    return QStringLiteral("The file could not be imported: %1\n").arg(reason) + kNothingImported;
}

}  // namespace deliverymessages

}  // namespace import
