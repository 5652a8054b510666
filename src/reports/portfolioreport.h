#pragma once

#include "reports/reportdocument.h"
#include "store/database.h"

#include <QDate>

// The printed portfolio valuation: the summary, detail and sector-wise
// layouts, each in portfolio or scrip order.
namespace reports {

enum class PortfolioLayout {
    PortfolioSummary,
    ScriptSummary,
    PortfolioDetail,
    ScriptDetail,
    Sector,
};

// The report of valuation `rows` (the columns of the matching valuation
// kind, by name) at `valuationDay`, printed on `printedOn`.
ReportDocument buildPortfolioReport(PortfolioLayout layout, const store::Rows& rows, const QDate& valuationDay,
                                    const QDate& printedOn);

}  // namespace reports
