// The result grid as a user reads it: every value whole wherever it comes
// into view, a filler heading that changes nothing, dates typed in the
// common forms, and the chart rows shown by Display Graph until a refresh.
#include "viewerfixture.h"

#include <QItemSelectionModel>

namespace {

constexpr int kRows = 1200;
constexpr int kWideRow = 900;  // far past the rows in view at first

class ResultGridTest : public ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        // Short names and values, but for one row far down the result.
        db().execScript("CREATE TABLE QueryResult (stock TEXT, Qty INTEGER, Rate REAL, TrnDate DATE, \"" + kFiller +
                        "\" TEXT);"
                        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                        QString::number(kRows) +
                        ")"
                        " INSERT INTO QueryResult SELECT 'S' || (i % 10), i % 10, (i % 10) / 2.0, '2026-01-05', ' '"
                        " FROM n;"
                        "UPDATE QueryResult SET stock = 'Mahindra & Mahindra Financial', Qty = 57963146,"
                        " Rate = 1234567.25, TrnDate = '2024-05-08' WHERE rowid = " +
                        QString::number(kWideRow) + ";");
        open();
        grid = child<QTableView>("DataGrid1");
    }
    // Column `column` is at least as wide as the grid finds its shown
    // values need: none of them is cut.
    bool showsWhole(int column) const
    {
        const QAbstractItemView* view = grid;  // QTableView hides the measure of values
        return grid->columnWidth(column) >= view->sizeHintForColumn(column);
    }
    QStringList headings() const
    {
        QStringList names;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            names.append(grid->model()->headerData(c, Qt::Horizontal).toString());
        return names;
    }

    QTableView* grid = nullptr;
};

}  // namespace

TEST_F(ResultGridTest, ValuesShowWholeFillerHeadingsDoNothingDatesReadInCommonFormsAndTheChartRowsShow)
{
    // ---- widths: fitted to the whole result, kept through sort and refresh
    QList<int> fitted;
    for (int c = 0; c < 4; ++c)
        fitted.append(grid->columnWidth(c));
    clickHeader(1);
    clickHeader(1);  // the widest row first
    ASSERT_EQ(shownColumn(1).first(), "57963146");
    for (int c = 0; c < 4; ++c) {
        EXPECT_TRUE(showsWhole(c)) << c;
        EXPECT_EQ(grid->columnWidth(c), fitted[c]) << c;
    }
    // A column sized by hand keeps the user's width through a refresh; the
    // others are fitted as before.
    grid->horizontalHeader()->resizeSection(0, 31);
    press("cmdrefresh");
    EXPECT_EQ(grid->columnWidth(0), 31);
    EXPECT_EQ(grid->columnWidth(1), fitted[1]);

    // ---- a click on the filler heading changes nothing
    clickHeader(2);
    const QModelIndex chosen = grid->model()->index(3, 0);
    grid->selectionModel()->setCurrentIndex(chosen, QItemSelectionModel::ClearAndSelect);
    const QStringList rates = shownColumn(2);
    clickHeader(4);
    QHeaderView* header = grid->horizontalHeader();
    EXPECT_TRUE(header->isSortIndicatorShown());
    EXPECT_EQ(header->sortIndicatorSection(), 2);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(grid->selectionModel()->selectedIndexes(), QModelIndexList{chosen});
    EXPECT_EQ(grid->currentIndex(), chosen);
    EXPECT_EQ(shownColumn(2), rates);
    EXPECT_EQ(window->headerColumnIndex(), 4);  // still recorded for Print

    // ---- dates in the application's, day-first numeric and ISO forms
    for (const char* day : {"08/May/2024", "08/05/2024", "8-5-24", "8.5.2024", "2024-05-08"}) {
        setFilterRow(0, "TrnDate", "=", day);
        press("cmdFilterShow0");
        EXPECT_EQ(shownColumn(0), QStringList{"Mahindra & Mahindra Financial"}) << day;
    }
    EXPECT_TRUE(prompt.messages.isEmpty());
    setFilterRow(0, "TrnDate", "=", "31/02/2024");
    press("cmdFilterShow0");
    EXPECT_EQ(prompt.lastText(), "INVALID DATE");

    // ---- Display Graph shows the chart rows in the grid
    press("cmdFilterShow1");
    choose("Comboxaxis", "stock");
    choose("Comboyaxis", "Qty");
    press("cmdshowgraph");
    EXPECT_EQ(headings(), (QStringList{"stock", "Qty"}));
    EXPECT_EQ(grid->model()->rowCount(), kRows);
    EXPECT_EQ(items(child<QComboBox>("cboFilterCols")), (QStringList{"stock", "Qty"}));
    viewer::ChartWindow* chart = viewer::openChartWindow();
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->data().series.first().name, "Qty");
    // Another Y axis re-binds the open chart window to the new rows.
    choose("Comboyaxis", "Rate");
    press("cmdshowgraph");
    EXPECT_EQ(viewer::openChartWindow(), chart);
    EXPECT_EQ(chart->data().series.first().name, "Rate");
    EXPECT_EQ(headings(), (QStringList{"stock", "Rate"}));
    // Print still prints the result the chart was drawn from.
    EXPECT_EQ(window->printDocument().rows.size(), kRows);
    // Refresh puts the result back.
    press("cmdrefresh");
    EXPECT_EQ(headings(), (QStringList{"stock", "Qty", "Rate", "TrnDate", kFiller}));
    EXPECT_EQ(grid->model()->rowCount(), kRows);
    EXPECT_EQ(items(child<QComboBox>("cboFilterCols")).size(), 5);
    EXPECT_EQ(grid->columnWidth(1), fitted[1]);
    EXPECT_EQ(child<QComboBox>("Comboxaxis")->currentText(), "stock");
    EXPECT_TRUE(prompt.messages.size() == 1) << prompt.lastText().toStdString();
}

namespace {

const QString kNarrowName = QString(24, QChar('i'));
const QString kWideName = "Aagmcacu Industries Ltd";  // one character fewer, far wider
const QString kLongName = "Mahindra & Mahindra Financial Services Limited (Old)";
const QString kEndless = QString("Delivery far above the average ").repeated(12);

// A few rows, all in view, whose widest values are not the longest: the
// grid measures the values in view itself, so any value cut shows.
class ResultGridFitTest : public ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        // Headings shorter than every value, so that the values set the widths.
        makeResult("N TEXT, C TEXT, R REAL, B REAL, E TEXT",
                   {{kNarrowName, "Bharat", -12.34, 1.0, "x"},
                    {kWideName, kLongName, 123.45, 1000000000000005.0, kEndless},
                    {"Zen", "Zen", 1.5, 2.0, "y"}});
        open();
        grid = child<QTableView>("DataGrid1");
    }
    bool showsWhole(int column) const
    {
        const QAbstractItemView* view = grid;  // QTableView hides the measure of values
        return grid->columnWidth(column) >= view->sizeHintForColumn(column);
    }

    QTableView* grid = nullptr;
};

}  // namespace

TEST_F(ResultGridFitTest, EachColumnTakesItsWidestValueAsDrawnAndStopsOnlyAtTheVisibleArea)
{
    ASSERT_TRUE(grid->isVisible());
    for (int column = 0; column < 4; ++column)
        EXPECT_TRUE(showsWhole(column)) << column << ": " << grid->columnWidth(column);
    // The grid shows each number as the fit wrote it.
    EXPECT_EQ(grid->model()->index(1, 2).data().toString(), "123.45");
    EXPECT_EQ(grid->model()->index(1, 3).data().toString(), "1e+15");

    // A column that alone would be wider than the visible area stops there,
    // and follows it as the window grows and shrinks.
    EXPECT_EQ(grid->columnWidth(4), grid->viewport()->width());
    EXPECT_FALSE(showsWhole(4));
    const int fitted = grid->columnWidth(1);
    for (const int widthChange : {300, -500}) {
        window->resize(window->width() + widthChange, window->height());
        QCoreApplication::processEvents();
        EXPECT_EQ(grid->columnWidth(4), grid->viewport()->width()) << widthChange;
        EXPECT_EQ(grid->columnWidth(1), fitted) << widthChange;
    }
}
