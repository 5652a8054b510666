#pragma once

#include "viewer/workbook.h"

#include <QString>
#include <optional>

namespace viewer {

// A block of cells, rows and columns from 1, bounds included.
struct CellBlock {
    int firstRow = 1;
    int firstColumn = 1;
    int lastRow = 1;
    int lastColumn = 1;
};

// Changes one sheet of an existing .xlsx workbook in place: empties `clear`
// (values and formatting) when given, then writes the cells of `cells`
// that hold a value (with their bold). `written`, when given, is the block
// that `cells` fills whole: a cell of it that `cells` leaves empty (a null
// value) is emptied as well. Everything else in
// the file (other sheets, formats, widths, the cells outside the change) is
// kept as it is. The file is rewritten beside under another name first.
// Raises WorkbookError when the file or the sheet (named without regard to
// case) cannot be found or the file cannot be written.
void patchWorkbookSheet(const QString& path, const QString& sheetName, const WorkbookSheet& cells,
                        const std::optional<CellBlock>& clear = std::nullopt,
                        const std::optional<CellBlock>& written = std::nullopt);

}  // namespace viewer
