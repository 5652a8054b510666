#include "computations/scanbranches.h"

namespace computations {

void registerScanBranches(query::BranchRegistry& registry)
{
    registerRunBranches(registry);
    registerMixedRunBranches(registry);
    registerAverageChangeBranches(registry);
    registerBreakoutBranches(registry);
    registerTovilBranches(registry);
    registerDaysMovementBranch(registry);
    registerCombinedScanBranches(registry);
    registerRateChangeBranch(registry);
}

}  // namespace computations
