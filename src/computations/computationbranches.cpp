#include "computations/computationbranches.h"

#include "computations/scanandsignalbranches.h"
#include "query/branch.h"

namespace computations {

void registerComputationBranches(query::BranchRegistry& registry)
{
    registerScanAndSignalBranches(registry);
}

}  // namespace computations
