#include "viewer/viewerscreens.h"

#include "shell/screenregistry.h"

namespace viewer {

void registerViewerScreens(shell::ScreenRegistry& registry)
{
    (void)registry;
}

}  // namespace viewer
