#include "import/nnfimporter.h"

#include "import/storefailure.h"
#include "store/database.h"
#include "store/storeerror.h"
#include "store/transaction.h"

#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <charconv>
#include <optional>
#include <vector>

namespace import {

namespace {

using Status = NnfImportOutcome::Status;

NnfImportOutcome refused(NnfImportOutcome outcome, Status status, const QString& message)
{
    outcome.status = status;
    outcome.message = message;
    outcome.rowsImported = 0;
    return outcome;
}

NnfImportOutcome badLine(NnfImportOutcome outcome, qint64 line, const QString& reason)
{
    outcome.badLine = line;
    return refused(std::move(outcome), Status::BadLine,
                   QStringLiteral("Line %1 of the file cannot be imported: %2.\n").arg(QString::number(line), reason) +
                       nnfmessages::kUnchanged);
}

struct Security {
    qint32 number = 0;
    QString symbol;
};

// The first three fields of a line, each ending in a "|"; false when the line
// has fewer.
bool splitFields(std::string_view line, std::string_view (&fields)[3])
{
    size_t start = 0;
    for (std::string_view& field : fields) {
        const size_t bar = line.find('|', start);
        if (bar == std::string_view::npos)
            return false;
        field = line.substr(start, bar - start);
        start = bar + 1;
    }
    return true;
}

// The number of fields of a line: each ends in a "|".
qsizetype fieldCount(std::string_view line)
{
    return static_cast<qsizetype>(std::count(line.begin(), line.end(), '|'));
}

// The security number of field 1, when it is a whole number of 32 bits.
std::optional<qint32> securityNumber(std::string_view field)
{
    const std::string_view text = trimmedView(field);
    qint32 number = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || failure != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

}  // namespace

NnfImportOutcome NnfImporter::importFile(const QString& path)
{
    using namespace nnfmessages;
    NnfImportOutcome outcome;
    if (path.trimmed().isEmpty())
        return refused(outcome, Status::NoFile, kSelectFile);
    if (!QFileInfo::exists(path))
        return refused(outcome, Status::NotFound, kNotFound);

    QByteArray content;
    QString error;
    if (!readWholeFile(path, content, error))
        return refused(outcome, Status::Unreadable, error);
    const qint64 maximum = TextLines::progressMaximum(content);

    TextLines lines(content);
    // Line 1 is the header; a security there is a file without its header,
    // whose first security would be lost.
    const std::string_view header = lines.next();
    if (std::string_view fields[3]; splitFields(header, fields) && securityNumber(fields[0]))
        return badLine(outcome, 1, QStringLiteral("it is a security, not the file's header line"));
    // Every line has the header's fields: a shorter one is a file cut off
    // in the middle of a line, whose later securities are missing.
    const auto headerFields = fieldCount(header);
    // Progress counts the lines as they are read, stored or not.
    ProgressSteps progress(m_progress, maximum);
    progress.report(0, true);
    std::vector<Security> securities;
    QSet<std::pair<qint32, QString>> seen;
    while (!lines.atEnd()) {
        const std::string_view line = lines.next();
        const qint64 number = lines.lineNumber();
        if (line.empty()) {
            if (lines.onlyBlankLeft())
                break;
            return badLine(outcome, number, QStringLiteral("the line is empty"));
        }
        std::string_view fields[3];
        if (!splitFields(line, fields))
            return badLine(outcome, number, QStringLiteral("it has fewer than three fields"));
        if (const auto count = fieldCount(line); count < headerFields)
            return badLine(outcome, number,
                           QStringLiteral("it has %1 fields where the header line has %2 (the file may be cut off)")
                               .arg(count)
                               .arg(headerFields));
        const std::optional<qint32> security = securityNumber(fields[0]);
        if (!security)
            return badLine(outcome, number,
                           QStringLiteral("the security number \"%1\" is not a whole number")
                               .arg(shownValue(fieldText(fields[0]))));
        if (holdsControlCharacter(fields[1]))
            return badLine(outcome, number, QStringLiteral("its symbol holds a control character"));
        ++outcome.linesRead;
        if (fieldText(fields[2]) == QLatin1String("EQ")) {
            // A security listed again would be stored, and counted, twice.
            const Security read{*security, fieldText(fields[1])};
            const std::pair<qint32, QString> key{read.number, read.symbol.toUpper()};
            if (seen.contains(key)) {
                ++outcome.repeatedLines;
            } else {
                seen.insert(key);
                securities.push_back(read);
            }
        }
        progress.report(outcome.linesRead);
    }
    // A file without a single equity security is not the exchange's list:
    // storing it would empty the table.
    if (securities.empty())
        return refused(outcome, Status::NoLines,
                       QStringLiteral("The file holds no security of series EQ after its header.\n") + kUnchanged);

    try {
        store::Transaction transaction(m_db);
        m_db.exec(QStringLiteral("DELETE FROM nnf_security"));
        store::Statement insert(m_db, QStringLiteral("INSERT INTO nnf_security (srno, symbol, segment) VALUES (?, ?, 'EQ')"));
        for (const Security& security : securities)
            insert.run({security.number, security.symbol});
        transaction.commit();
        progress.report(outcome.linesRead, true);
        outcome.rowsImported = qint64(securities.size());
        outcome.status = Status::Imported;
        outcome.message = importedMessage(outcome.repeatedLines);
        return outcome;
    } catch (const store::StoreError& failure) {
        return refused(outcome, Status::StoreFailed, importStoreFailure(failure, kUnchanged));
    }
}

QString nnfmessages::importedMessage(qint64 repeatedLines)
{
    if (repeatedLines == 0)
        return kImported;
    return kImported + QLatin1Char('\n') + repeatedLinesNote(repeatedLines);
}

}  // namespace import
