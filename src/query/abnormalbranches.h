#pragma once

#include "query/sql.h"

#include <QString>

namespace query {

class BranchRegistry;
struct RunState;

// The "Abnormal Change" queries that compare a scrip's day with the previous
// trading day or with its average over a number of trading days.
void registerAbnormalBranches(BranchRegistry& registry);

// " And Exists(...LinkDetails...)" restricting `scripColumn` to the chosen
// group. Unlike RunState::groupFilter it is kept for the group "ALL" too,
// which links every scrip; only a run without any group chosen gets none.
Sql linkedToChosenGroup(const RunState& state, const QString& scripColumn);

}  // namespace query
