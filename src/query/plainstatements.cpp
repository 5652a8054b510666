#include "query/plainstatements.h"

#include <atomic>

namespace query {

namespace {
std::atomic<bool> g_plain{false};
}

bool plainStatementsOnly()
{
    return g_plain;
}

void setPlainStatementsOnly(bool plain)
{
    g_plain = plain;
}

}  // namespace query
