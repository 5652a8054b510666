#include "ui/viewfit.h"

#include <QHeaderView>
#include <QListView>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>
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

ColumnWidths::ColumnWidths(QTableView* grid) : QObject(grid), m_grid(grid)
{
    connect(grid->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (m_fitting)
            return;
        const QString heading = m_grid->model()->headerData(column, Qt::Horizontal).toString();
        m_handWidths.insert(heading, width);
    });
}

void ColumnWidths::fit(const QList<ColumnContent>& contents)
{
    QHeaderView* header = m_grid->horizontalHeader();
    m_fitting = true;
    for (int column = 0; column < header->count(); ++column) {
        if (m_grid->isColumnHidden(column))
            continue;
        const QString heading = m_grid->model()->headerData(column, Qt::Horizontal).toString();
        const auto hand = m_handWidths.constFind(heading);
        if (hand != m_handWidths.constEnd())
            header->resizeSection(column, *hand);
        else
            header->resizeSection(column, std::max(header->sectionSizeHint(column), contentWidth(contents.value(column))));
    }
    m_fitting = false;
}

int ColumnWidths::contentWidth(const ColumnContent& content) const
{
    // A cell as the grid's delegate lays it out: the text within the item
    // margins of the style, and the grid line.
    QStyleOptionViewItem cell;
    cell.initFrom(m_grid);
    cell.font = m_grid->font();
    cell.features = QStyleOptionViewItem::HasDisplay;
    int widest = 0;
    for (const QString& text : content.texts) {
        cell.text = text;
        widest = std::max(widest, m_grid->style()->sizeFromContents(QStyle::CT_ItemViewItem, &cell, QSize(), m_grid).width());
    }
    if (m_grid->showGrid())
        widest += 1;
    return content.figures ? widest : std::min(widest, widestCharacters(m_grid));
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
