#include "store/showntext.h"

#include <QDir>

namespace store {

namespace {

// Whether a message shows `c` written as its code: a control character (C0,
// DEL, C1), a formatting one (a direction mark, a soft hyphen), a line or
// paragraph separator, or half a surrogate pair.
bool shownAsCode(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

void appendCode(QString& out, char32_t c)
{
    const int digits = c < 0x100 ? 2 : c < 0x10000 ? 4 : 8;
    out += QLatin1String(digits == 2 ? "\\x" : digits == 4 ? "\\u" : "\\U");
    out += QString::number(uint(c), 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}

}  // namespace

QString shownText(QStringView text, qsizetype maxCharacters)
{
    QString shown;
    qsizetype characters = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++characters) {
        if (characters == maxCharacters)
            return shown + QChar(0x2026);
        const qsizetype start = i;
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (shownAsCode(c))
            appendCode(shown, c);
        else
            shown += text.sliced(start, i + 1 - start);
    }
    return shown;
}

QString shownPath(const QString& path)
{
    return shownText(QDir::toNativeSeparators(path));
}

}  // namespace store
