#include "viewer/scriptwriter.h"

#include "store/showntext.h"
#include "store/storeerror.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace viewer {

QString derivativeScriptPath(const QString& dataFolder)
{
    return QDir(dataFolder).filePath(kScriptFolder + QLatin1Char('/') + kDerivativeScriptFile);
}

QString derivativeScriptLine(const QString& groupCode, qint64 scrip)
{
    QString code = groupCode;
    code.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QStringLiteral("\" insert into linkdetails values ('%1',%2)\"\r\n").arg(code, QString::number(scrip));
}

QString writeDerivativeScript(store::Database& db, const QString& path)
{
    const QString shown = store::shownPath(path);
    store::Rows members;
    try {
        members = db.query(QStringLiteral("SELECT GrpCode, ScrCode FROM LinkDetails WHERE GrpCode = ? ORDER BY ScrCode"),
                           {QStringLiteral("Derivative")});
    } catch (const store::StoreError& error) {
        return QStringLiteral("%1 could not be written: %2").arg(shown, error.message());
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QStringLiteral("%1 could not be written: its folder cannot be made").arg(shown);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("%1 could not be written: %2").arg(shown, file.errorString());
    for (const QVariantList& row : members.rows)
        file.write(derivativeScriptLine(row.value(0).toString(), row.value(1).toLongLong()).toUtf8());
    if (!file.commit())
        return QStringLiteral("%1 could not be written: %2").arg(shown, file.errorString());
    return QString();
}

}  // namespace viewer
