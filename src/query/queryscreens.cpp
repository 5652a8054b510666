#include "query/queryscreens.h"

#include "shell/screenregistry.h"

namespace query {

void registerQueryScreens(shell::ScreenRegistry& registry)
{
    (void)registry;
}

}  // namespace query
