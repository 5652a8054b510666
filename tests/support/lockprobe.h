#pragma once

#include <QString>

// SQLite's result code when another process tries, at once, to write one row
// to the main store at `path` (SQLITE_BUSY while this process holds a write
// transaction on it). The other process is this test program started again.
int writeFromAnotherProcess(const QString& path);
