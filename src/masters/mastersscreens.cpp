#include "masters/mastersscreens.h"

#include "shell/screenregistry.h"

namespace masters {

void registerMastersScreens(shell::ScreenRegistry& registry)
{
    (void)registry;
}

}  // namespace masters
