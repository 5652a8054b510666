#pragma once

#include <QDate>

namespace store {
class Database;
}

namespace import {

// What the one-day EMA update did.
struct EmaUpdateOutcome {
    // The two latest trading days of allbhavcopy (invalid when it holds fewer
    // than two days; nothing is updated then).
    QDate latestDay;
    QDate previousDay;
    // Symbols whose averages were carried from the previous day's values.
    int symbolsCarried = 0;
    // Symbols whose previous day had no average: their series was computed
    // afresh over their whole stored history (see below).
    int symbolsSeeded = 0;
};

// Carries the 14-day and 34-day averages of the symbols of group
// "Derivative" from the previous trading day to the latest one on their
// "EQ" rows: each latest-day value goes on from the previous day's stored
// value and the latest close. A symbol without an "EQ" row on both days is
// left unchanged. Where the previous day's row holds no average (a symbol
// new to the table, or the first days loaded), the symbol's series is
// computed over its whole stored history instead, exactly as the full EMA
// computation does; a symbol with too short a history gets no value yet.
// Symbols match the stored ones whatever their length and letter case.
// Runs in one transaction; raises store::StoreError on failure, and then
// nothing has changed. A store that could not be written is named in the
// error's message with the reason.
EmaUpdateOutcome updateLatestDayEma(store::Database& db);

// The group whose symbols get their averages carried.
inline constexpr const char* kDerivativeGroup = "Derivative";

}  // namespace import
