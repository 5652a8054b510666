#include "reports/numberformat.h"

#include "store/datetext.h"

#include <QDate>
#include <QList>
#include <QLocale>
#include <cmath>

namespace reports {

namespace {

struct NumberPattern {
    int minIntegerDigits = 1;
    int minDecimals = 0;
    int maxDecimals = 0;
    QList<int> groupSizes;  // from the right; the last one repeats
};

NumberPattern parsePattern(const QString& pattern)
{
    NumberPattern parsed;
    const qsizetype point = pattern.indexOf(QLatin1Char('.'));
    const QString integerPart = point < 0 ? pattern : pattern.left(point);
    const QString fractionPart = point < 0 ? QString() : pattern.mid(point + 1);

    parsed.minIntegerDigits = std::max<int>(1, integerPart.count(QLatin1Char('0')));
    parsed.minDecimals = fractionPart.count(QLatin1Char('0'));
    parsed.maxDecimals = parsed.minDecimals + fractionPart.count(QLatin1Char('#'));

    const QStringList segments = integerPart.split(QLatin1Char(','));
    for (qsizetype i = segments.size() - 1; i >= 1; --i)
        parsed.groupSizes.append(int(segments[i].size()));
    return parsed;
}

QString groupDigits(const QString& digits, const QList<int>& groupSizes)
{
    if (groupSizes.isEmpty())
        return digits;
    QStringList groups;
    qsizetype end = digits.size();
    int groupIndex = 0;
    while (end > 0) {
        const int size = groupSizes[std::min<int>(groupIndex, int(groupSizes.size()) - 1)];
        if (size <= 0)
            break;
        const qsizetype start = std::max<qsizetype>(0, end - size);
        groups.prepend(digits.mid(start, end - start));
        end = start;
        ++groupIndex;
    }
    if (end > 0)
        groups.prepend(digits.left(end));
    return groups.join(QLatin1Char(','));
}

bool isNumeric(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

// `magnitude` (not negative) with exactly `decimals` decimals, rounded from
// its shortest decimal form, a half away from zero: 10.075 is the figure the
// store and SQLite's round() read as 10.075, so it prints 10.08, although its
// nearest binary value lies a little below the half.
QString roundedDecimals(double magnitude, int decimals)
{
    QString text = QString::number(magnitude, 'f', QLocale::FloatingPointShortest);
    if (!text.contains(QLatin1Char('.')))
        text += QLatin1Char('.');
    const qsizetype cut = text.indexOf(QLatin1Char('.')) + 1 + decimals;
    bool carry = cut < text.size() && text.at(cut) >= QLatin1Char('5');
    text = text.left(cut).leftJustified(cut, QLatin1Char('0'));
    for (qsizetype i = text.size() - 1; carry && i >= 0; --i) {
        if (text.at(i) == QLatin1Char('.'))
            continue;
        carry = text.at(i) == QLatin1Char('9');
        text[i] = carry ? QLatin1Char('0') : QChar(text.at(i).unicode() + 1);
    }
    if (carry)
        text.prepend(QLatin1Char('1'));
    if (decimals == 0)
        text.chop(1);
    return text;
}

}  // namespace

QString formatNumber(double value, const QString& pattern)
{
    if (!std::isfinite(value))
        return QString::number(value);
    const NumberPattern parsed = parsePattern(pattern);

    const QString fixed = roundedDecimals(std::fabs(value), parsed.maxDecimals);
    QString integerDigits = fixed;
    QString decimals;
    const qsizetype point = fixed.indexOf(QLatin1Char('.'));
    if (point >= 0) {
        integerDigits = fixed.left(point);
        decimals = fixed.mid(point + 1);
    }
    while (decimals.size() > parsed.minDecimals && decimals.endsWith(QLatin1Char('0')))
        decimals.chop(1);
    while (integerDigits.size() > parsed.minIntegerDigits && integerDigits.startsWith(QLatin1Char('0')))
        integerDigits.remove(0, 1);
    if (integerDigits.size() < parsed.minIntegerDigits)
        integerDigits = QString(parsed.minIntegerDigits - integerDigits.size(), QLatin1Char('0')) + integerDigits;

    const bool isZero = integerDigits.count(QLatin1Char('0')) == integerDigits.size()
                        && decimals.count(QLatin1Char('0')) == decimals.size();
    QString text = groupDigits(integerDigits, parsed.groupSizes);
    if (!decimals.isEmpty())
        text += QLatin1Char('.') + decimals;
    if (value < 0 && !isZero)
        text.prepend(QLatin1Char('-'));
    return text;
}

QString formatCell(const QVariant& value, store::ColumnKind kind, const QString& pattern)
{
    if (!value.isValid() || value.isNull())
        return QString();
    if (value.typeId() == QMetaType::QDate)
        return datetext::toDisplay(value.toDate());
    if (kind == store::ColumnKind::Date)
        return datetext::storageToDisplay(value.toString());
    const bool numericKind = kind == store::ColumnKind::Integer || kind == store::ColumnKind::Real;
    if (numericKind && isNumeric(value) && !pattern.isEmpty())
        return formatNumber(value.toDouble(), pattern);
    return value.toString();
}

}  // namespace reports
