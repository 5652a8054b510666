#include "viewer/scriptwriter.h"

#include <QDir>
#include <QSaveFile>

namespace viewer {

QString derivativeScriptLine(const QString& groupCode, qint64 scrip)
{
    QString code = groupCode;
    code.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QStringLiteral("\" insert into linkdetails values ('%1',%2)\"\r\n").arg(code).arg(scrip);
}

QString writeDerivativeScript(store::Database& db, const QString& path)
{
    const store::Rows members = db.query(
        QStringLiteral("SELECT GrpCode, ScrCode FROM LinkDetails WHERE GrpCode = ? ORDER BY ScrCode"),
        {QStringLiteral("Derivative")});
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    for (const QVariantList& row : members.rows)
        file.write(derivativeScriptLine(row.value(0).toString(), row.value(1).toLongLong()).toUtf8());
    if (!file.commit())
        return QStringLiteral("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    return QString();
}

}  // namespace viewer
