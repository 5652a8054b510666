#pragma once

namespace store {

// Makes the locks that SQLite takes on store files (the database and its
// shared-memory file) belong to SQLite's own open files instead of the whole
// process. A classic POSIX lock vanishes when the process closes ANY
// descriptor of the file, so a file dialog that merely peeks into the store
// file to guess its type would leave the store unlocked for other writers.
// These locks end only when SQLite closes its last descriptor of the file;
// they still conflict with the classic locks of every other process. Called
// by Database::open before the first file is opened; idempotent.
void useOwnFileLocks();

}  // namespace store
