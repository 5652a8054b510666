#pragma once

#include <string>

namespace store {
class Database;
}

// A digest of every row of every table of `db`, to see that nothing changed
// at all, or that every row could be read.
std::string storeChecksum(store::Database& db);
