#pragma once

#include "query/branch.h"

namespace computations {

// "Belmora - Price Query": the query's day against the previous trading day
// in four groups (the index groups BSE100 and BSE500 and every BSE-listed
// scrip with BSE figures, every NSE-listed scrip with NSE figures). For each
// group it keeps the ten scrips with the largest delivered quantity among
// those whose delivered and traded quantities both rose, once for a rising
// close (query '1') and once for a falling close (query '2'), in the work
// table `TBelmoraResult` with the close's change in per cent. A scrip must
// reach the minimum close, traded quantity and delivery percentage of the
// lower "Rate", "Trading Qty" and "% Delivery Qty" boxes on both days,
// whether or not their check boxes are ticked.
query::BranchResult belmoraQuery(query::RunContext& context);

}  // namespace computations
