#include "computations/computationbranches.h"

#include "computations/scanbranches.h"
#include "query/branch.h"

namespace computations {

void registerComputationBranches(query::BranchRegistry& registry)
{
    registerScanBranches(registry);
}

}  // namespace computations
