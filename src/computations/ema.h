#pragma once

#include <QDate>
#include <QString>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace store {
class Database;
}

// The 14-day and 34-day exponential moving averages of the close price that
// `allbhavcopy` keeps on its "EQ" rows (columns EMA14Days and EMA34days).
// A series starts on a symbol's N-th row with the mean of its first N closes;
// every later row continues from the stored value of the row before it. The
// daily import carries the series forward one day, the full computation
// rebuilds it over the whole history: both go through the functions below,
// so that the two always give the same values.
namespace computations {

struct EmaPeriod {
    int days;            // N
    double factor;       // k, as every stored series has used it (not 2/(N+1))
    const char* column;  // the allbhavcopy column holding the average
};

inline constexpr EmaPeriod kEma14{14, 0.1333, "EMA14Days"};
inline constexpr EmaPeriod kEma34{34, 0.05714, "EMA34days"};
inline constexpr EmaPeriod kEmaPeriods[] = {kEma14, kEma34};

// The average of a day from the stored average of the day before and the
// day's close. The stored value is taken in single precision, as the series
// has always been carried; the step itself is worked in double precision.
double emaStep(double previousStored, double close, const EmaPeriod& period);

// The first value of a series: the mean of the given closes, rounded to four
// decimals (halves to even), in single precision.
double emaSeed(std::span<const double> firstCloses);

// The averages of one symbol's closes in date order, one entry per close.
// Entries before the N-th are left empty (those rows keep what they hold);
// the N-th holds the seed and each later one a step. A symbol with fewer
// than N closes gets no values at all.
std::vector<std::optional<double>> emaSeries(std::span<const double> closes, const EmaPeriod& period);

// Recomputes `period`'s average on the "EQ" rows of `symbol` dated up to
// `through` (all of them when `through` is not valid), in date order. Rows
// without a close are left out of the series and keep what they hold.
// Returns the rows written. Runs in the caller's transaction; raises
// store::StoreError on failure.
int rebuildSymbolEma(store::Database& db, const QString& symbol, const EmaPeriod& period,
                     const QDate& through = QDate());

// Progress of the full computation: symbols done out of all, and the symbol
// in hand.
using EmaProgress = std::function<void(int done, int total, const QString& symbol)>;

// Rebuilds `period`'s average over the whole stored history of every symbol
// listed in `derisymbol`, in ascending order, in one transaction: all of it
// lands or none. Symbols without "EQ" rows are passed over. Returns the rows
// written; raises store::StoreError on failure.
qint64 rebuildAllEma(store::Database& db, const EmaPeriod& period, const EmaProgress& progress = {});

}  // namespace computations
