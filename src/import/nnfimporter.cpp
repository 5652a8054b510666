#include "import/nnfimporter.h"

#include "store/database.h"
#include "store/storeerror.h"
#include "store/transaction.h"

#include <QFileInfo>
#include <charconv>
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
                   QStringLiteral("Line %1 of the file cannot be imported: %2.\nThe NNF securities were not changed.")
                       .arg(line)
                       .arg(reason));
}

struct Security {
    qint32 number = 0;
    QString symbol;
};

}  // namespace

NnfImportOutcome NnfImporter::importFile(const QString& path)
{
    using namespace nnfmessages;
    NnfImportOutcome outcome;
    if (path.trimmed().isEmpty())
        return refused(outcome, Status::NoFile, kSelectFile);
    if (!QFileInfo(path).isFile())
        return refused(outcome, Status::NotFound, kNotFound);

    QByteArray content;
    QString error;
    if (!readWholeFile(path, content, error))
        return refused(outcome, Status::Unreadable, error);
    const qint64 maximum = TextLines::progressMaximum(content);

    TextLines lines(content);
    lines.next();  // the header
    // Progress counts the lines as they are read, stored or not.
    ProgressSteps progress(m_progress, maximum);
    progress.report(0, true);
    std::vector<Security> securities;
    while (!lines.atEnd()) {
        const std::string_view line = lines.next();
        const qint64 number = lines.lineNumber();
        if (line.empty()) {
            if (lines.onlyBlankLeft())
                break;
            return badLine(outcome, number, QStringLiteral("the line is empty"));
        }
        std::string_view fields[3];
        size_t start = 0;
        for (int i = 0; i < 3; ++i) {
            const size_t bar = line.find('|', start);
            if (bar == std::string_view::npos)
                return badLine(outcome, number, QStringLiteral("it has fewer than three fields"));
            fields[i] = line.substr(start, bar - start);
            start = bar + 1;
        }
        const std::string_view numberText = trimmedView(fields[0]);
        qint32 securityNumber = 0;
        const auto [end, failure] =
            std::from_chars(numberText.data(), numberText.data() + numberText.size(), securityNumber);
        if (numberText.empty() || failure != std::errc() || end != numberText.data() + numberText.size())
            return badLine(outcome, number,
                           QStringLiteral("the security number \"%1\" is not a whole number").arg(fieldText(fields[0])));
        ++outcome.linesRead;
        if (fieldText(fields[2]) == QLatin1String("EQ"))
            securities.push_back({securityNumber, fieldText(fields[1])});
        progress.report(outcome.linesRead);
    }
    if (outcome.linesRead == 0)
        return refused(outcome, Status::NoLines,
                       QStringLiteral("The file holds no securities after its header.\nThe NNF securities were not "
                                      "changed."));

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
        return outcome;
    } catch (const store::StoreError& failure) {
        return refused(outcome, Status::StoreFailed,
                       QStringLiteral("The file could not be imported: %1\nThe NNF securities were not changed.")
                           .arg(failure.message()));
    }
}

}  // namespace import
