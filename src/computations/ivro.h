#pragma once

#include "computations/optionsdatabase.h"
#include "query/branch.h"

namespace computations {

// "Ivro Query": per NSE symbol with futures in the options database, the
// query's day against the previous trading day: NSE plus BSE traded and
// delivered quantities with their changes in per cent and in quantity, and
// the futures open interest with its changes, ordered by sector and symbol.
query::BranchResult ivroQuery(query::RunContext& context, const OptionsSettings& settings);

}  // namespace computations
