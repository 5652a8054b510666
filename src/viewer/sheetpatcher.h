#pragma once

#include "viewer/workbook.h"

#include <QList>
#include <QString>

namespace viewer {

// A block of cells, rows and columns from 1, bounds included.
struct CellBlock {
    int firstRow = 1;
    int firstColumn = 1;
    int lastRow = 1;
    int lastColumn = 1;
};

// Changes one sheet of an existing .xlsx workbook in place: empties the
// blocks of `clear` (values and formatting), then writes the cells of `cells`
// that hold a value (with their bold); a cell that `cells` leaves empty (a
// null value) is emptied only where a block of `clear` covers it. Everything
// else in the file (other sheets, formats, widths, the cells outside the
// change) is kept as it is. The file is rewritten beside under another name
// first. Raises WorkbookError when the file or the sheet (named without
// regard to case) cannot be found or the file cannot be written.
void patchWorkbookSheet(const QString& path, const QString& sheetName, const WorkbookSheet& cells,
                        const QList<CellBlock>& clear = {});

}  // namespace viewer
