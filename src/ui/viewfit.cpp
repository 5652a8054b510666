#include "ui/viewfit.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QListView>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <algorithm>
#include <cmath>

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
    // The visible area is known once the grid is shown, and changes with it.
    grid->viewport()->installEventFilter(this);
}

bool ColumnWidths::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid->viewport() && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        applyWidths();
    return QObject::eventFilter(watched, event);
}

void ColumnWidths::fit(const QList<ColumnContent>& contents)
{
    QHeaderView* header = m_grid->horizontalHeader();
    m_fitted.clear();
    for (int column = 0; column < header->count(); ++column)
        m_fitted.append(std::max(header->sectionSizeHint(column), contentWidth(contents.value(column))));
    applyWidths();
}

void ColumnWidths::applyWidths()
{
    QHeaderView* header = m_grid->horizontalHeader();
    const int visible = m_grid->viewport()->width();
    const bool shown = m_grid->isVisible();
    m_fitting = true;
    for (int column = 0; column < header->count() && column < m_fitted.size(); ++column) {
        if (m_grid->isColumnHidden(column))
            continue;
        const QString heading = m_grid->model()->headerData(column, Qt::Horizontal).toString();
        const auto hand = m_handWidths.constFind(heading);
        const int width = hand != m_handWidths.constEnd() ? *hand
                          : shown                        ? std::min(m_fitted[column], visible)
                                                         : m_fitted[column];
        if (header->sectionSize(column) != width)
            header->resizeSection(column, width);
    }
    m_fitting = false;
}

std::function<double(char32_t)> ColumnWidths::characterWidths(bool figures) const
{
    const QFontMetricsF metrics(m_grid->font());
    double digit = 0;
    if (figures) {
        for (char c = '0'; c <= '9'; ++c)
            digit = std::max(digit, metrics.horizontalAdvance(QLatin1Char(c)));
    }
    return [metrics, digit](char32_t c) {
        return std::max(digit, metrics.horizontalAdvance(QString::fromUcs4(&c, 1)));
    };
}

int ColumnWidths::contentWidth(const ColumnContent& content) const
{
    // A cell as the grid's delegate lays it out: the text within the item
    // margins of the style, and the grid line.
    QStyleOptionViewItem cell;
    cell.initFrom(m_grid);
    cell.font = m_grid->font();
    cell.features = QStyleOptionViewItem::HasDisplay;
    const QFontMetricsF metrics(cell.font);
    const std::function<double(char32_t)> figureWidth = characterWidths(true);
    int widest = 0;
    for (const QString& text : content.texts) {
        cell.text = text;
        int width = m_grid->style()->sizeFromContents(QStyle::CT_ItemViewItem, &cell, QSize(), m_grid).width();
        if (content.figures) {
            double room = 0;
            for (const char32_t c : text.toUcs4())
                room += figureWidth(c);
            const int margins = width - int(std::ceil(metrics.horizontalAdvance(text)));
            width = std::max(width, int(std::ceil(room)) + margins);
        }
        widest = std::max(widest, width);
    }
    if (m_grid->showGrid())
        widest += 1;
    return widest;
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
