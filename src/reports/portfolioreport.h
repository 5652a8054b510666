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

// The net market value of one sector: the sum over its holdings (a holding
// without a price on the valuation day adds nothing).
struct SectorValue {
    QString sector;
    double value = 0.0;
};

// The sectors of sector-wise valuation `rows`, in the order of their names,
// each with its net market value: what the sector chart shows.
QList<SectorValue> sectorValues(const store::Rows& rows);

}  // namespace reports
