#pragma once

#include <QString>

namespace query {

class BranchRegistry;

// Registers every label of the catalogue: the queries built so far with
// their branches, every other label as "not built yet".
void registerAllBranches(BranchRegistry& registry);

// The families of queries, each in its own file.
void registerAverageBranches(BranchRegistry& registry);
void registerRankingBranches(BranchRegistry& registry);
void registerPriceBranches(BranchRegistry& registry);

// Whether the branch of `label` makes the "Average Queries" day table
// queryresult1 itself, when it needs it, instead of the run's prologue.
bool makesItsOwnDayTable(const QString& label);

}  // namespace query
