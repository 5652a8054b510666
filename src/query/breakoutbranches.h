#pragma once

#include "query/sql.h"

#include <QString>

namespace query {

class BranchRegistry;

// The breakout and delivery run queries: a day's delivery or volume against
// its recent average, against the previous day, over three days and against
// the last three months.
void registerBreakoutBranches(BranchRegistry& registry);

// The scrip filter of a run (" and scriptcode in (...)") on the scrip column
// of the table `alias`, for statements that join several tables holding a
// scrip code.
Sql qualifiedScripFilter(const Sql& scripFilter, const QString& alias);

}  // namespace query
