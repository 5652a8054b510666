#pragma once

#include <QString>

namespace query {

class BranchRegistry;

// The "Average Queries" group, one row per scrip between two dates, and the
// turnover and delivery value per group and day.
void registerAverageBranches(BranchRegistry& registry);

// Whether the branch of `label` makes the "Average Queries" day table
// queryresult1 itself, when it needs it, instead of the run's prologue.
bool makesItsOwnDayTable(const QString& label);

}  // namespace query
