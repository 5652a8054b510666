#include "shell/appservices.h"

namespace shell {

SharedState& sharedState()
{
    static SharedState state;
    return state;
}

}  // namespace shell
