#include "import/importscreens.h"
#include "masters/mastersscreens.h"
#include "portfolio/portfolioscreens.h"
#include "query/queryscreens.h"
#include "shell/application.h"
#include "shell/screenregistry.h"
#include "viewer/viewerscreens.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvenix"));
    QApplication::setOrganizationName(QStringLiteral("Tarvenix"));

    shell::ScreenRegistry registry;
    masters::registerMastersScreens(registry);
    import::registerImportScreens(registry);
    query::registerQueryScreens(registry);
    viewer::registerViewerScreens(registry);
    portfolio::registerPortfolioScreens(registry);

    return shell::runApplication(app, registry);
}
