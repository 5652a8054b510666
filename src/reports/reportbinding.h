#pragma once

#include "reports/layouts.h"
#include "reports/reportdocument.h"
#include "reports/reportfacts.h"
#include "store/database.h"

#include <functional>

// Binding a query result to its printed layout: which layout prints a query,
// and the report that layout makes of the result's columns and rows.
namespace reports {

// The layout that prints the query `queryLabel` of `group` on `exchange`.
LayoutId chooseLayout(const QString& queryLabel, QueryGroup group, Exchange exchange);

// The rows of a result handed over one at a time, in printing order; a
// report binds them as they come, never holding them as values.
using ResultRow = std::function<void(const QVariantList&)>;
using ResultRowSource = std::function<void(const ResultRow&)>;

// The report of `result` in the layout chosen for `facts`.
ReportDocument bindReport(const ReportFacts& facts, const store::Rows& result);
ReportDocument bindReport(const ReportFacts& facts, const QList<store::Column>& columns, const ResultRowSource& rows);

// The report of `result` in the layout `id`. The layout's detail columns take
// the result's columns in order: extra result columns are left out, missing
// ones print blank. Rows print in the order given.
ReportDocument bindReport(LayoutId id, const ReportFacts& facts, const store::Rows& result);
ReportDocument bindReport(LayoutId id, const ReportFacts& facts, const QList<store::Column>& columns,
                          const ResultRowSource& rows);

}  // namespace reports
