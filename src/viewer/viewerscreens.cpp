#include "viewer/viewerscreens.h"

#include "shell/screenregistry.h"

namespace viewer {

// No menu item opens the result viewer: the query screen hands each result
// to it through showResult() (viewer/resultviewer.h).
void registerViewerScreens(shell::ScreenRegistry& registry)
{
    (void)registry;
}

}  // namespace viewer
