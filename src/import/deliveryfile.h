#pragma once

#include "import/mtowriter.h"

#include <QDate>
#include <QString>
#include <optional>
#include <string_view>

// The layout of the combined delivery file NB<dd><MMM>.csv once its lines
// are decoded: a header "Tarvenix " + the trading day as dd/MMM/yyyy, then
// one line per scrip of twelve comma-separated fields.
namespace import::deliveryfile {

// Fields of a data line; field 1 (a serial number) is not stored.
inline constexpr int kFieldCount = 12;

// "NB05Jan" for the 5th of January of any year.
QString fileStem(const QDate& day);
// "NB05Jan.csv".
QString fileName(const QDate& day);

// Whether `path` is named for `day`: the five characters after "NB" in the
// last eleven characters of the path are the day and month ("05Jan"), in any
// letter case.
bool pathNamesDay(const QString& path, const QDate& day);

// The decoded header text for `day`: "Tarvenix 05/Jan/2024".
QString headerText(const QDate& day);

// Splits a decoded data line into `row` (fields 2 to 12; empty figures are 0).
// The codes in `row` point into `line`. Returns false and a reason for the
// user when a field is missing or a number is not a number.
bool parseDataLine(std::string_view line, MtoRow& row, QString* reason = nullptr);

// The decoded data line for `row`, with `serial` as field 1. Figures are
// written as they are stored; a figure given as empty in `emptyFigures`
// (a bit per MtoFigure) is written as an empty field.
QByteArray dataLineText(qint64 serial, const MtoRow& row, unsigned emptyFigures = 0);

}  // namespace import::deliveryfile
