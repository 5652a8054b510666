#pragma once

namespace query {

// Queries that work out large windows in one pass over the day rows (the
// per-scrip and per-day summaries, the scans that read their window straight
// from mto) give the same rows as their plain statements. Tests and the
// benchmark switch the one-pass work off to compare the two.
bool plainStatementsOnly();
void setPlainStatementsOnly(bool plain);

}  // namespace query
