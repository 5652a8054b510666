#pragma once

#include "viewer/resultrows.h"

#include <QString>

namespace viewer {

// What the result viewer's "&Export To Excel" exports.
struct ExcelExportRequest {
    QString dataFolder;   // where workbooks are proposed and the templates lie
    QString queryName;    // the query that made the rows: it picks the workbook
    const ResultRows* rows = nullptr;  // the rows as the grid shows them
    qint64 firstRecord = 0;            // the row chosen in the grid; a new workbook starts there
};

// "&Export To Excel" for rows that are there: the rows go to the derivatives
// report (after the user agrees), to the market watch sheet, or to a new
// workbook, as the query asks; the user picks where a workbook goes, and is
// told where the rows went or why they did not.
void exportToExcel(const ExcelExportRequest& request);

}  // namespace viewer
