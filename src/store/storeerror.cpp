#include "store/storeerror.h"

#include "store/showntext.h"

#include <sqlite3.h>

namespace store {

namespace {

// Why the store could not be written, for the user; empty when the failure
// was not the store's own.
QString unwritableReason(int code)
{
    switch (code & 0xff) {
    case SQLITE_READONLY:
        return QStringLiteral("it is read-only");
    case SQLITE_FULL:
        return QStringLiteral("the disk is full");
    case SQLITE_IOERR:
        return QStringLiteral("the disk failed to read or write it");
    case SQLITE_CANTOPEN:
        return QStringLiteral("its file could not be opened");
    case SQLITE_PERM:
        return QStringLiteral("access to its file was denied");
    default:
        return {};
    }
}

}  // namespace

bool StoreError::storeUnwritable() const
{
    return !unwritableReason(m_code).isEmpty();
}

QString storeUnwritableMessage(const StoreError& error)
{
    const QString reason = unwritableReason(error.code());
    return QStringLiteral("The database \"%1\" could not be written: %2 (%3).")
        .arg(shownPath(error.storePath()), reason.isEmpty() ? QStringLiteral("it failed") : reason,
             error.message());
}

}  // namespace store
