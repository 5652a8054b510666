#pragma once

#include "reports/layouts.h"
#include "reports/reportdocument.h"
#include "reports/reportfacts.h"
#include "store/database.h"

// Binding a query result to its printed layout: which layout prints a query,
// and the report that layout makes of the result's columns and rows.
namespace reports {

// The layout that prints the query `queryLabel` of `group` on `exchange`.
LayoutId chooseLayout(const QString& queryLabel, QueryGroup group, Exchange exchange);

// The report of `result` in the layout chosen for `facts`.
ReportDocument bindReport(const ReportFacts& facts, const store::Rows& result);

// The report of `result` in the layout `id`. The layout's detail columns take
// the result's columns in order: extra result columns are left out, missing
// ones print blank. Rows print in the order given.
ReportDocument bindReport(LayoutId id, const ReportFacts& facts, const store::Rows& result);

}  // namespace reports
