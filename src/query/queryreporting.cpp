#include "query/queryreporting.h"

namespace query {

reports::ReportFacts reportFacts(const RunState& state, const reports::QueryParameter& firstParameter,
                                 const reports::QueryParameter& secondParameter)
{
    reports::ReportFacts facts;
    facts.queryLabel = state.label;
    facts.queryGroup = state.group >= 1 && state.group <= 9 ? static_cast<reports::QueryGroup>(state.group)
                                                            : reports::QueryGroup::None;
    facts.exchange = state.exchange;
    facts.groupName = state.groupName;
    facts.firstDate = state.firstDate;
    facts.secondDate = state.secondDate;
    facts.firstParameter = firstParameter;
    facts.secondParameter = secondParameter;
    return facts;
}

}  // namespace query
