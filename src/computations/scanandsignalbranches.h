#pragma once

namespace query {
class BranchRegistry;
}

namespace computations {

// The two-condition combined scans, the period averages and the delivery
// value summary, the EMA and 200-day average crossings and the period highs
// and lows.
void registerScanAndSignalBranches(query::BranchRegistry& registry);

// Each family's own registration (one file each).
void registerTwoConditionScanBranches(query::BranchRegistry& registry);
void registerPeriodAverageBranches(query::BranchRegistry& registry);
void registerEmaCrossingBranches(query::BranchRegistry& registry);
void registerDma200Branches(query::BranchRegistry& registry);
void registerPeriodHighLowBranches(query::BranchRegistry& registry);

}  // namespace computations
