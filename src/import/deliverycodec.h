#pragma once

#include <QByteArray>
#include <QString>
#include <string>

// The text form of the combined delivery file. Every line of the file is a
// tag (text without a blank), one blank, and then the decimal character code
// of each character of the line's text, the codes separated by single blanks.
// The last code of a line always has two digits: the producer ends every
// line with a digit or a comma, and readers rely on it to find the line's end.
namespace import::deliverycodec {

// The raw start of every header line: the tag and the codes of "Tarvenix ".
inline constexpr const char* kHeaderLiteral = "<Description> 84 97 114 118 101 110 105 120 32";
// The decoded start of every header line; the trading day follows it.
inline constexpr const char* kHeaderWord = "Tarvenix ";
inline constexpr const char* kHeaderTag = "<Description>";

// Decodes one code line (without its line end) into `text`, the characters as
// single bytes (Latin-1). Returns false and a reason for the user when the
// line is not a well-formed code line; `text` then holds nothing useful.
// An empty line decodes to an empty text.
bool decode(const char* begin, const char* end, std::string& text, QString* reason = nullptr);

// The same for whole texts; a malformed line gives nothing and a reason.
bool decode(const QByteArray& line, QString& text, QString* reason = nullptr);

// The code line for `text` under `tag`. Characters outside Latin-1 cannot be
// written in this form and are written as '?'. The caller keeps the rule that
// the text ends in a character of a two-digit code (a digit or a comma).
QByteArray encode(const QByteArray& tag, const QString& text);
// Appends the code line for the Latin-1 `text` to `out` (no line end).
void appendEncoded(QByteArray& out, const QByteArray& tag, const char* text, qsizetype length);

}  // namespace import::deliverycodec
