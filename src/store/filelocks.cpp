#include "store/filelocks.h"

#include <cerrno>
#include <cstdarg>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <set>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace store {

namespace {

using FcntlCall = int (*)(int, int, ...);
using CloseCall = int (*)(int);

FcntlCall g_systemFcntl = nullptr;
CloseCall g_systemClose = nullptr;

// One lock-holding open file per locked file (device and inode): every SQLite
// descriptor of that file locks through it, so all of SQLite's connections in
// this process share their locks as they would with process-wide locks.
struct LockHolder {
    int descriptor = -1;
    std::set<int> users;  // SQLite's descriptors that have locked through it
};

std::mutex g_holdersMutex;
std::map<std::pair<dev_t, ino_t>, LockHolder> g_holders;

// The holder's descriptor for SQLite's descriptor `fd`; call with the mutex held.
int holderFor(int fd)
{
    struct stat status {};
    if (fstat(fd, &status) != 0)
        return -1;
    LockHolder& holder = g_holders[{status.st_dev, status.st_ino}];
    if (holder.descriptor < 0) {
        // A duplicate shares SQLite's open file, so the locks taken through it
        // belong to that open file, which lives until the holder is closed.
        holder.descriptor = g_systemFcntl(fd, F_DUPFD_CLOEXEC, 0);
        if (holder.descriptor < 0)
            return -1;
    }
    holder.users.insert(fd);
    return holder.descriptor;
}

int ownLockFcntl(int fd, int command, ...)
{
    va_list arguments;
    va_start(arguments, command);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);

    int ownCommand = 0;
    switch (command) {
    case F_SETLK:
        ownCommand = F_OFD_SETLK;
        break;
    case F_SETLKW:
        ownCommand = F_OFD_SETLKW;
        break;
    case F_GETLK:
        ownCommand = F_OFD_GETLK;
        break;
    default:
        return g_systemFcntl(fd, command, argument);
    }
    auto* lock = static_cast<struct flock*>(argument);
    lock->l_pid = 0;
    const std::lock_guard guard(g_holdersMutex);
    const int holder = holderFor(fd);
    if (holder < 0)
        return -1;
    const int result = g_systemFcntl(holder, ownCommand, lock);
    // A kernel without open-file locks keeps the classic ones.
    if (result != 0 && errno == EINVAL)
        return g_systemFcntl(fd, command, lock);
    return result;
}

int ownLockClose(int fd)
{
    {
        const std::lock_guard guard(g_holdersMutex);
        for (auto it = g_holders.begin(); it != g_holders.end(); ++it) {
            if (it->second.users.erase(fd) == 0)
                continue;
            // SQLite's last descriptor of the file: its locks end with it.
            if (it->second.users.empty()) {
                g_systemClose(it->second.descriptor);
                g_holders.erase(it);
            }
            break;
        }
    }
    return g_systemClose(fd);
}

}  // namespace

void useOwnFileLocks()
{
    static std::once_flag once;
    std::call_once(once, [] {
        sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
        if (!vfs || vfs->iVersion < 3 || !vfs->xSetSystemCall)
            return;
        g_systemFcntl = reinterpret_cast<FcntlCall>(vfs->xGetSystemCall(vfs, "fcntl"));
        g_systemClose = reinterpret_cast<CloseCall>(vfs->xGetSystemCall(vfs, "close"));
        if (!g_systemFcntl || !g_systemClose)
            return;
        vfs->xSetSystemCall(vfs, "fcntl", reinterpret_cast<sqlite3_syscall_ptr>(&ownLockFcntl));
        vfs->xSetSystemCall(vfs, "close", reinterpret_cast<sqlite3_syscall_ptr>(&ownLockClose));
    });
}

}  // namespace store
