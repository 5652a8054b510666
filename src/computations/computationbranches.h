#pragma once

namespace query {
class BranchRegistry;
}

namespace computations {

// Registers the branches of the multi-step queries (scans over scrips, work
// tables over several days, the client formats) with the query engine. Each
// replaces the "not built yet" entry of its label.
void registerComputationBranches(query::BranchRegistry& registry);

}  // namespace computations
