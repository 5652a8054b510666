#include "import/deliverycodec.h"

#include "import/textlines.h"

namespace import::deliverycodec {

namespace {

void setReason(QString* reason, const QString& text)
{
    if (reason)
        *reason = text;
}

}  // namespace

bool decode(const char* begin, const char* end, std::string& text, QString* reason)
{
    text.clear();
    if (begin == end)
        return true;

    // The tag runs to the first blank; the codes follow it.
    const char* p = begin;
    while (p != end && *p != ' ')
        ++p;
    if (p == end || p + 1 == end) {
        setReason(reason, QStringLiteral("the line holds no character codes"));
        return false;
    }
    ++p;

    text.reserve(static_cast<size_t>((end - p) / 3 + 1));
    for (;;) {
        const char* codeStart = p;
        int code = 0;
        while (p != end && *p >= '0' && *p <= '9') {
            code = code * 10 + (*p - '0');
            if (code > 255) {
                setReason(reason, QStringLiteral("\"%1\" is not a character code")
                                      .arg(shownValue(QString::fromLatin1(codeStart, p + 1 - codeStart))));
                return false;
            }
            ++p;
        }
        const qsizetype digits = p - codeStart;
        if (p != end && *p != ' ') {
            const char* wordEnd = p;
            while (wordEnd != end && *wordEnd != ' ')
                ++wordEnd;
            setReason(reason, QStringLiteral("\"%1\" is not a character code")
                                  .arg(shownValue(QString::fromLatin1(codeStart, wordEnd - codeStart))));
            return false;
        }
        if (digits == 0) {
            setReason(reason, p == end ? QStringLiteral("there is a blank after the last code")
                                       : QStringLiteral("two blanks stand between codes"));
            return false;
        }
        text.push_back(static_cast<char>(code));
        if (p == end) {
            // The producer ends every line with a two-digit code; a last code
            // of another length means the line was cut or altered.
            if (digits != 2) {
                setReason(reason, QStringLiteral("the last code has %1 digits instead of 2").arg(digits));
                return false;
            }
            return true;
        }
        ++p;  // the blank between two codes
        if (p == end) {
            setReason(reason, QStringLiteral("there is a blank after the last code"));
            return false;
        }
    }
}

bool decode(const QByteArray& line, QString& text, QString* reason)
{
    std::string bytes;
    if (!decode(line.constData(), line.constData() + line.size(), bytes, reason))
        return false;
    text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return true;
}

void appendEncoded(QByteArray& out, const QByteArray& tag, const char* text, qsizetype length)
{
    out.append(tag);
    char digits[4];
    for (qsizetype i = 0; i < length; ++i) {
        const auto code = static_cast<unsigned char>(text[i]);
        int n = 0;
        if (code >= 100)
            digits[n++] = static_cast<char>('0' + code / 100);
        if (code >= 10)
            digits[n++] = static_cast<char>('0' + code / 10 % 10);
        digits[n++] = static_cast<char>('0' + code % 10);
        out.append(' ');
        out.append(digits, n);
    }
}

QByteArray encode(const QByteArray& tag, const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    QByteArray out;
    out.reserve(tag.size() + bytes.size() * 4);
    appendEncoded(out, tag, bytes.constData(), bytes.size());
    return out;
}

}  // namespace import::deliverycodec
