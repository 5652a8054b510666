#include "store/datetext.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <functional>

namespace datetext {

namespace {
const std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Two-digit years name the hundred years from 1930 to 2029.
int fullYear(int year, int digits)
{
    if (digits > 2)
        return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

// Literal text of a date format as a pattern: blanks may be left out or
// doubled, invisible marks (a right-to-left mark) left out.
QString literalPattern(const QString& literal)
{
    QString pattern;
    for (const QChar c : literal) {
        if (c.isSpace())
            pattern += QStringLiteral("\\s*");
        else if (c.category() != QChar::Other_Format)
            pattern += QRegularExpression::escape(QString(c));
    }
    return pattern;
}

// The names of `count` items (months, weekdays), each with its number from
// 1: those that `namesOfItem` gives, a short name also without its closing
// point; longest first, so that a pattern of them tries "Februar" before "Feb".
QList<std::pair<QString, int>> namesOf(int count, const std::function<QStringList(int)>& namesOfItem)
{
    QList<std::pair<QString, int>> names;
    for (int item = 1; item <= count; ++item) {
        for (const QString& name : namesOfItem(item)) {
            names.append({name, item});
            if (name.size() > 1 && name.endsWith(QLatin1Char('.')))
                names.append({name.chopped(1), item});
        }
    }
    std::stable_sort(names.begin(), names.end(),
                     [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    return names;
}

QString anyOf(const QList<std::pair<QString, int>>& names)
{
    QStringList patterns;
    for (const auto& name : names)
        patterns.append(QRegularExpression::escape(name.first));
    return patterns.join(QLatin1Char('|'));
}

// One part of a date format: a field as a pattern, or literal text.
struct FormatPart {
    QString pattern;
    QString literal;
    bool weekday = false;
};

FormatPart field(const QString& pattern, bool weekday = false)
{
    return FormatPart{pattern, QString(), weekday};
}

// The parts of a date format (d, dd, M, MM, MMM, MMMM, yy, yyyy, ddd, dddd,
// text in quotes and any other text) as a user may type them: a day or a
// month in one or two digits, a month's name long or short, a year in two
// or four digits.
QList<FormatPart> partsOf(const QString& format, const QString& monthNames, const QString& weekdayNames)
{
    QList<FormatPart> parts;
    auto addLiteral = [&parts](const QString& literal) {
        if (parts.isEmpty() || parts.last().literal.isEmpty())
            parts.append(FormatPart());
        parts.last().literal += literal;
    };
    for (qsizetype at = 0; at < format.size();) {
        const QChar c = format.at(at);
        if (c == QLatin1Char('\'')) {
            // Quoted text; two quotes stand for one.
            const qsizetype close = format.indexOf(QLatin1Char('\''), at + 1);
            const QString quoted = format.mid(at + 1, close < 0 ? -1 : close - at - 1);
            addLiteral(quoted.isEmpty() ? QStringLiteral("'") : quoted);
            at = close < 0 ? format.size() : close + 1;
            continue;
        }
        qsizetype run = 1;
        while (at + run < format.size() && format.at(at + run) == c)
            ++run;
        at += run;
        if (c == QLatin1Char('d') && run <= 2)
            parts.append(field(QStringLiteral("(?<day>\\d{1,2})")));
        else if (c == QLatin1Char('d'))
            parts.append(field(QStringLiteral("(?:%1)").arg(weekdayNames), true));
        else if (c == QLatin1Char('M') && run <= 2)
            parts.append(field(QStringLiteral("(?<month>\\d{1,2})")));
        else if (c == QLatin1Char('M'))
            parts.append(field(QStringLiteral("(?<monthName>%1)").arg(monthNames)));
        else if (c == QLatin1Char('y'))
            parts.append(field(QStringLiteral("(?<year>\\d{2}|\\d{4})")));
        else
            addLiteral(QString(run, c));
    }
    return parts;
}

bool isPunctuation(const FormatPart& part)
{
    return !part.literal.isEmpty() &&
           std::all_of(part.literal.begin(), part.literal.end(), [](QChar c) { return c.isSpace() || c.isPunct(); });
}

// A date in `format`, a date format of `locale`, read as a user types it
// (see partsOf), month names in any letter case. A weekday may be named or
// left out with the punctuation that goes with it, and is not checked.
std::optional<QDate> fromLocaleForm(const QString& text, const QString& format, const QLocale& locale)
{
    const auto months = namesOf(12, [&locale](int month) {
        return QStringList{locale.monthName(month, QLocale::LongFormat), locale.monthName(month, QLocale::ShortFormat),
                           locale.standaloneMonthName(month, QLocale::LongFormat),
                           locale.standaloneMonthName(month, QLocale::ShortFormat)};
    });
    const auto weekdays = namesOf(7, [&locale](int day) {
        return QStringList{locale.dayName(day, QLocale::LongFormat), locale.dayName(day, QLocale::ShortFormat),
                           locale.standaloneDayName(day, QLocale::LongFormat),
                           locale.standaloneDayName(day, QLocale::ShortFormat)};
    });
    QList<FormatPart> parts = partsOf(format, anyOf(months), anyOf(weekdays));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (!parts[i].weekday)
            continue;
        // The punctuation after the weekday, or before it when it comes
        // last, goes with it.
        const qsizetype with = i + 1 < parts.size() ? i + 1 : i - 1;
        QString optional = parts[i].pattern;
        if (with >= 0 && isPunctuation(parts[with])) {
            const QString punctuation = literalPattern(parts[with].literal);
            optional = with > i ? optional + punctuation : punctuation + optional;
            parts[with].literal.clear();
        }
        parts[i].pattern = QStringLiteral("(?:%1)?").arg(optional);
    }
    QString pattern;
    for (const FormatPart& part : parts)
        pattern += part.pattern.isEmpty() ? literalPattern(part.literal) : part.pattern;

    const QRegularExpression form(QLatin1Char('^') + pattern + QLatin1Char('$'),
                                  QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch() || match.captured(u"day").isEmpty() || match.captured(u"year").isEmpty())
        return std::nullopt;
    int month = match.captured(u"month").toInt();
    if (const QString name = match.captured(u"monthName"); !name.isEmpty()) {
        for (const auto& [candidate, item] : months) {
            if (candidate.compare(name, Qt::CaseInsensitive) == 0) {
                month = item;
                break;
            }
        }
    }
    const QString year = match.captured(u"year");
    const QDate date(fullYear(year.toInt(), int(year.size())), month, match.captured(u"day").toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString badDate(const QString& text)
{
    return QStringLiteral("\"%1\" is not a valid date. Type it as dd/MMM/yyyy, for example 05/Dec/2026.")
        .arg(text);
}
}  // namespace

QString monthAbbreviation(int month)
{
    if (month < 1 || month > 12)
        return {};
    return QString::fromLatin1(kMonths[static_cast<size_t>(month - 1)]);
}

QString toDisplay(const QDate& date)
{
    if (!date.isValid())
        return {};
    return QStringLiteral("%1/%2/%3")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(monthAbbreviation(date.month()))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString toLongDisplay(const QDate& date)
{
    if (!date.isValid())
        return {};
    return QLocale::c().toString(date, QStringLiteral("MMMM dd,yyyy"));
}

QString toStorage(const QDate& date)
{
    if (!date.isValid())
        return {};
    return QStringLiteral("%1-%2-%3")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

std::optional<QDate> fromDisplay(const QString& text, QString* error)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2})/([A-Za-z]{3})/(\\d{4})$"));
    const QString trimmed = text.trimmed();
    const auto match = pattern.match(trimmed);
    if (match.hasMatch()) {
        const QString monthText = match.captured(2);
        for (int month = 1; month <= 12; ++month) {
            if (monthText.compare(monthAbbreviation(month), Qt::CaseInsensitive) == 0) {
                const QDate date(match.captured(3).toInt(), month, match.captured(1).toInt());
                if (date.isValid())
                    return date;
                break;
            }
        }
    }
    if (error)
        *error = badDate(trimmed);
    return std::nullopt;
}

std::optional<QDate> fromStorage(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QDate> fromTyped(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (const std::optional<QDate> display = fromDisplay(trimmed))
        return display;
    // Numbers that make no day in one order may still make one in the
    // locale's (a month-first 12/31/2025).
    static const QRegularExpression dayFirst(QStringLiteral("^(\\d{1,2})([/.-])(\\d{1,2})\\2(\\d{2}|\\d{4})$"));
    if (const auto match = dayFirst.match(trimmed); match.hasMatch()) {
        const QString year = match.captured(4);
        const QDate date(fullYear(year.toInt(), int(year.size())), match.captured(3).toInt(), match.captured(1).toInt());
        if (date.isValid())
            return date;
    }
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    if (const auto match = iso.match(trimmed); match.hasMatch()) {
        const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
        if (date.isValid())
            return date;
    }
    const QLocale locale;
    for (const QLocale::FormatType type : {QLocale::ShortFormat, QLocale::LongFormat}) {
        if (const std::optional<QDate> date = fromLocaleForm(trimmed, locale.dateFormat(type), locale))
            return date;
    }
    return std::nullopt;
}

QString storageToDisplay(const QString& storageText)
{
    const auto date = fromStorage(storageText);
    return date ? toDisplay(*date) : storageText;
}

}  // namespace datetext
