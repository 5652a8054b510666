#include "import/importscreens.h"

#include "import/dailyfilesscreen.h"
#include "import/daterangedeletionscreen.h"
#include "import/rangedownloadscreen.h"
#include "import/xlsimportscreen.h"
#include "shell/screenregistry.h"

namespace import {

void registerImportScreens(shell::ScreenRegistry& registry)
{
    registry.add(QStringLiteral("DatabaseTesting"),
                 [](shell::AppServices& services) -> QWidget* { return new RangeDownloadScreen(services); });
    registry.add(QStringLiteral("MnuMul_DataUpd"),
                 [](shell::AppServices& services) -> QWidget* { return new DailyFilesScreen(services); });
    registry.add(QStringLiteral("DeleteRecords"),
                 [](shell::AppServices& services) -> QWidget* { return new DateRangeDeletionScreen(services); });
    registry.add(QStringLiteral("importfromexcel"),
                 [](shell::AppServices& services) -> QWidget* { return new XlsImportScreen(services); });
}

}  // namespace import
