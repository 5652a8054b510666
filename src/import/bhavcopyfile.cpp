#include "import/bhavcopyfile.h"

#include "import/marketfigure.h"
#include "import/textlines.h"
#include "store/datetext.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace import::bhavcopyfile {

namespace {

const char* const kFieldNames[] = {"SYMBOL", "SERIES",    "OPEN",      "HIGH",      "LOW",      "CLOSE",
                                   "LAST",   "PREVCLOSE", "TOTTRDQTY", "TOTTRDVAL", "TIMESTAMP"};
constexpr int kFieldCount = std::size(kFieldNames);
static_assert(std::count(kHeader.begin(), kHeader.end(), ',') == kFieldCount);
constexpr int kFiguresFrom = 2;  // fields 3 to 10 are figures
constexpr int kDayField = kFiguresFrom + FigureCount;

bool refuse(QString* reason, const QString& why)
{
    if (reason)
        *reason = why;
    return false;
}

bool parseNumber(std::string_view field, double& value)
{
    field = trimmedView(field);
    if (!field.empty() && field.front() == '+')
        field.remove_prefix(1);
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    return !field.empty() && error == std::errc() && end == field.data() + field.size() && std::isfinite(value);
}

void appendNumber(QByteArray& out, double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    out.append(buffer, result.ptr - buffer);
}

}  // namespace

bool parseLine(std::string_view line, Row& row, QString* dayText, QString* reason)
{
    // Every field ends in a comma, the last one too: a line with fewer fields
    // than the header, or without its closing comma, is where a copy of the
    // file stopped part way, and the rest of the day is missing.
    const bool closed = trimmedView(line).ends_with(',');
    const auto fieldCount = std::count(line.begin(), line.end(), ',') + (closed ? 0 : 1);
    if (fieldCount < kFieldCount)
        return refuse(reason, QStringLiteral("it has %1 fields where the header line has %2 (the file may be cut off)")
                                  .arg(fieldCount)
                                  .arg(kFieldCount));
    if (!closed)
        return refuse(reason,
                      QStringLiteral("it does not end in a comma after its last field (the file may be cut off)"));
    std::string_view fields[kFieldCount];
    size_t start = 0;
    for (std::string_view& field : fields) {
        const size_t comma = line.find(',', start);
        field = line.substr(start, comma - start);
        start = comma + 1;
    }
    for (int i = 0; i < kFiguresFrom; ++i) {
        if (holdsControlCharacter(fields[i]))
            return refuse(reason,
                          QStringLiteral("its %1 holds a control character").arg(QLatin1String(kFieldNames[i])));
    }
    row.symbol = fieldText(fields[0]);
    row.series = fieldText(fields[1]);
    if (row.symbol.isEmpty())
        return refuse(reason, QStringLiteral("its SYMBOL is empty"));
    for (int i = 0; i < FigureCount; ++i) {
        const std::string_view field = fields[kFiguresFrom + i];
        double& figure = row.figures[static_cast<size_t>(i)];
        const bool number = parseNumber(field, figure);
        if (!number || !isMarketFigure(figure))
            return refuse(reason,
                          QStringLiteral("%1 \"%2\" is not %3")
                              .arg(QLatin1String(kFieldNames[kFiguresFrom + i]), shownValue(fieldText(field)),
                                   number ? QStringLiteral("a price or quantity") : QStringLiteral("a number")));
    }
    if (dayText)
        *dayText = fieldText(fields[kDayField]);
    return true;
}

std::optional<QDate> parseDay(const QString& text)
{
    QString display = text.trimmed();
    display.replace(QLatin1Char('-'), QLatin1Char('/'));
    return datetext::fromDisplay(display);
}

QString dayText(const QDate& day)
{
    return datetext::toDisplay(day).replace(QLatin1Char('/'), QLatin1Char('-')).toUpper();
}

QString fileName(const QDate& day)
{
    return QStringLiteral("cm%1%2%3bhav.csv")
        .arg(day.day(), 2, 10, QLatin1Char('0'))
        .arg(datetext::monthAbbreviation(day.month()).toUpper())
        .arg(day.year(), 4, 10, QLatin1Char('0'));
}

QString offeredFileName(const QDate& day)
{
    // The day's display text, dd/MMM/yyyy, without its separators.
    const QString display = datetext::toDisplay(day);
    return QStringLiteral("cm") + display.mid(0, 2) + display.mid(3, 3) + display.mid(7, 4) + QStringLiteral("bhav.dbf");
}

QByteArray lineText(const Row& row, const QDate& day)
{
    QByteArray out;
    out.reserve(128);
    out.append(row.symbol.toUtf8());
    out.append(',');
    out.append(row.series.toUtf8());
    out.append(',');
    for (const double figure : row.figures) {
        appendNumber(out, figure);
        out.append(',');
    }
    out.append(dayText(day).toLatin1());
    out.append(',');
    return out;
}

}  // namespace import::bhavcopyfile
