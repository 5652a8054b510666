#include "shell/sharedstate.h"

namespace shell {

SharedState& sharedState()
{
    static SharedState state;
    return state;
}

}  // namespace shell
