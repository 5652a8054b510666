#include "viewer/resultgridheader.h"

#include "viewer/resultsort.h"

#include <QItemSelectionModel>
#include <QMouseEvent>

namespace viewer {

ResultGridHeader::ResultGridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    // As the grid's own heading: clickable, the selected columns marked.
    setSectionsClickable(true);
    setHighlightSections(true);
}

bool ResultGridHeader::onFiller(const QPoint& at) const
{
    const int section = logicalIndexAt(at);
    return section >= 0 && model() && isFillerColumn(model()->headerData(section, orientation()).toString());
}

void ResultGridHeader::mousePressEvent(QMouseEvent* event)
{
    // A press on a heading selects its column: the selection is put back.
    QItemSelectionModel* selection = selectionModel();
    if (!selection || !onFiller(event->position().toPoint())) {
        QHeaderView::mousePressEvent(event);
        return;
    }
    const QItemSelection selected = selection->selection();
    const QModelIndex current = selection->currentIndex();
    QHeaderView::mousePressEvent(event);
    selection->select(selected, QItemSelectionModel::ClearAndSelect);
    selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
}

void ResultGridHeader::mouseReleaseEvent(QMouseEvent* event)
{
    // A click on a heading moves the sort arrow to it: the arrow is put back.
    if (!onFiller(event->position().toPoint())) {
        QHeaderView::mouseReleaseEvent(event);
        return;
    }
    const int section = sortIndicatorSection();
    const Qt::SortOrder order = sortIndicatorOrder();
    const bool shown = isSortIndicatorShown();
    QHeaderView::mouseReleaseEvent(event);
    setSortIndicator(section, order);
    setSortIndicatorShown(shown);
}

}  // namespace viewer
