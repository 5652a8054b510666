#include "masters/mastersscreens.h"

#include "masters/frmgroupmaster.h"
#include "masters/frmlink.h"
#include "masters/frmscriptmaster.h"
#include "masters/frmscriptsearch.h"
#include "shell/appservices.h"
#include "shell/screenregistry.h"

namespace masters {

void registerMastersScreens(shell::ScreenRegistry& registry)
{
    registry.add(QStringLiteral("Stock"),
                 [](shell::AppServices& services) { return new FrmScriptMaster(services.database()); });
    registry.add(QStringLiteral("Group"),
                 [](shell::AppServices& services) { return new FrmGroupMaster(services.database()); });
    registry.add(QStringLiteral("LinkGroupWithScript"),
                 [](shell::AppServices& services) { return new FrmLink(services.database()); });
    registry.add(QStringLiteral("MnuScriptSearch"),
                 [](shell::AppServices& services) { return new FrmScript_Search(services.database()); });
    registry.add(QStringLiteral("MnuBulkDeals"),
                 [](shell::AppServices& services) { return new FrmBulk_Deals(services.database()); });
}

}  // namespace masters
