#include "computations/scanbranches.h"

namespace computations {

void registerScanBranches(query::BranchRegistry& registry)
{
    registerRunBranches(registry);
    registerAverageChangeBranches(registry);
    registerBreakoutBranches(registry);
}

}  // namespace computations
