#pragma once

#include <QDate>
#include <QString>
#include <optional>

// The one place where dates are turned into text and back.
//  - Display text: dd/MMM/yyyy with English month names ("05/Dec/2026"),
//    whatever the user's locale.
//  - Storage text: ISO yyyy-MM-dd, as the store keeps every date column.
namespace datetext {

// "05/Dec/2026"; an invalid date gives an empty text.
QString toDisplay(const QDate& date);
// "December 05,2026", as report titles write a day out in full.
QString toLongDisplay(const QDate& date);
// "2026-12-05"; an invalid date gives an empty text.
QString toStorage(const QDate& date);

// Strict parse of display text: day of one or two digits, an English month
// abbreviation (any letter case), a four-digit year, separated by '/'.
// Leading and trailing blanks are ignored. Returns nothing on any other text
// or on a day that does not exist; `error` then holds a message for the user.
std::optional<QDate> fromDisplay(const QString& text, QString* error = nullptr);
// Strict parse of storage text (yyyy-MM-dd).
std::optional<QDate> fromStorage(const QString& text);

// A date as a user may type it where any common form will do: the display
// form; day, month and year in numbers, day first as the application orders
// its dates, separated by '/', '-' or '.' (21/02/2025, 21-2-25, 21.02.2025);
// ISO yyyy-MM-dd; or the short or long date form of the user's locale, with
// a year of two or four digits, a day or month of one or two, a month's name
// in any letter case and the weekday named or left out (12/31/2025 and
// 2/29/00 in en_US, 21. Februar 2025 in de_DE). Where numbers make a day in
// the day-first order and another in the locale's (01/02/2025 in en_US),
// the day-first one is read. A two-digit year stands for 1930 to 2029.
// Leading and trailing blanks are ignored; nothing for text that no form
// reads or a day that does not exist.
std::optional<QDate> fromTyped(const QString& text);

// Display text for a stored value (ISO text); other text comes back unchanged.
QString storageToDisplay(const QString& storageText);

// The English month abbreviation, 1..12 -> "Jan".."Dec".
QString monthAbbreviation(int month);

}  // namespace datetext
