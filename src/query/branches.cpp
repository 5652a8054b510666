#include "query/branches.h"

#include "computations/computationbranches.h"
#include "query/abnormalbranches.h"
#include "query/averagebranches.h"
#include "query/breadthbranches.h"
#include "query/branch.h"
#include "query/breakoutbranches.h"
#include "query/catalogue.h"
#include "query/clientbranches.h"
#include "query/pricebranches.h"
#include "query/rankingbranches.h"
#include "query/windowbranches.h"

namespace query {

void registerAllBranches(BranchRegistry& registry)
{
    for (const QString& label : catalogueLabels())
        registry.addNotBuilt(label);
    registerAverageBranches(registry);
    registerRankingBranches(registry);
    registerPriceBranches(registry);
    registerAbnormalBranches(registry);
    registerBreadthBranches(registry);
    registerClientBranches(registry);
    registerBreakoutBranches(registry);
    registerWindowBranches(registry);
    computations::registerComputationBranches(registry);
}

}  // namespace query
