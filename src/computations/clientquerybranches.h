#pragma once

namespace query {
class BranchRegistry;
}

namespace computations {

// Registers "Belmora - Price Query", "Pellam Query" and "Ivro Query". The two
// open-interest queries read the options database that the run inputs name.
void registerClientQueryBranches(query::BranchRegistry& registry);

}  // namespace computations
