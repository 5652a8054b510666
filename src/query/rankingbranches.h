#pragma once

namespace query {

class BranchRegistry;

// The Top and Bottom N queries of one trading day, each scrip beside its
// figure of the previous trading day.
void registerRankingBranches(BranchRegistry& registry);

}  // namespace query
