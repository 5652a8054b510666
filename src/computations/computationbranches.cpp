#include "computations/computationbranches.h"

#include "computations/clientquerybranches.h"

#include "query/branch.h"

namespace computations {

void registerComputationBranches(query::BranchRegistry& registry)
{
    // No multi-step query is built yet: their labels stay "not built yet".
    (void)registry;
    registerClientQueryBranches(registry);
}

}  // namespace computations
