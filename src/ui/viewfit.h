#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <functional>

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

// What one column of a grid must have room for.
struct ColumnContent {
    // Its widest values as shown, found over all its rows, not only those
    // in view; each is measured and the widest sets the width.
    QStringList texts;
    // Numbers and days: their characters take at least the room of the
    // widest digit (see ColumnWidths::characterWidths).
    bool figures = false;
};

// Sizes the columns of a grid to what they hold, once for each set of rows,
// so that a sort, a filter or a scroll brings no value into view that its
// column cuts. Only a column that alone would be wider than the grid's
// visible area stops there, and grows again as far as its values need when
// the grid grows. A column the user sizes by hand keeps the user's width
// over later fits of rows with a column of that heading.
class ColumnWidths : public QObject {
    Q_OBJECT
public:
    explicit ColumnWidths(QTableView* grid);

    // Sizes each shown column to its heading and to `contents` (one per
    // column, in column order); a column sized by hand gets the user's width.
    void fit(const QList<ColumnContent>& contents);
    // Rows of another kind follow: no column keeps a width given by hand.
    void forgetHandWidths() { m_handWidths.clear(); }

    // How wide the grid draws each character in a column of text, or of
    // figures: there each character takes at least the room of the widest
    // digit, so that a number is as wide as its length in that digit (a
    // sign or a point is never wider) whichever digits it has.
    std::function<double(char32_t)> characterWidths(bool figures) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int contentWidth(const ColumnContent& content) const;
    // Gives each column its hand width or its fitted width, the latter no
    // wider than the visible area once the grid is shown.
    void applyWidths();

    QTableView* m_grid;
    QHash<QString, int> m_handWidths;  // by heading
    QList<int> m_fitted;               // by column, before the visible area limits them
    bool m_fitting = false;
};

// The width `grid` needs to show its shown columns at their present widths
// without scrolling sideways: row headings, scroll bar and frame included.
int columnsWidth(const QTableView* grid);

// Widens `window`, which holds `grid` in its layout, as far as the grid needs
// to show its columns whole; a window already wide enough keeps its width.
void widenForColumns(QWidget* window, const QTableView* grid);

}  // namespace ui
