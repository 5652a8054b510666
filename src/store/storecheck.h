#pragma once

#include <QStringList>
#include <atomic>

namespace store {

// What SQLite's quick check finds wrong with the store file at `path`, read
// through a connection of its own so that it may run on another thread while
// the application works on. Empty for a sound store; a file that cannot even
// be opened gives the reason. Setting `*stop` ends a long check early, with
// nothing found.
QStringList quickCheck(const QString& path, const std::atomic_bool* stop = nullptr);

}  // namespace store
