#include "import/textlines.h"

#include "store/regularfile.h"
#include "store/showntext.h"

#include <QByteArrayView>
#include <QFile>
#include <algorithm>
#include <cstring>

namespace import {

bool readWholeFile(const QString& path, QByteArray& content, QString& error)
{
    QFile file;
    if (const QString reason = store::openRegularFile(file, path); !reason.isEmpty()) {
        error = QStringLiteral("The file %1 could not be opened: %2").arg(store::shownPath(path), reason);
        return false;
    }
    content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("The file %1 could not be read: %2")
                    .arg(store::shownPath(path), file.errorString());
        return false;
    }
    return true;
}

TextLines::TextLines(const QByteArray& content)
    : m_pos(content.constData()), m_end(content.constData() + content.size())
{
}

std::string_view TextLines::next()
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

bool TextLines::onlyBlankLeft() const
{
    for (const char* p = m_pos; p != m_end; ++p)
        if (*p != '\n' && *p != '\r' && *p != ' ' && *p != '\t')
            return false;
    return true;
}

void ProgressSteps::report(qint64 done, bool force)
{
    if (!m_progress)
        return;
    const qint64 percent = m_maximum > 0 ? done * 100 / m_maximum : 100;
    if (force || percent != m_lastPercent) {
        m_lastPercent = percent;
        m_progress(done, m_maximum);
    }
}

namespace {
bool isControlCharacter(char32_t c)
{
    return c < 0x20 || c == 0x7f;
}
}  // namespace

bool holdsControlCharacter(std::string_view text)
{
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return isControlCharacter(static_cast<unsigned char>(c)); });
}

bool holdsControlCharacter(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return isControlCharacter(c.unicode()); });
}

QString shownValue(QStringView value)
{
    return store::shownText(value, kShownValueLength);
}

std::string_view trimmedView(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

QString fieldText(std::string_view field)
{
    field = trimmedView(field);
    const QByteArrayView bytes(field.data(), static_cast<qsizetype>(field.size()));
    return bytes.isValidUtf8() ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

QString repeatedLinesNote(qint64 count)
{
    if (count <= 0)
        return {};
    return count == 1 ? QStringLiteral("1 repeated line was skipped.")
                      : QStringLiteral("%1 repeated lines were skipped.").arg(count);
}

}  // namespace import
