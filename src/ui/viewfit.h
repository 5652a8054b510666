#pragma once

#include <QStringList>

class QListView;
class QTableView;
class QWidget;

// Sizing lists and grids to what they show, so that their texts are whole.
namespace ui {

// The widest a column sized to its content grows, in characters: a longer
// text (a company name) is cut there rather than pushing the other columns
// out of sight.
inline constexpr int kWidestColumnCharacters = 40;

// Makes `list` at least wide enough to show each of `texts` on one line.
void fitListWidth(QListView* list, const QStringList& texts);
// Makes `list` at least wide enough to show the items it holds, each up to
// kWidestColumnCharacters.
void fitListToItems(QListView* list);

// Sizes every shown column of `grid` to its heading and the values of its
// rows, up to kWidestColumnCharacters (a heading is never cut).
void fitColumns(QTableView* grid);

// The width `grid` needs to show its shown columns at their present widths
// without scrolling sideways: row headings, scroll bar and frame included.
int columnsWidth(const QTableView* grid);

// Widens `window`, which holds `grid` in its layout, as far as the grid needs
// to show its columns whole; a window already wide enough keeps its width.
void widenForColumns(QWidget* window, const QTableView* grid);

}  // namespace ui
