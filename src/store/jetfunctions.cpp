#include "store/jetfunctions.h"

#include <cmath>
#include <sqlite3.h>

namespace store {

double jetRound(double value, int places)
{
    const double scale = std::pow(10.0, places);
    double scaled = value * scale;
    // A value that prints as an exact half (2.675 is 2.67499999... in binary)
    // counts as a half: snap to the nearest millionth before rounding.
    const double snapped = std::nearbyint(scaled * 1e6) / 1e6;
    if (std::fabs(snapped - scaled) < 1e-7 * std::max(1.0, std::fabs(scaled)))
        scaled = snapped;
    const double floor = std::floor(scaled);
    const double fraction = scaled - floor;
    double rounded;
    if (fraction > 0.5)
        rounded = floor + 1;
    else if (fraction < 0.5)
        rounded = floor;
    else
        rounded = std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1;
    return rounded / scale;
}

double jetVal(const QString& text)
{
    // Blanks, tabs and line feeds are skipped anywhere; then an optional sign,
    // digits with at most one point, and an optional exponent.
    QString compact;
    for (const QChar c : text)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            compact.append(c);
    int i = 0;
    const int n = static_cast<int>(compact.size());
    QString number;
    if (i < n && (compact[i] == QLatin1Char('-') || compact[i] == QLatin1Char('+')))
        number.append(compact[i++]);
    bool digits = false, point = false;
    while (i < n) {
        const QChar c = compact[i];
        if (c.isDigit() && c.unicode() < 128) {
            digits = true;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
        } else {
            break;
        }
        number.append(c);
        ++i;
    }
    if (!digits)
        return 0.0;
    if (i < n && (compact[i] == QLatin1Char('e') || compact[i] == QLatin1Char('E') || compact[i] == QLatin1Char('d') ||
                  compact[i] == QLatin1Char('D'))) {
        QString exponent = QStringLiteral("e");
        int j = i + 1;
        if (j < n && (compact[j] == QLatin1Char('-') || compact[j] == QLatin1Char('+')))
            exponent.append(compact[j++]);
        const int start = j;
        while (j < n && compact[j].isDigit() && compact[j].unicode() < 128)
            exponent.append(compact[j++]);
        if (j > start)
            number.append(exponent);
    }
    return number.toDouble();
}

QString jetNumberText(double value)
{
    if (std::isfinite(value) && std::fabs(value) < 1e15 && value == std::trunc(value))
        return QString::number(static_cast<qint64>(value));
    return QString::number(value, 'g', 15);
}

namespace {

void roundFunction(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || (argc > 1 && sqlite3_value_type(argv[1]) == SQLITE_NULL)) {
        sqlite3_result_null(context);
        return;
    }
    const int places = argc > 1 ? sqlite3_value_int(argv[1]) : 0;
    sqlite3_result_double(context, jetRound(sqlite3_value_double(argv[0]), places));
}

void valFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_null(context);
        return;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        sqlite3_result_double(context, sqlite3_value_double(argv[0]));
        return;
    default:
        sqlite3_result_double(
            context, jetVal(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])))));
    }
}

void spaceFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    const int count = std::max(0, sqlite3_value_int(argv[0]));
    const std::string blanks(static_cast<size_t>(count), ' ');
    sqlite3_result_text(context, blanks.c_str(), count, SQLITE_TRANSIENT);
}

void format2Function(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const QByteArray text = QByteArray::number(jetRound(sqlite3_value_double(argv[0]), 2), 'f', 2);
    sqlite3_result_text(context, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void cstrFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_text(context, "", 0, SQLITE_STATIC);
        return;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: {
        const QByteArray text = jetNumberText(sqlite3_value_double(argv[0])).toUtf8();
        sqlite3_result_text(context, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return;
    }
    default:
        sqlite3_result_value(context, argv[0]);
    }
}

}  // namespace

void registerJetFunctions(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "round", 1, flags, nullptr, roundFunction, nullptr, nullptr);
    sqlite3_create_function(db, "round", 2, flags, nullptr, roundFunction, nullptr, nullptr);
    sqlite3_create_function(db, "val", 1, flags, nullptr, valFunction, nullptr, nullptr);
    sqlite3_create_function(db, "space", 1, flags, nullptr, spaceFunction, nullptr, nullptr);
    sqlite3_create_function(db, "format2", 1, flags, nullptr, format2Function, nullptr, nullptr);
    sqlite3_create_function(db, "cstr", 1, flags, nullptr, cstrFunction, nullptr, nullptr);
}

}  // namespace store
