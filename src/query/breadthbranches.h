#pragma once

namespace query {

class BranchRegistry;

// The market on one day as a whole: the value traded and delivered in the
// scrips whose close rose, fell or stayed, the scrips with the highest
// delivery value among the risers (or fallers), and the market strength count.
void registerBreadthBranches(BranchRegistry& registry);

}  // namespace query
