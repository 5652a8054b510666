#include "query/sql.h"

#include "store/datetext.h"

#include <QDate>
#include <cmath>
#include <sqlite3.h>

namespace query {

Sql Sql::value(const QVariant& value)
{
    Sql marker(QStringLiteral("?"));
    marker.params.append(value);
    return marker;
}

Sql& Sql::operator+=(const Sql& other)
{
    text += other.text;
    params += other.params;
    return *this;
}

QString filler(int width)
{
    return QStringLiteral("space(1) as ") + store::quoteIdentifier(QString(width, QChar(0x00A0)));
}

QString fillers(int count, int first)
{
    QString text;
    for (int width = first; width < first + count; ++width)
        text += QLatin1Char(',') + filler(width);
    return text;
}


namespace {

QString literal(const QVariant& value)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', 17);
    case QMetaType::QDate:
        return QLatin1Char('\'') + datetext::toStorage(value.toDate()) + QLatin1Char('\'');
    default: {
        QString text = value.toString();
        text.replace(QLatin1Char('\''), QLatin1String("''"));
        return QLatin1Char('\'') + text + QLatin1Char('\'');
    }
    }
}


}  // namespace

QString withLiterals(const Sql& sql)
{
    QString out;
    out.reserve(sql.text.size() + 16 * sql.params.size());
    qsizetype next = 0;
    QChar closing;  // inside a quoted literal or identifier until this character
    for (const QChar c : sql.text) {
        if (!closing.isNull()) {
            out.append(c);
            if (c == closing)
                closing = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
            closing = c;
        else if (c == QLatin1Char('['))
            closing = QLatin1Char(']');
        if (c == QLatin1Char('?') && next < sql.params.size())
            out.append(literal(sql.params.at(next++)));
        else
            out.append(c);
    }
    return out;
}


}  // namespace query
