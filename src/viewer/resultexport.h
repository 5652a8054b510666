#pragma once

#include "store/database.h"
#include "viewer/resultrows.h"
#include "viewer/workbook.h"

#include <QList>
#include <QString>
#include <utility>

// The Excel exports of a result. Every export writes the same layout: the
// column names in bold in row 1 and one row per record from row 2, leaving
// out the columns whose names begin with "s_" (lower case s only).
namespace viewer {

enum class ExportTarget {
    NewWorkbook,        // any query: a new workbook where the user chooses
    DerivativesReport,  // "Top 5 Gainer & Loser": the derivatives report template
    MarketWatch,        // the market-watch queries: their sheet of the market-watch workbook
};

inline const QString kMarketWatchFile = QStringLiteral("marketwatch.xlsx");
inline const QString kDerivativesTemplateFile = QStringLiteral("derireport.xlsx");
inline const QString kDerivativesSheet = QStringLiteral("sheet1");

// The market-watch queries and the sheet each keeps its latest result in.
const QList<std::pair<QString, QString>>& marketWatchSheets();
// Which export a query's result goes to; names compare exactly.
ExportTarget exportTargetFor(const QString& queryName);
// The market-watch sheet of a query, empty when it has none.
QString marketWatchSheetFor(const QString& queryName);

// The most records a sheet holds under its header row.
inline constexpr qint64 kMaxSheetRecords = 1048575;

// Writes the header row and the records of `rows` from `firstRecord` on,
// from sheet row 2. Cells beyond the written ones are left as they were.
void writeResultRows(WorkbookSheet& sheet, const store::Rows& rows, int firstRecord = 0);

// A new workbook of one sheet holding the `count` records that `records`
// hands over, under the header of `columns`, saved at `path`; the records
// are written as they come, never held. More records than a sheet holds
// are refused before anything is written.
void exportNewWorkbook(const QString& path, const QList<store::Column>& columns, qint64 count,
                       const RecordSource& records);
// The same for rows that are there, from `firstRecord` on.
void exportNewWorkbook(const QString& path, const store::Rows& rows, int firstRecord);

// A workbook with the market-watch sheets, all empty.
Workbook newMarketWatchWorkbook();
// Puts the result of `queryName` into its sheet of the market-watch
// workbook at `path` (made when missing): clears A2:M500 of that sheet,
// writes the rows (a null value empties its cell, there or beyond) and
// saves the workbook. Returns false when the result had
// no rows (the sheet then holds the new header only).
bool exportMarketWatch(const QString& path, const QString& queryName, const store::Rows& rows);

// A derivatives report template: one empty sheet "sheet1".
Workbook newDerivativesTemplate();
// Fills "sheet1" of the template at `templatePath` (made when missing) with
// every row, a null value emptying its cell, and saves the filled copy at
// `outputPath`; the template itself is never changed.
void exportDerivativesReport(const QString& templatePath, const QString& outputPath, const store::Rows& rows);

}  // namespace viewer
