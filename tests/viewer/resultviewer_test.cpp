// The result viewer: rows read once, header sorts, refresh by the sort rows,
// the filter panel and a second hand-over.
#include "viewerfixture.h"

#include <QFrame>

namespace {

class ResultViewerTest : public ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        makeMarketResult();
        open();
    }
};

const QStringList kColumnLists = {"Combosort1", "Combosort2", "Combosort3", "Combosort4", "Comboxaxis",
                                  "Comboyaxis", "Combo1series", "Combo2series", "Combo3series", "Combo4series",
                                  "cboFilterCols", "cboFilterCols1", "cboFilterCols2", "cboFilterCols3"};

}  // namespace

TEST_F(ResultViewerTest, ShowsRowsReadOnceWithEveryColumnListAndPanelsToggle)
{
    EXPECT_EQ(window->windowTitle(), "Query Result ");
    EXPECT_EQ(window->queryName(), "Top Delivery");
    // The rows stay after the next run drops the result table.
    db().exec("DROP TABLE QueryResult");
    auto* grid = child<QTableView>("DataGrid1");
    ASSERT_EQ(grid->model()->rowCount(), 5);
    EXPECT_EQ(grid->model()->index(0, 3).data().toString(), "05/Jan/2026");
    EXPECT_EQ(grid->model()->headerData(4, Qt::Horizontal).toString(), kFiller);
    for (const QString& list : kColumnLists) {
        EXPECT_EQ(items(child<QComboBox>(list)), (QStringList{"stock", "NSETrdQty", "NSEPerc", "TransDate", kFiller}))
            << list.toStdString();
        EXPECT_TRUE(child<QComboBox>(list)->currentText().isEmpty()) << list.toStdString();
    }
    EXPECT_EQ(items(child<QComboBox>("ComboSortorder3")), (QStringList{"Asc", "Desc"}));

    const char* const toggles[][2] = {{"cmdsort", "Frame1"}, {"Command2", "Frame2"}, {"CmdFilter", "Frame3"}};
    for (const auto& [button, frame] : toggles) {
        auto* panel = child<QFrame>(frame);
        EXPECT_TRUE(panel->isHidden());
        press(button);
        EXPECT_FALSE(panel->isHidden());
        press(button);
        EXPECT_TRUE(panel->isHidden());
    }
    EXPECT_EQ(child<QPushButton>("cmdrefresh")->text(), "&Refresh Query");
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(ResultViewerTest, HeaderClicksSortAscendingDescendingAscending)
{
    clickHeader(1);
    EXPECT_EQ(shownColumn(1), (QStringList{"", "200", "1000", "1500", "5000"}));
    EXPECT_EQ(window->shownResult().sortText, "[NSETrdQty]");
    clickHeader(1);
    EXPECT_EQ(shownColumn(1), (QStringList{"5000", "1500", "1000", "200", ""}));
    EXPECT_EQ(window->headerDirection(), "Desc");
    clickHeader(1);
    EXPECT_EQ(shownColumn(1).at(1), "200");
    EXPECT_EQ(window->headerDirection(), "Asc");

    // Text sorts without regard to case; a filler column does not sort.
    clickHeader(0);
    const QStringList byName = {"abacus", "ABC Ltd", "Bharat", "O'Neil", "Zen"};
    EXPECT_EQ(shownColumn(0), byName);
    clickHeader(4);
    EXPECT_EQ(shownColumn(0), byName);
    EXPECT_EQ(window->headerColumnIndex(), 4);
}

TEST_F(ResultViewerTest, RefreshRereadsTableInSortRowOrderOrKeepsTheRowsWhenItFails)
{
    clickHeader(0);
    setFilterRow(0, "stock", "Like", "Z");
    press("cmdFilterShow0");
    ASSERT_EQ(window->shownResult().rows.size(), 1);

    child<QComboBox>("Combosort1")->setEditText("price");
    press("cmdrefresh");
    EXPECT_EQ(prompt.texts(), QStringList{"\"price\" is not a column of this result."});
    child<QComboBox>("Combosort1")->setEditText(QString());

    db().exec("INSERT INTO QueryResult (stock, NSEPerc) VALUES ('New', 99)");
    child<QComboBox>("Combosort2")->setEditText("NSEPerc");
    child<QComboBox>("ComboSortorder2")->setCurrentIndex(1);
    press("cmdrefresh");
    EXPECT_EQ(window->sortClause(), "[NSEPerc] Desc");
    EXPECT_EQ(window->select(), "Select * from QueryResult order by [NSEPerc] Desc");
    // The filter and the header sort are gone; the new row is read.
    EXPECT_TRUE(window->shownResult().filterText.isEmpty());
    EXPECT_TRUE(window->shownResult().sortText.isEmpty());
    EXPECT_EQ(shownColumn(0), (QStringList{"New", "abacus", "Bharat", "ABC Ltd", "O'Neil", "Zen"}));
    // The sort rows keep their choice for the next refresh.
    EXPECT_EQ(child<QComboBox>("Combosort2")->currentText(), "NSEPerc");
    // The header click memory survives: the next click on stock sorts descending.
    clickHeader(0);
    EXPECT_EQ(window->headerDirection(), "Desc");

    db().exec("DROP TABLE QueryResult");
    press("cmdrefresh");
    ASSERT_EQ(prompt.messages.size(), 2);
    EXPECT_TRUE(prompt.lastText().startsWith("The result could not be read again"));
    EXPECT_EQ(window->shownResult().rows.size(), 6);
    EXPECT_EQ(window->select(), "Select * from QueryResult order by [NSEPerc] Desc");
}

TEST_F(ResultViewerTest, SecondHandOverReloadsEverything)
{
    clickHeader(0);
    setFilterRow(0, "stock", "Like", "Z");
    press("cmdFilterShow0");

    // The next run makes another result with other columns.
    db().exec("DROP TABLE QueryResult");
    makeResult("company TEXT, Rate REAL", {{"Delta", 1.5}, {"Alpha", 2.5}});
    viewer::ResultViewerWindow* first = window;
    open("Top Delivery", "select * from QueryResult order by Rate desc");
    EXPECT_EQ(window, first);
    EXPECT_EQ(services.children.size(), 1);
    EXPECT_EQ(shownColumn(0), (QStringList{"Alpha", "Delta"}));
    const viewer::ShownResult shown = window->shownResult();
    EXPECT_TRUE(shown.filterText.isEmpty());
    EXPECT_TRUE(shown.sortText.isEmpty());
    EXPECT_EQ(shown.select, "select * from QueryResult order by Rate desc");
    for (const QString& list : kColumnLists)
        EXPECT_EQ(items(child<QComboBox>(list)), (QStringList{"company", "Rate"})) << list.toStdString();
    EXPECT_EQ(child<QComboBox>("cboOper")->count(), 0);
    EXPECT_TRUE(child<QLineEdit>("txtFilterValue")->text().isEmpty());
    // The first header click on the new result sorts ascending.
    clickHeader(0);
    EXPECT_EQ(window->headerDirection(), "Asc");

    // A select the store refuses is reported and leaves no old rows behind.
    open("Top Delivery", "select * from NoSuchResult");
    EXPECT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(window->shownResult().rows.size(), 0);
    EXPECT_EQ(child<QComboBox>("Combosort1")->count(), 0);
}

TEST_F(ResultViewerTest, FilterRowsShowShowInResultsAndShowAll)
{
    press("cmdFilterShow0");
    EXPECT_EQ(prompt.lastText(), "Please Select Filter ");
    EXPECT_EQ(prompt.messages.last().icon, ui::Icon::Warning);
    auto* columns = child<QComboBox>("cboFilterCols");
    auto* ops = child<QComboBox>("cboOper");
    auto* joiner = child<QComboBox>("CmbOpt");
    columns->setCurrentIndex(1);  // NSETrdQty, an integer column
    EXPECT_EQ(items(ops), (QStringList{"=", ">", "<", ">=", "<="}));
    EXPECT_EQ(items(joiner), (QStringList{"AND", "OR"}));
    ops->setCurrentIndex(3);
    joiner->setCurrentIndex(1);
    press("cmdFilterShow2");
    EXPECT_EQ(prompt.lastText(), "Please Enter Value ");
    // Picking a column again resets the operator and the joiner.
    columns->setCurrentIndex(0);
    emit columns->activated(0);
    EXPECT_EQ(items(ops), (QStringList{"=", "Like"}));
    EXPECT_EQ(ops->currentText(), "=");
    EXPECT_EQ(joiner->currentText(), "AND");
    setFilterRow(0, "stock", "=", "zen");
    setFilterRow(1, "TransDate", "=", "not a day");
    press("cmdFilterShow0");
    EXPECT_EQ(prompt.lastText(), "INVALID DATE");
    EXPECT_EQ(prompt.messages.last().icon, ui::Icon::None);
    EXPECT_EQ(window->shownResult().rows.size(), 5);
    EXPECT_EQ(prompt.messages.size(), 3);

    prompt.messages.clear();
    clickHeader(0);
    setFilterRow(0, "NSETrdQty", ">=", "1000", "OR");
    setFilterRow(1, "TransDate", "=", "06/Jan/2026");
    press("cmdFilterShow0");
    EXPECT_EQ(window->shownResult().filterText, "[NSETrdQty] >= 1000 OR ([TransDate] = #06/Jan/2026#)");
    EXPECT_EQ(shownColumn(0), (QStringList{"abacus", "ABC Ltd", "Bharat", "Zen"}));
    // Narrowing by the first row, now "stock Like 'b'", keeps only Bharat.
    setFilterRow(0, "stock", "Like", "b");
    press("cmdFilterShow2");
    EXPECT_EQ(shownColumn(0), QStringList{"Bharat"});
    EXPECT_EQ(window->shownResult().filterText,
              "([NSETrdQty] >= 1000 OR ([TransDate] = #06/Jan/2026#)) And [stock] Like 'b%'");
    // "Show All" needs no complete first row.
    child<QLineEdit>("txtFilterValue")->clear();
    press("cmdFilterShow1");
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_EQ(window->shownResult().rows.size(), 5);
    EXPECT_TRUE(window->shownResult().filterText.isEmpty());
    EXPECT_EQ(shownColumn(0).first(), "Bharat");
}
