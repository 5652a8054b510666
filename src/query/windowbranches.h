#pragma once

namespace query {

class BranchRegistry;

// The queries that set a scrip's figures of the day against a window of
// earlier trading days (its highest, lowest and average), and the group
// totals of the day against their window average.
void registerWindowBranches(BranchRegistry& registry);

}  // namespace query
