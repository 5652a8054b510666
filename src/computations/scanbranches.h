#pragma once

#include "query/exchange.h"

#include <QList>
#include <QString>
#include <optional>

namespace query {
class BranchRegistry;
}

namespace computations {

struct ScanDay;

// Registers the scans over the last N trading days of each scrip and the
// day-against-day comparisons.
void registerScanBranches(query::BranchRegistry& registry);

void registerRunBranches(query::BranchRegistry& registry);
void registerBreakoutBranches(query::BranchRegistry& registry);
void registerAverageChangeBranches(query::BranchRegistry& registry);
void registerTovilBranches(query::BranchRegistry& registry);
void registerMixedRunBranches(query::BranchRegistry& registry);
void registerDaysMovementBranch(query::BranchRegistry& registry);
void registerCombinedScanBranches(query::BranchRegistry& registry);
void registerRateChangeBranch(query::BranchRegistry& registry);

// The figure a run is tested on.
enum class RunMeasure { DeliveryQty, DeliveryPercent, TradedQty, Price };

// The value of one day for a run test; 0 when the day does not count.
double runEntry(RunMeasure measure, query::Exchange exchange, const ScanDay& day);
// runEntry() as an SQL expression over the columns of the mto row `row`.
QString runEntrySql(RunMeasure measure, query::Exchange exchange, const QString& row);

// Whether the newest `risingDays` values rise strictly on every step and the
// `fallingDays` steps before them fall strictly (older entries missing
// count as 0).
bool fellThenRose(const QList<double>& newestFirst, int risingDays, int fallingDays);

// One day of a three-condition scan: its traded and delivered quantity and
// close, each 0 when not above 0.
struct CombinedDay {
    double traded = 0, delivered = 0, close = 0;
};
// Whether traded and delivered quantity rise strictly on every step of the
// N newest days while the close rises (or falls) strictly.
bool risesWithPrice(const QList<CombinedDay>& newestFirst, int days, bool risingPrice);

// The figure a day adds to the average of the delivery-against-average
// scans: the delivery quantity or percentage, 0 when the day does not count.
double averagedFigure(bool percentage, query::Exchange exchange, const ScanDay& day);
// The average of the `days` newest values (missing days as 0), rounded to
// 2 places; nothing when the day before the newest holds 1 or less.
std::optional<double> dayAverage(const QList<double>& newestFirst, int days);

}  // namespace computations
