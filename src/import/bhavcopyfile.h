#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <array>
#include <optional>
#include <string_view>

// The layout of the exchange's cash-market bhavcopy: comma-separated text,
// a fixed header line, then one line per symbol and series whose fields each
// end in a comma:
//   SYMBOL,SERIES,OPEN,HIGH,LOW,CLOSE,LAST,PREVCLOSE,TOTTRDQTY,TOTTRDVAL,TIMESTAMP,
// The trading day (TIMESTAMP) is written as 05-JAN-2024.
namespace import::bhavcopyfile {

inline constexpr std::string_view kHeader =
    "SYMBOL,SERIES,OPEN,HIGH,LOW,CLOSE,LAST,PREVCLOSE,TOTTRDQTY,TOTTRDVAL,TIMESTAMP,";

// The figures of a line, in file order; each goes to the allbhavcopy column
// of the same name (openprice ... tottrdval).
enum Figure { Open, High, Low, Close, Last, PrevClose, TotTrdQty, TotTrdVal, FigureCount };

struct Row {
    QString symbol;
    QString series;
    std::array<double, FigureCount> figures{};
};

// Splits a data line into `row`. The line must hold the header's eleven
// fields, each ending in a comma, and end in a comma. When `dayText` is
// given, field 11 (the trading day) goes there. Returns false and a reason
// for the user when a field or the closing comma is missing (the file was
// cut off) or a figure is not a number that a price or quantity can be
// (negative, or beyond any real figure).
bool parseLine(std::string_view line, Row& row, QString* dayText = nullptr, QString* reason = nullptr);

// The trading day of a TIMESTAMP field: "05-JAN-2024", or "05/Jan/2024";
// the month in any letter case.
std::optional<QDate> parseDay(const QString& text);
// The TIMESTAMP text of `day`: "05-JAN-2024".
QString dayText(const QDate& day);

// The name the exchange publishes the file of `day` under: "cm05JAN2024bhav.csv".
QString fileName(const QDate& day);
// The name the file chooser offers for `day`: "cm05Jan2024bhav.dbf".
QString offeredFileName(const QDate& day);

// The data line of `row` on `day`, ending in a comma, without a line end.
QByteArray lineText(const Row& row, const QDate& day);

}  // namespace import::bhavcopyfile
