#pragma once

namespace query {

class BranchRegistry;

// The price movers and the new highs and lows of the price tables, and the
// five best and worst NSE price movers of a group.
void registerPriceBranches(BranchRegistry& registry);

}  // namespace query
