#include "import/textlines.h"

#include <QDir>
#include <QFile>
#include <QByteArrayView>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace import {

QString openRegularFile(QFile& file, const QString& path)
{
    // Opened without waiting, so that a pipe cannot block, then looked at
    // through the open descriptor itself: no other file can take its place
    // between the look and the read.
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return S_ISDIR(status.st_mode) ? QStringLiteral("it is a folder, not a file")
                                       : QStringLiteral("it is not a regular file (a pipe, socket or device)");
    }
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return file.errorString();
    }
    return {};
}

bool readWholeFile(const QString& path, QByteArray& content, QString& error)
{
    QFile file;
    if (const QString reason = openRegularFile(file, path); !reason.isEmpty()) {
        error = QStringLiteral("The file %1 could not be opened: %2").arg(QDir::toNativeSeparators(path), reason);
        return false;
    }
    content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("The file %1 could not be read: %2")
                    .arg(QDir::toNativeSeparators(path), file.errorString());
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

bool holdsControlCharacter(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return true;
    return false;
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
