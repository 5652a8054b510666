#include "import/importscreens.h"

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
    registry.add(QStringLiteral("importfromexcel"), [](shell::AppServices& s) { return new FrmImportXls(s); });
}

}  // namespace import
