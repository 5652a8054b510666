#pragma once

#include <QString>

struct sqlite3;

// SQL functions with the meaning that the Access engine gave them, registered
// on every connection so that statements read as the users expect:
//   round(x [, places])   halves go to the even neighbour: round(2.5) = 2,
//                         round(0.125, 2) = 0.12
//   val(text)             the leading number of a text, blanks ignored: "12ab" = 12
//   space(n)              n blanks
//   format2(x)            x with two decimals, as text ("150.00")
//   cstr(x)               a number as text the way Jet joins it to text:
//                         150 -> "150", 12.5 -> "12.5"; NULL -> ""
namespace store {

void registerJetFunctions(sqlite3* db);

// The same rules for C++ callers.
double jetRound(double value, int places = 0);
double jetVal(const QString& text);
// The text that cstr() gives for a number.
QString jetNumberText(double value);

}  // namespace store
