#pragma once

#include "query/branch.h"

#include <QDate>
#include <QString>

namespace store {
class Database;
}

namespace computations {

// "Belmora - Price Query" as the query screen runs it: the price query,
// then the question "Export To Excel Query Screen". On No the query's
// select is the result; on Yes the lists go to the workbook QueryFormat and
// to the day's comma-separated file in the data folder, and the run ends
// without a result.
query::BranchResult belmoraPriceQuery(query::RunContext& context);

// The workbook the lists are exported to, in `dataFolder`.
QString queryFormatPath(const QString& dataFolder);

// Makes the workbook at `path` with its sheet "Sheet2" and the block
// headings when there is no file there yet. Raises viewer::WorkbookError.
void ensureQueryFormat(const QString& path);

// Writes the title cells of "Sheet2" of the workbook at `path` and its four
// blocks of five scrips from TBelmoraResult (rising closes from row 8,
// falling closes from row 21; BSE from column 1, NSE from column 8). Each
// block is emptied first, so a shorter list leaves no stale rows. Everything
// else in the workbook is kept. Raises viewer::WorkbookError when the file
// or its sheet cannot be read or written, store::StoreError when the table
// cannot be read (then the workbook is left untouched).
void exportBelmoraWorkbook(store::Database& db, const QString& path, const QDate& firstDate, const QDate& secondDate);

}  // namespace computations
