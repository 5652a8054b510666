#include "shell/inifile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace shell {

namespace {

constexpr int kMaxValueLength = 255;

QStringList readLines(const QString& iniFile)
{
    QFile file(iniFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
}

// The section name of a "[Section]" line, or a null string for other lines.
QString sectionOf(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']')))
        return trimmed.mid(1, trimmed.size() - 2).trimmed();
    return {};
}

bool isKeyLine(const QString& line, const QString& key, QString* value = nullptr)
{
    const int equals = static_cast<int>(line.indexOf(QLatin1Char('=')));
    if (equals < 0 || line.trimmed().startsWith(QLatin1Char(';')))
        return false;
    if (line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) != 0)
        return false;
    if (value)
        *value = line.mid(equals + 1).trimmed();
    return true;
}

}  // namespace

QString readIni(const QString& iniFile, const QString& section, const QString& key, const QString& defaultValue)
{
    bool inSection = false;
    for (const QString& line : readLines(iniFile)) {
        const QString name = sectionOf(line);
        if (!name.isNull()) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString value;
        if (inSection && isKeyLine(line, key, &value)) {
            if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
                value = value.mid(1, value.size() - 2);
            return value.left(kMaxValueLength);
        }
    }
    return defaultValue;
}

bool writeIni(const QString& iniFile, const QString& section, const QString& key, const QString& value)
{
    QString oneLine = value;
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString entry = key + QLatin1Char('=') + oneLine;

    QStringList lines = readLines(iniFile);
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();

    int sectionLine = -1, keyLine = -1, sectionEnd = static_cast<int>(lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        const QString name = sectionOf(lines[i]);
        if (!name.isNull()) {
            if (sectionLine >= 0) {
                sectionEnd = i;
                break;
            }
            if (name.compare(section, Qt::CaseInsensitive) == 0)
                sectionLine = i;
            continue;
        }
        if (sectionLine >= 0 && keyLine < 0 && isKeyLine(lines[i], key))
            keyLine = i;
    }
    if (keyLine >= 0) {
        lines[keyLine] = entry;
    } else if (sectionLine >= 0) {
        int insertAt = sectionEnd;
        while (insertAt > sectionLine + 1 && lines[insertAt - 1].trimmed().isEmpty())
            --insertAt;
        lines.insert(insertAt, entry);
    } else {
        if (!lines.isEmpty())
            lines.append(QString());
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(entry);
    }

    QSaveFile file(iniFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    file.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    return file.commit();
}

QString iniFileName(const QString& dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("Tarvenix.ini"));
}

}  // namespace shell
