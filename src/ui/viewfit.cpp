#include "ui/viewfit.h"

#include <QHeaderView>
#include <QListView>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <algorithm>

namespace ui {

namespace {

int widestCharacters(const QWidget* view)
{
    return view->fontMetrics().horizontalAdvance(QLatin1Char('0')) * kWidestColumnCharacters;
}

// `itemWidth` wide items, a vertical scroll bar and the frame.
void setListWidth(QListView* list, int itemWidth)
{
    const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    list->setMinimumWidth(itemWidth + scrollBar + 2 * list->frameWidth() + 2 * list->spacing());
}

}  // namespace

void fitListWidth(QListView* list, const QStringList& texts)
{
    const QFontMetrics metrics = list->fontMetrics();
    int widest = 0;
    for (const QString& text : texts)
        widest = std::max(widest, metrics.horizontalAdvance(text));
    // An item's text sits inside the focus frame's margins.
    const int itemMargins = 2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
    setListWidth(list, widest + itemMargins);
}

void fitListToItems(QListView* list)
{
    setListWidth(list, std::clamp(list->sizeHintForColumn(0), 0, widestCharacters(list)));
}

void fitColumns(QTableView* grid)
{
    QHeaderView* header = grid->horizontalHeader();
    const int widest = widestCharacters(grid);
    const QAbstractItemView* view = grid;  // QTableView hides the measure of values
    for (int column = 0; column < header->count(); ++column) {
        if (grid->isColumnHidden(column))
            continue;
        const int heading = header->sectionSizeHint(column);
        const int values = std::min(view->sizeHintForColumn(column), widest);
        header->resizeSection(column, std::max(heading, values));
    }
}

int columnsWidth(const QTableView* grid)
{
    const QHeaderView* header = grid->horizontalHeader();
    int width = 0;
    for (int column = 0; column < header->count(); ++column)
        if (!grid->isColumnHidden(column))
            width += header->sectionSize(column);
    if (!grid->verticalHeader()->isHidden())
        width += grid->verticalHeader()->sizeHint().width();
    return width + grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid) + 2 * grid->frameWidth();
}

void widenForColumns(QWidget* window, const QTableView* grid)
{
    // What the window's layout puts beside the grid: margins, neighbours.
    const int around = std::max(0, window->sizeHint().width() - grid->sizeHint().width());
    window->resize(std::max(window->width(), columnsWidth(grid) + around), window->height());
}

}  // namespace ui
