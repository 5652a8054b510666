#pragma once

#include "computations/optionsdatabase.h"
#include "query/branch.h"

namespace computations {

// "Pellam Query": the query's trading day and the four before it side by
// side per scrip (NSE plus BSE quantities, delivery percentage, price and
// open interest of each day), with two moving averages of the underlying
// price (windows of the first and second number box), its 52-week high and
// low, the sector and the price change of the last two days, ordered by
// sector and company. Open interest, underlying prices and sectors come from
// the options database at `settings.path`.
query::BranchResult pellamQuery(query::RunContext& context, const OptionsSettings& settings);

}  // namespace computations
