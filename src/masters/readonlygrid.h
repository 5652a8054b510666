#pragma once

#include "masters/headersort.h"

class QString;
class QTableView;
class QWidget;

namespace store {
class Recordset;
class RecordsetModel;
}  // namespace store

namespace masters {

// A grid that shows a recordset and is only read: rows are chosen whole, one
// at a time, and the headings can be clicked to sort.
QTableView* makeReadOnlyGrid(QWidget* parent, const QString& name);

// Sorts `records` by the clicked column of such a grid and shows the new
// order; filler columns and columns past the last field stay as they are.
void sortByClickedColumn(HeaderSortToggle& toggle, store::Recordset& records, store::RecordsetModel* model,
                         int column);

}  // namespace masters
