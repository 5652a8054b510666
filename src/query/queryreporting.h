#pragma once

#include "query/runinputs.h"
#include "query/runstate.h"
#include "reports/reportfacts.h"

// The facts that a printed report and the result viewer take from one run
// of the query screen.
namespace query {

// The facts of a completed run: its query, group, exchange, scrip group and
// dates as the run used them (`state`, after the query set its dates), and
// the two number boxes with their captions as the screen showed them.
reports::ReportFacts reportFacts(const RunState& state, const reports::QueryParameter& firstParameter,
                                 const reports::QueryParameter& secondParameter);

}  // namespace query
