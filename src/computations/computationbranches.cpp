#include "computations/computationbranches.h"

#include "computations/clientquerybranches.h"
#include "computations/scanandsignalbranches.h"
#include "computations/scanbranches.h"
#include "query/branch.h"

namespace computations {

void registerComputationBranches(query::BranchRegistry& registry)
{
    registerScanBranches(registry);
    registerScanAndSignalBranches(registry);
    registerClientQueryBranches(registry);
}

}  // namespace computations
