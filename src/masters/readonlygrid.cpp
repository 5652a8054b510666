#include "masters/readonlygrid.h"

#include "store/recordsetmodel.h"

#include <QHeaderView>
#include <QTableView>

namespace masters {

QTableView* makeReadOnlyGrid(QWidget* parent, const QString& name)
{
    auto* grid = new QTableView(parent);
    grid->setObjectName(name);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->horizontalHeader()->setSectionsClickable(true);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setWordWrap(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
    return grid;
}

void sortByClickedColumn(HeaderSortToggle& toggle, store::Recordset& records, store::RecordsetModel* model,
                         int column)
{
    if (column < 0 || column >= records.fieldCount())
        return;
    if (const auto key = toggle.click(records.fields().at(column).name)) {
        records.setSort({*key});
        model->reset();
    }
}

}  // namespace masters
