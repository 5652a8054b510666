#include "masters/textmatch.h"

#include <QRegularExpression>

namespace masters {

bool likeMatches(const QString& text, const QString& pattern)
{
    QString expression;
    expression.reserve(pattern.size() * 2 + 4);
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('*')) {
            expression += QLatin1String(".*");
        } else if (c == QLatin1Char('?')) {
            expression += QLatin1Char('.');
        } else if (c == QLatin1Char('#')) {
            expression += QLatin1String("[0-9]");
        } else if (c == QLatin1Char('[')) {
            const int close = pattern.indexOf(QLatin1Char(']'), i + 1);
            if (close < 0)
                return false;
            QString set = pattern.mid(i + 1, close - i - 1);
            QString negation;
            if (set.startsWith(QLatin1Char('!'))) {
                negation = QStringLiteral("^");
                set.remove(0, 1);
            }
            if (set.isEmpty())
                return false;
            QString members;
            for (const QChar member : set) {
                if (member == QLatin1Char('-'))
                    members += QLatin1Char('-');
                else
                    members += QRegularExpression::escape(QString(member));
            }
            expression += QLatin1Char('[') + negation + members + QLatin1Char(']');
            i = close;
        } else {
            expression += QRegularExpression::escape(QString(c));
        }
    }
    const QRegularExpression regex(QRegularExpression::anchoredPattern(expression),
                                   QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    return regex.isValid() && regex.match(text).hasMatch();
}

bool startsWithText(const QString& text, const QString& start)
{
    return text.startsWith(start, Qt::CaseInsensitive);
}

}  // namespace masters
