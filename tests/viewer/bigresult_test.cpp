// The result viewer on a result of a million rows: the grid pages through
// rows kept in the store, and sorting, filtering, exporting, printing and
// group saving work on every row.
#include "viewerfixture.h"

#include <QDir>
#include <QScrollBar>

namespace {

constexpr int kRows = 1000000;

class BigResultTest : public ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        // Row i: stock "S<i mod 1000>", a day, quantity i, percentage i mod 100.
        db().exec("CREATE TABLE QueryResult (stock TEXT COLLATE NOCASE, TransDate DATE, qty REAL, perc REAL)");
        db().exec(QStringLiteral("INSERT INTO QueryResult WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                 "WHERE i < %1) SELECT 'S' || (i % 1000), date('2020-01-01', '+' || (i % 2000) || "
                                 "' days'), i, i % 100 FROM n")
                      .arg(kRows));
        open();
        grid = child<QTableView>("DataGrid1");
    }
    QString cell(int row, int column) const { return grid->model()->index(row, column).data().toString(); }
    QString inDataFolder(const QString& name) const { return QDir(services.dataFolder()).filePath(name); }

    QTableView* grid = nullptr;
};

}  // namespace

TEST_F(BigResultTest, EveryRowIsShownSortedFilteredExportedPrintedAndGrouped)
{
    // The rows stay when the next query drops the result table.
    db().exec("DROP TABLE QueryResult");
    ASSERT_EQ(grid->model()->rowCount(), kRows);
    grid->scrollToBottom();
    grid->repaint();
    EXPECT_EQ(grid->verticalScrollBar()->value(), grid->verticalScrollBar()->maximum());
    EXPECT_EQ(cell(kRows - 1, 0), "S0");
    EXPECT_EQ(cell(kRows - 1, 2), "1000000");
    EXPECT_EQ(cell(0, 1), "02/Jan/2020");

    // Header clicks order every row: the last row comes first, then the first.
    clickHeader(2);
    clickHeader(2);
    EXPECT_EQ(window->headerDirection(), "Desc");
    EXPECT_EQ(cell(0, 2), "1000000");
    EXPECT_EQ(cell(kRows - 1, 2), "1");

    // perc >= 90 keeps a tenth of the rows, still in descending order.
    setFilterRow(0, "perc", ">=", "90");
    press("cmdFilterShow0");
    ASSERT_EQ(grid->model()->rowCount(), kRows / 10);
    EXPECT_EQ(cell(0, 2), "999999");
    EXPECT_EQ(cell(kRows / 10 - 1, 2), "90");
    // Narrowed to the stocks "S99...": S99 and S990 to S999, each 1000 rows.
    setFilterRow(0, "stock", "Like", "s99");
    press("cmdFilterShow2");
    ASSERT_EQ(grid->model()->rowCount(), 11000);

    // The export writes the rows shown from the chosen row on.
    grid->setCurrentIndex(grid->model()->index(1000, 0));
    prompt.files.enqueue(inDataFolder("big"));
    press("Command1");
    const viewer::WorkbookSheet sheet = viewer::Workbook::read(inDataFolder("big.xlsx")).sheets().first();
    EXPECT_EQ(sheet.lastRow(), 1 + 10000);
    EXPECT_EQ(sheet.value(2, 3).toDouble(), grid->model()->index(1000, 2).data(Qt::EditRole).toDouble());

    // Print binds every shown row; the group takes each stock once.
    EXPECT_EQ(window->printDocument().rows.size(), 11000);
    EXPECT_EQ(window->shownResult().rows.size(), 11000);
    prompt.answers.enqueue(ui::Answer::No);
    press("CmdSave_Group");
    EXPECT_EQ(shell::sharedState().newGroupScrips.size(), 11);

    // "Show All": every row again, in the order read.
    press("cmdFilterShow1");
    ASSERT_EQ(grid->model()->rowCount(), kRows);
    EXPECT_EQ(cell(0, 2), "1");

    // A result beyond a sheet's limit is refused at once, with the reason.
    prompt.messages.clear();
    grid->setCurrentIndex(grid->model()->index(0, 0));
    db().exec("CREATE TABLE QueryResult (stock TEXT COLLATE NOCASE, TransDate DATE, qty REAL, perc REAL)");
    db().exec("INSERT INTO QueryResult SELECT * FROM ViewerRows");
    db().exec("INSERT INTO QueryResult SELECT * FROM ViewerRows LIMIT 48576");
    open();
    ASSERT_EQ(grid->model()->rowCount(), kRows + 48576);
    prompt.files.enqueue(inDataFolder("too big"));
    press("Command1");
    EXPECT_EQ(prompt.lastText(), "A sheet holds at most 1048575 records; 1048576 are to be exported.");
    EXPECT_FALSE(QFile::exists(inDataFolder("too big.xlsx")));
}
