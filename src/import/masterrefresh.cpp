#include "import/masterrefresh.h"

#include "import/freshdownload.h"
#include "import/textlines.h"
#include "shell/downloadservice.h"
#include "store/database.h"
#include "store/regularfile.h"
#include "store/showntext.h"
#include "store/storeerror.h"
#include "store/transaction.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QStringDecoder>

namespace import {

namespace {

const QString kAllGroup = QStringLiteral("ALL");
const QString kDerivativeGroup = QStringLiteral("Derivative");

// The file's text: UTF-8 when it is valid UTF-8, else Latin-1.
QString fileText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

// What the refused file leaves unchanged, for the user.
QString unchangedPart(MasterFile file)
{
    return file == MasterFile::ScripMaster ? QStringLiteral("the scrip master was not changed")
                                           : QStringLiteral("the group Derivative was not changed");
}

QString refusalMessage(MasterFile file, const QString& path, qint64 line, const QString& reason)
{
    const QString shownName = store::shownPath(path);
    const QString what =
        line > 0 ? QStringLiteral("Line %1 of %2 was refused: %3.").arg(QString::number(line), shownName, reason)
                 : QStringLiteral("%1 was refused: %2.").arg(shownName, reason);
    return what + QStringLiteral("\nThe file was not used; ") + unchangedPart(file) + QLatin1Char('.');
}

MasterRefreshOutcome refused(MasterFile file, const QString& path, qint64 line, const QString& reason)
{
    MasterRefreshOutcome outcome;
    outcome.status = MasterRefreshOutcome::Status::Refused;
    outcome.path = path;
    outcome.badLine = line;
    outcome.message = refusalMessage(file, path, line, reason);
    return outcome;
}

QString insertStatement(MasterFile file)
{
    return file == MasterFile::ScripMaster
               ? QStringLiteral("INSERT INTO ScripMaster (srno, company, nsescrip, bsescrip) VALUES (?, ?, ?, ?)")
               : QStringLiteral("INSERT INTO LinkDetails (GrpCode, ScrCode) VALUES (?, ?)");
}

}  // namespace

QString masterFileName(MasterFile file)
{
    return file == MasterFile::ScripMaster ? QStringLiteral("newscript.txt") : QStringLiteral("DerivativesGroup.txt");
}

sqlinsert::TableShape masterFileShape(MasterFile file)
{
    using sqlinsert::ValueKind;
    if (file == MasterFile::ScripMaster) {
        // The scrip number is required: every stored day refers to its scrip
        // by it, so a scrip master renumbered by the store would mislink them.
        return {QStringLiteral("ScripMaster"),
                {{QStringLiteral("srno"), ValueKind::WholeNumber, true},
                 {QStringLiteral("company"), ValueKind::Text, false},
                 {QStringLiteral("nsescrip"), ValueKind::Text, false},
                 {QStringLiteral("bsescrip"), ValueKind::Text, false}}};
    }
    return {QStringLiteral("LinkDetails"),
            {{QStringLiteral("GrpCode"), ValueKind::Text, true}, {QStringLiteral("ScrCode"), ValueKind::WholeNumber, true}}};
}

MasterFileContent readMasterFile(MasterFile file, const QString& path)
{
    MasterFileContent content;
    QFile source;
    if (const QString why = store::openRegularFile(source, path); !why.isEmpty()) {
        content.reason = QStringLiteral("the file cannot be opened (%1)").arg(why);
        return content;
    }
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError) {
        content.reason = QStringLiteral("the file cannot be read (%1)").arg(source.errorString());
        return content;
    }

    const sqlinsert::TableShape shape = masterFileShape(file);
    const QStringList lines = fileText(bytes).split(QLatin1Char('\n'));
    // A scrip listed twice in the group would count twice in every group
    // query: each is linked once.
    QSet<qint64> linkedScrips;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const qint64 lineNumber = i + 1;
        QString reason;
        auto values = sqlinsert::parseInsert(line, shape, &reason);
        if (values && file == MasterFile::DerivativeGroup) {
            const QString group = values->at(0).toString();
            if (group.compare(kDerivativeGroup, Qt::CaseInsensitive) != 0) {
                reason = QStringLiteral("the line adds to the group \"%1\", not to %2")
                             .arg(shownValue(group), kDerivativeGroup);
                values.reset();
            } else {
                (*values)[0] = kDerivativeGroup;
            }
        }
        if (!values) {
            content.rows.clear();
            content.lineNumbers.clear();
            content.badLine = lineNumber;
            content.reason = reason;
            return content;
        }
        if (file == MasterFile::DerivativeGroup) {
            const qint64 scrip = values->at(1).toLongLong();
            if (linkedScrips.contains(scrip)) {
                ++content.repeatedLines;
                continue;
            }
            linkedScrips.insert(scrip);
        }
        content.rows.append(*values);
        content.lineNumbers.append(lineNumber);
    }
    if (content.rows.isEmpty())
        content.reason = QStringLiteral("the file holds no statements");
    return content;
}

MasterRefreshOutcome refreshFromFile(store::Database& db, MasterFile file, const QString& path)
{
    const MasterFileContent content = readMasterFile(file, path);
    if (!content.accepted())
        return refused(file, path, content.badLine, content.reason);

    try {
        store::Transaction transaction(db);
        if (file == MasterFile::ScripMaster)
            db.exec(QStringLiteral("DELETE FROM ScripMaster"));
        else
            db.exec(QStringLiteral("DELETE FROM LinkDetails WHERE GrpCode = ?"), {kDerivativeGroup});

        store::Statement insert(db, insertStatement(file));
        for (qsizetype i = 0; i < content.rows.size(); ++i) {
            try {
                insert.run(content.rows[i]);
            } catch (const store::StoreError& error) {
                if (error.storeUnwritable())
                    throw;
                return refused(file, path, content.lineNumbers[i],
                               QStringLiteral("the row cannot be stored (%1)").arg(error.message()));
            }
        }

        if (file == MasterFile::ScripMaster) {
            // "ALL" holds every scrip number up to the limit, whether or not
            // a scrip has that number.
            db.exec(QStringLiteral("DELETE FROM LinkDetails WHERE GrpCode = ?"), {kAllGroup});
            store::Statement link(db, QStringLiteral("INSERT INTO LinkDetails (GrpCode, ScrCode) VALUES (?, ?)"));
            for (int scrip = 1; scrip <= kAllGroupScripCount; ++scrip)
                link.run({kAllGroup, scrip});
        }
        transaction.commit();
    } catch (const store::StoreError& error) {
        if (error.storeUnwritable()) {
            MasterRefreshOutcome outcome;
            outcome.status = MasterRefreshOutcome::Status::Refused;
            outcome.path = path;
            outcome.message = store::storeUnwritableMessage(error) + QStringLiteral("\nThe file was not used; ") +
                              unchangedPart(file) + QLatin1Char('.');
            return outcome;
        }
        return refused(file, path, 0, QStringLiteral("the store failed (%1)").arg(error.message()));
    }

    MasterRefreshOutcome outcome;
    outcome.status = MasterRefreshOutcome::Status::Updated;
    outcome.path = path;
    outcome.rows = content.rows.size();
    outcome.repeatedLines = content.repeatedLines;
    return outcome;
}

MasterRefresh::MasterRefresh(store::Database& db, shell::DownloadService& service, QString baseAddress,
                             QString saveFolder)
    : m_db(db), m_service(service), m_base(std::move(baseAddress)), m_folder(std::move(saveFolder))
{
}

QString MasterRefresh::url(MasterFile file) const
{
    return shell::DownloadService::fileUrl(m_base, QStringLiteral("utilities/") + masterFileName(file));
}

QString MasterRefresh::savePath(MasterFile file) const
{
    return QDir(m_folder).filePath(masterFileName(file));
}

MasterRefreshOutcome MasterRefresh::run(MasterFile file)
{
    const QString path = savePath(file);
    if (m_downloading)
        m_downloading(true);
    const FreshDownload download = downloadFresh(m_service, url(file), path);
    if (m_downloading)
        m_downloading(false);
    if (!download.downloaded && m_downloadFailed)
        m_downloadFailed(download.error);
    // A failed download leaves any earlier copy in place, and it is used.
    if (!download.present) {
        MasterRefreshOutcome outcome;
        outcome.status = MasterRefreshOutcome::Status::NotDownloaded;
        outcome.path = path;
        outcome.message = mastermessages::doesNotExist(path);
        return outcome;
    }
    return refreshFromFile(m_db, file, path);
}

namespace mastermessages {

QString updatedLine(MasterFile file)
{
    return file == MasterFile::ScripMaster ? QStringLiteral(" Scrip Master Updated Successfully ")
                                           : QStringLiteral(" Derivatives Group Updated Successfully ");
}

QString notUpdatedLine(MasterFile file)
{
    return file == MasterFile::ScripMaster ? QStringLiteral(" Scrip Master Was Not Updated ")
                                           : QStringLiteral(" Derivatives Group Was Not Updated ");
}

QString doesNotExist(const QString& path)
{
    return store::shownPath(path) + QStringLiteral(" Does Not Exists");
}

}  // namespace mastermessages

}  // namespace import
