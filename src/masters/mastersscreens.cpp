#include "masters/mastersscreens.h"

#include "masters/bulkdealsscreen.h"
#include "masters/groupmasterform.h"
#include "masters/groupmembershipscreen.h"
#include "masters/scripmasterform.h"
#include "masters/scripsearchscreen.h"
#include "shell/appservices.h"
#include "shell/screenregistry.h"

namespace masters {

void registerMastersScreens(shell::ScreenRegistry& registry)
{
    registry.add(QStringLiteral("Stock"),
                 [](shell::AppServices& services) { return new ScripMasterForm(services.database()); });
    registry.add(QStringLiteral("Group"),
                 [](shell::AppServices& services) { return new GroupMasterForm(services.database()); });
    registry.add(QStringLiteral("LinkGroupWithScript"),
                 [](shell::AppServices& services) { return new GroupMembershipScreen(services.database()); });
    registry.add(QStringLiteral("MnuScriptSearch"),
                 [](shell::AppServices& services) { return new ScripSearchScreen(services.database()); });
    registry.add(QStringLiteral("MnuBulkDeals"),
                 [](shell::AppServices& services) { return new BulkDealsScreen(services.database()); });
}

}  // namespace masters
