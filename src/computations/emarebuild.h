#pragma once

#include "query/branch.h"

namespace store {
class Database;
}

namespace computations {

struct EmaPeriod;

// The full rebuild of one exponential average over the whole stored history
// of the derivative symbols, as a long job: the progress line shows
// "Processing For Scrip  " and the symbol in hand. Returns the rows written;
// raises store::StoreError on failure (nothing is then written).
qint64 rebuildEmaWithProgress(store::Database& db, const EmaPeriod& period, const query::ProgressCallback& progress);

// The 14-day and the 34-day average.
qint64 EMA14Day(store::Database& db, const query::ProgressCallback& progress = {});
qint64 EMA34Day(store::Database& db, const query::ProgressCallback& progress = {});

}  // namespace computations
