#include "store/datetext.h"

#include <QLocale>
#include <QRegularExpression>
#include <array>

namespace datetext {

namespace {
const std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

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

QString storageToDisplay(const QString& storageText)
{
    const auto date = fromStorage(storageText);
    return date ? toDisplay(*date) : storageText;
}

}  // namespace datetext
