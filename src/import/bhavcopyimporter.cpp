#include "import/bhavcopyimporter.h"

#include "import/bhavcopyfile.h"
#include "import/storefailure.h"
#include "store/database.h"
#include "store/storeerror.h"
#include "store/transaction.h"

#include <QHash>
#include <QSet>
#include <vector>

namespace import {

namespace {

using Status = BhavcopyImportOutcome::Status;

BhavcopyImportOutcome refused(BhavcopyImportOutcome outcome, Status status, const QString& message)
{
    outcome.status = status;
    outcome.message = message;
    outcome.rowsImported = 0;
    outcome.replacedDay = false;
    return outcome;
}

BhavcopyImportOutcome badLine(BhavcopyImportOutcome outcome, qint64 line, const QString& reason)
{
    outcome.badLine = line;
    return refused(std::move(outcome), Status::BadLine,
                   QStringLiteral("Line %1 of the file cannot be imported: %2.\n").arg(QString::number(line), reason) +
                       bhavcopymessages::kNothingImported);
}

const char* const kInsert =
    "INSERT INTO allbhavcopy (symbol, series, openprice, highprice, lowprice, closeprice, lastprice, prevclose, "
    "tottrdqty, tottrdval, TransDate) VALUES (?,?,?,?,?,?,?,?,?,?,?)";

}  // namespace

QString bhavcopymessages::replaceQuestion(const QString& dayText)
{
    return QStringLiteral("Records For ") + shownValue(dayText) +
           QStringLiteral(" Already Processed ... Delete Records and Update Again");
}

bool bhavcopyDayLoaded(store::Database& db, const QDate& day)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM allbhavcopy WHERE TransDate = ?"), {day}).toLongLong() != 0;
}

BhavcopyImportOutcome BhavcopyImporter::importFile(const QString& path)
{
    using namespace bhavcopymessages;
    BhavcopyImportOutcome outcome;
    if (path.trimmed().isEmpty())
        return refused(outcome, Status::NoFile, kSelectFile);

    QByteArray content;
    QString error;
    if (!readWholeFile(path, content, error))
        return refused(outcome, Status::Unreadable, error);
    const qint64 maximum = TextLines::progressMaximum(content);

    TextLines lines(content);
    if (lines.next() != bhavcopyfile::kHeader)
        return refused(outcome, Status::Invalid, kInvalid);

    // Every line is read and checked before the store is touched.
    std::vector<bhavcopyfile::Row> rows;
    QHash<QString, qint64> lineOfKey;  // symbol and series, in upper case
    QString reason;
    while (!lines.atEnd()) {
        const std::string_view line = lines.next();
        const qint64 number = lines.lineNumber();
        if (line.empty()) {
            // Blank lines after the last row are harmless; one between rows
            // means the file was damaged.
            if (lines.onlyBlankLeft())
                break;
            return badLine(outcome, number, QStringLiteral("the line is empty"));
        }
        bhavcopyfile::Row row;
        QString dayText;
        if (!bhavcopyfile::parseLine(line, row, &dayText, &reason))
            return badLine(outcome, number, reason);
        // Every row must be of the file's day (line 2's): a row of another day
        // would be stored under the wrong one.
        if (rows.empty() || dayText != outcome.dayText) {
            const auto day = bhavcopyfile::parseDay(dayText);
            if (!day)
                return badLine(outcome, number,
                               QStringLiteral("its TIMESTAMP \"%1\" is not a day").arg(shownValue(dayText)));
            if (rows.empty()) {
                outcome.day = *day;
                outcome.dayText = dayText;
            } else if (*day != outcome.day) {
                return badLine(outcome, number,
                               QStringLiteral("its TIMESTAMP \"%1\" is another day than the file's (%2, line 2)")
                                   .arg(shownValue(dayText), shownValue(outcome.dayText)));
            }
        }
        const QString key = row.symbol.toUpper() + QLatin1Char(',') + row.series.toUpper();
        if (const auto earlier = lineOfKey.constFind(key); earlier != lineOfKey.constEnd())
            return badLine(outcome, number,
                           QStringLiteral("%1 %2 appears on line %3 already")
                               .arg(shownValue(row.symbol), shownValue(row.series), QString::number(*earlier)));
        lineOfKey.insert(key, number);
        rows.push_back(std::move(row));
    }
    if (rows.empty())
        return refused(outcome, Status::NoRows,
                       QStringLiteral("The file holds no rows after its header.\n") + kNothingImported);

    try {
        if (bhavcopyDayLoaded(m_db, outcome.day)) {
            if (!m_confirmReplace || !m_confirmReplace(outcome.dayText))
                return refused(outcome, Status::KeptLoaded, QString());
            outcome.replacedDay = true;
        }

        store::Transaction transaction(m_db);
        if (outcome.replacedDay)
            m_db.exec(QStringLiteral("DELETE FROM allbhavcopy WHERE TransDate = ?"), {outcome.day});
        store::Statement insert(m_db, QString::fromLatin1(kInsert));
        ProgressSteps progress(m_progress, maximum);
        progress.report(0, true);
        qint64 written = 0;
        store::Params values;
        values.reserve(11);
        for (const bhavcopyfile::Row& row : rows) {
            values.clear();
            values << row.symbol << row.series;
            for (const double figure : row.figures)
                values << figure;
            values << outcome.day;
            try {
                insert.run(values);
            } catch (const store::StoreError& failure) {
                if (failure.storeUnwritable())
                    throw;
                // The header is line 1, so row i came from line i + 2.
                return badLine(outcome, written + 2,
                               QStringLiteral("%1 %2 could not be stored (%3)")
                                   .arg(shownValue(row.symbol), shownValue(row.series), failure.message()));
            }
            ++written;
            progress.report(written);
        }
        transaction.commit();
        progress.report(written, true);
        outcome.status = Status::Imported;
        outcome.rowsImported = written;
        return outcome;
    } catch (const store::StoreError& failure) {
        return refused(outcome, Status::StoreFailed, importStoreFailure(failure, kNothingImported));
    }
}

}  // namespace import
