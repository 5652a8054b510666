#include "support/filepermissions.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Gives up or takes up again the thread's rights to pass over file
// permissions; they stay permitted, so they can be taken up again.
bool setPermissionOverride(bool on)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    constexpr unsigned kOverride = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    if (on)
        data[0].effective |= kOverride & data[0].permitted;
    else
        data[0].effective &= ~kOverride;
    return syscall(SYS_capset, &header, data) == 0;
}

}  // namespace

PermissionsBind::PermissionsBind()
{
    if (geteuid() == 0)
        m_dropped = setPermissionOverride(false);
}

PermissionsBind::~PermissionsBind()
{
    if (m_dropped)
        setPermissionOverride(true);
}
