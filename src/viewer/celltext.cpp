#include "viewer/celltext.h"

#include "query/statementreader.h"
#include "store/datetext.h"

#include <charconv>
#include <cmath>
#include <sqlite3.h>

namespace viewer {

QByteArrayView writeNumber(double value, NumberText& buffer)
{
    char* const first = buffer.data();
    char* const last = first + buffer.size();
    const char* end = std::abs(value) < 1e15 && value == std::trunc(value)
                          ? std::to_chars(first, last, static_cast<qint64>(value)).ptr
                          : std::to_chars(first, last, value, std::chars_format::general, 15).ptr;
    return QByteArrayView(first, end);
}

QByteArrayView writeNumber(qint64 value, NumberText& buffer)
{
    return QByteArrayView(buffer.data(), std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr);
}

QString cellText(const QVariant& value, store::ColumnKind kind)
{
    if (value.isNull())
        return {};
    NumberText number;
    switch (value.typeId()) {
    case QMetaType::QDate:
        return datetext::toDisplay(value.toDate());
    case QMetaType::Double:
        return QString::fromLatin1(writeNumber(value.toDouble(), number));
    case QMetaType::LongLong:
    case QMetaType::Int:
        // The store reads a whole number of a REAL column as a double.
        if (kind == store::ColumnKind::Real)
            return QString::fromLatin1(writeNumber(value.toDouble(), number));
        return QString::fromLatin1(writeNumber(value.toLongLong(), number));
    default:
        return value.toString();
    }
}

QByteArrayView storedCellText(const query::RowValue& value, store::ColumnKind kind, NumberText& buffer)
{
    switch (value.type()) {
    case SQLITE_INTEGER:
        if (kind == store::ColumnKind::Real)
            return writeNumber(static_cast<double>(value.integer()), buffer);
        return writeNumber(value.integer(), buffer);
    case SQLITE_FLOAT:
        return writeNumber(value.real(), buffer);
    case SQLITE_TEXT:
    case SQLITE_BLOB:
        return value.view();
    default:
        return {};
    }
}

}  // namespace viewer
