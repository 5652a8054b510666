#include "store/datetext.h"

#include <QLocale>
#include <QRegularExpression>
#include <array>

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

// A date of the user's locale in `format`; Qt reads a two-digit year as one
// of the 1900s, which is put in the same hundred years as typed numbers.
std::optional<QDate> fromLocale(const QString& text, const QString& format)
{
    const QDate date = QLocale().toDate(text, format);
    if (!date.isValid())
        return std::nullopt;
    if (format.contains(QLatin1String("yyyy")) || !format.contains(QLatin1String("yy")))
        return date;
    return date.addYears(fullYear(date.year() - 1900, 2) - date.year());
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
    for (const QLocale::FormatType type : {QLocale::ShortFormat, QLocale::LongFormat}) {
        if (const std::optional<QDate> date = fromLocale(trimmed, QLocale().dateFormat(type)))
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
