#pragma once

namespace query {

class BranchRegistry;

// Registers the branch of every label of the catalogue, each family from its
// own file. A label is entered as not built first, so that one left without
// a branch says so when run instead of being unknown.
void registerAllBranches(BranchRegistry& registry);

}  // namespace query
