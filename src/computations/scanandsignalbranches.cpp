#include "computations/scanandsignalbranches.h"

namespace computations {

void registerScanAndSignalBranches(query::BranchRegistry& registry)
{
    registerTwoConditionScanBranches(registry);
    registerPeriodAverageBranches(registry);
    registerEmaCrossingBranches(registry);
    registerDma200Branches(registry);
    registerPeriodHighLowBranches(registry);
}

}  // namespace computations
