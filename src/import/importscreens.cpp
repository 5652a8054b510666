#include "import/importscreens.h"

#include "import/frmdelete.h"
#include "import/frmimport.h"
#include "import/frmimportrostane.h"
#include "import/frmimportxls.h"
#include "shell/screenregistry.h"

namespace import {

void registerImportScreens(shell::ScreenRegistry& registry)
{
    registry.add(QStringLiteral("DatabaseTesting"),
                 [](shell::AppServices& services) -> QWidget* { return new FrmImport(services); });
    registry.add(QStringLiteral("MnuMul_DataUpd"),
                 [](shell::AppServices& services) -> QWidget* { return new FrmImportRostane(services); });
    registry.add(QStringLiteral("DeleteRecords"),
                 [](shell::AppServices& services) -> QWidget* { return new FrmDelete(services); });
    registry.add(QStringLiteral("importfromexcel"),
                 [](shell::AppServices& services) -> QWidget* { return new FrmImportXls(services); });
}

}  // namespace import
