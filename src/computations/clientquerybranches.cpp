#include "computations/clientquerybranches.h"

#include "computations/belmoraexport.h"
#include "computations/ivro.h"
#include "computations/pellam.h"
#include "query/branch.h"

namespace computations {

void registerClientQueryBranches(query::BranchRegistry& registry)
{
    registry.add(QStringLiteral("Belmora - Price Query"), belmoraPriceQuery);
    registry.add(QStringLiteral("Pellam Query"),
                 [](query::RunContext& context) { return pellamQuery(context, OptionsSettings{context.inputs.optionPath}); });
    registry.add(QStringLiteral("Ivro Query"),
                 [](query::RunContext& context) { return ivroQuery(context, OptionsSettings{context.inputs.optionPath}); });
}

}  // namespace computations
