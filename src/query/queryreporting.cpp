#include "query/queryreporting.h"

namespace query {

reports::Exchange reportExchange(Exchange exchange)
{
    switch (exchange) {
    case Exchange::Nse:
        return reports::Exchange::Nse;
    case Exchange::Bse:
        return reports::Exchange::Bse;
    case Exchange::Combined:
        break;
    }
    return reports::Exchange::NseAndBse;
}

reports::ReportFacts reportFacts(const RunState& state, const reports::QueryParameter& firstParameter,
                                 const reports::QueryParameter& secondParameter)
{
    reports::ReportFacts facts;
    facts.queryLabel = state.label;
    facts.queryGroup = state.group >= 1 && state.group <= 9 ? static_cast<reports::QueryGroup>(state.group)
                                                            : reports::QueryGroup::None;
    facts.exchange = reportExchange(state.exchange);
    facts.groupName = state.groupName;
    facts.firstDate = state.firstDate;
    facts.secondDate = state.secondDate;
    facts.firstParameter = firstParameter;
    facts.secondParameter = secondParameter;
    return facts;
}

}  // namespace query
