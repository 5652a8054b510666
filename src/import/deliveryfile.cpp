#include "import/deliveryfile.h"

#include "import/deliverycodec.h"
#include "import/marketfigure.h"
#include "import/textlines.h"

#include "store/datetext.h"

#include <charconv>
#include <cmath>

namespace import::deliveryfile {

namespace {

const char* const kFigureNames[MtoFigureCount] = {"NSETrdQty", "BSETrdQty", "NSEDelyQty", "BSEDelyQty",
                                                  "NSEPerc",   "BSEPerc",   "NSEClPrice", "BSEClPrice"};

QString quoted(std::string_view text)
{
    return QLatin1Char('"') + shownValue(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()))) +
           QLatin1Char('"');
}

bool parseFigure(std::string_view field, double& value)
{
    field = trimmedView(field);
    if (field.empty()) {
        value = 0;
        return true;
    }
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    return error == std::errc() && end == field.data() + field.size() && !std::isnan(value);
}

bool parseWholeNumber(std::string_view field, qint64& value)
{
    field = trimmedView(field);
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    return !field.empty() && error == std::errc() && end == field.data() + field.size();
}

void appendNumber(QByteArray& out, double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    out.append(buffer, result.ptr - buffer);
}

void appendView(QByteArray& out, std::string_view text)
{
    out.append(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString fileStem(const QDate& day)
{
    return QStringLiteral("NB%1%2").arg(day.day(), 2, 10, QLatin1Char('0')).arg(datetext::monthAbbreviation(day.month()));
}

QString fileName(const QDate& day)
{
    return fileStem(day) + QStringLiteral(".csv");
}

bool pathNamesDay(const QString& path, const QDate& day)
{
    const QString named = path.right(11).mid(2, 5);
    return day.isValid() && named.compare(fileStem(day).mid(2), Qt::CaseInsensitive) == 0;
}

QString headerText(const QDate& day)
{
    return QString::fromLatin1(deliverycodec::kHeaderWord) + datetext::toDisplay(day);
}

bool parseDataLine(std::string_view line, MtoRow& row, QString* reason)
{
    // Field 1 runs to the first comma; fields 2 to 11 each end at a comma and
    // field 12 runs to the end of the line.
    std::string_view fields[kFieldCount];
    int count = 0;
    size_t start = 0;
    while (count < kFieldCount - 1) {
        const size_t comma = line.find(',', start);
        if (comma == std::string_view::npos)
            break;
        fields[count++] = line.substr(start, comma - start);
        start = comma + 1;
    }
    if (count < kFieldCount - 1) {
        if (reason)
            *reason = QStringLiteral("it has %1 fields instead of %2").arg(count + 1).arg(kFieldCount);
        return false;
    }
    fields[count] = line.substr(start);

    if (!parseWholeNumber(fields[1], row.scriptcode)) {
        if (reason)
            *reason = QStringLiteral("the scrip number %1 in field 2 is not a whole number").arg(quoted(fields[1]));
        return false;
    }
    row.nseScriptCode = fields[2];
    row.bseScriptCode = fields[3];
    for (const int code : {2, 3}) {
        if (holdsControlCharacter(fields[code])) {
            if (reason)
                *reason = QStringLiteral("field %1 (%2) holds a control character")
                              .arg(code + 1)
                              .arg(QLatin1String(code == 2 ? "NSEScriptCode" : "BSEScriptCode"));
            return false;
        }
    }
    for (int i = 0; i < MtoFigureCount; ++i) {
        const std::string_view field = fields[4 + i];
        double& figure = row.figures[static_cast<size_t>(i)];
        const bool number = parseFigure(field, figure);
        if (!number || !isMarketFigure(figure)) {
            if (reason)
                *reason =
                    QStringLiteral("%1 in field %2 (%3) is not %4")
                        .arg(quoted(field), QString::number(5 + i), QLatin1String(kFigureNames[i]),
                             number ? QStringLiteral("a price, quantity or percentage") : QStringLiteral("a number"));
            return false;
        }
    }
    return true;
}

QByteArray dataLineText(qint64 serial, const MtoRow& row, unsigned emptyFigures)
{
    QByteArray out;
    out.reserve(96);
    out.append(QByteArray::number(serial));
    out.append(',');
    out.append(QByteArray::number(row.scriptcode));
    out.append(',');
    appendView(out, row.nseScriptCode);
    out.append(',');
    appendView(out, row.bseScriptCode);
    for (int i = 0; i < MtoFigureCount; ++i) {
        out.append(',');
        if (!(emptyFigures & (1u << i)))
            appendNumber(out, row.figures[static_cast<size_t>(i)]);
    }
    return out;
}

}  // namespace import::deliveryfile
