#include "shell/inifile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace shell {

namespace {

constexpr int kMaxValueLength = 255;

// The file's text, in the encoding its byte-order mark names (UTF-8, UTF-16
// or UTF-32), else UTF-8.
QString decoded(const QByteArray& bytes, std::optional<QStringConverter::Encoding>& markedEncoding)
{
    markedEncoding = QStringConverter::encodingForData(bytes);
    QStringDecoder decoder(markedEncoding.value_or(QStringConverter::Utf8));
    return decoder.decode(bytes);
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

IniText readIniText(const QString& iniFile)
{
    IniText text;
    QFile file;
    text.error = store::openRegularFile(file, iniFile, &text.problem);
    if (text.problem == store::FileProblem::None) {
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            text.problem = store::FileProblem::Unreadable;
            text.error = file.errorString();
            return text;
        }
        QString content = decoded(bytes, text.markedEncoding);
        const qsizetype firstEnd = content.indexOf(QLatin1Char('\n'));
        if (firstEnd > 0 && content.at(firstEnd - 1) == QLatin1Char('\r'))
            text.lineEnd = QStringLiteral("\r\n");
        content.remove(QLatin1Char('\r'));
        text.lines = content.split(QLatin1Char('\n'));
    }
    if (!text.unusable())
        text.error.clear();
    return text;
}

QString iniValue(const IniText& text, const QString& section, const QString& key, const QString& defaultValue)
{
    bool inSection = false;
    for (const QString& line : text.lines) {
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

QString readIni(const QString& iniFile, const QString& section, const QString& key, const QString& defaultValue)
{
    return iniValue(readIniText(iniFile), section, key, defaultValue);
}

bool writeIni(const QString& iniFile, const QString& section, const QString& key, const QString& value, QString* why)
{
    QString oneLine = value;
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString entry = key + QLatin1Char('=') + oneLine;

    const IniText text = readIniText(iniFile);
    if (text.unusable()) {
        if (why) {
            *why = text.problem == store::FileProblem::Unreadable
                       ? QStringLiteral("it cannot be read (%1), and writing it anew would lose the settings it holds")
                             .arg(text.error)
                       : text.error;
        }
        return false;
    }
    QStringList lines = text.lines;
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
    QStringEncoder encoder(text.markedEncoding.value_or(QStringConverter::Utf8),
                           text.markedEncoding ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(encoder.encode(lines.join(text.lineEnd) + text.lineEnd));
        if (file.commit())
            return true;
    }
    if (why)
        *why = file.errorString();
    return false;
}

QString iniFileName(const QString& dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("Tarvenix.ini"));
}

}  // namespace shell
