// The scrip search and bulk deals windows, and the menu items of this folder.
#include "masters/bulkdealsscreen.h"
#include "masters/scripsearchscreen.h"
#include "masters/mastersscreens.h"
#include "mastersfixture.h"
#include "shell/screenregistry.h"
#include "support/fakeservices.h"

namespace {

class ScripSearchTest : public FormTest<masters::ScripSearchScreen> {
protected:
    void SetUp() override
    {
        const qint64 abc = fixture::addScrip(db(), "ABC Mills", "ABCM", "500100");
        fixture::addScrip(db(), "abcd Tech", "ABCD", "500200");
        fixture::addScrip(db(), "Xyz Power", "XYZ", "500300");
        fixture::addScrip(db(), "O'Neil", "ONEIL", "500400");
        fixture::addGroup(db(), "NIFTY", "Nifty fifty");
        fixture::addGroup(db(), "BANKS", "Banks");
        fixture::link(db(), "NIFTY", abc);
        fixture::link(db(), "BANKS", abc);
        open();
    }
    // The companies shown after a search for `text` by `option`.
    QStringList search(const QString& text, const char* option = "OptScript")
    {
        child<QRadioButton>(option)->click();
        child("TxtSearch")->setText(text);
        child<QPushButton>("CmdOk")->click();
        return shown();
    }
    QStringList shown() { return fixture::texts(child<QTableView>("DataGrid1"), 1); }
};

TEST_F(ScripSearchTest, SearchesEveryScripEachTimeByNameOrCode)
{
    EXPECT_EQ(shown().size(), 4);
    child<QPushButton>("CmdOk")->click();
    EXPECT_EQ(prompt.lastText(), "Enter Script / Nse Code / Bse Code");
    EXPECT_EQ(prompt.messages.last().icon, ui::Icon::Warning);

    // Text, option, whether "Show All" is pressed first, what is shown.
    const QList<std::tuple<const char*, const char*, bool, QStringList>> searches{
        {" abc", "OptScript", false, {"ABC Mills", "abcd Tech"}},
        {"xyz", "OptScript", false, {"Xyz Power"}},
        {"nothing", "OptScript", false, {}},
        {"o'n", "OptScript", false, {}},  // an empty grid takes no search ...
        {"o'n", "OptScript", true, {"O'Neil"}},  // ... until "Show All"
        {"abcm ", "OptNseCode", false, {"ABC Mills"}},
        {"500300 ", "OptBseCode", false, {}},
        {"500300", "OptBseCode", true, {"Xyz Power"}},
    };
    for (const auto& [text, option, showAllFirst, found] : searches) {
        if (showAllFirst)
            child<QPushButton>("CmdShow_All")->click();
        EXPECT_EQ(search(text, option), found) << text;
    }
    // A switch clears the text and keeps what is shown.
    child<QRadioButton>("OptScript")->click();
    EXPECT_TRUE(text("TxtSearch").isEmpty());
    EXPECT_EQ(shown(), QStringList{"Xyz Power"});
    child<QPushButton>("CmdShow_All")->click();
    EXPECT_EQ(shown().size(), 4);
}

TEST_F(ScripSearchTest, GroupsOfTheClickedScripAndHeadingSort)
{
    auto* grid = child<QTableView>("DataGrid1");
    emit grid->clicked(grid->model()->index(0, 1));
    QStringList groups = fixture::texts(child<QTableView>("DataGrid2"), 0);
    groups.sort();
    EXPECT_EQ(groups, QStringList({"Banks", "Nifty fifty"}));
    emit grid->clicked(grid->model()->index(3, 1));  // O'Neil, in no group
    EXPECT_EQ(child<QTableView>("DataGrid2")->model()->rowCount(), 0);

    for (const char* first : {"ABCD", "XYZ", "ABCD"}) {
        grid->horizontalHeader()->sectionClicked(2);
        EXPECT_EQ(fixture::texts(grid, 2).first(), first);
    }
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST(BulkDealsTest, ShowsTheTableAndSaysWhenItIsMissing)
{
    TestStore store;
    ScriptedPrompt prompt;
    store.db().exec(
        "INSERT INTO BulkDeals (DealDate, Symbol, ClientName, Quantity) VALUES "
        "('2026-12-05', 'ZETA', 'Fund A', 100), ('2026-12-04', 'ALPHA', 'Fund B', 50)");
    {
        masters::BulkDealsScreen deals(store.db());
        auto* grid = deals.findChild<QTableView*>("DataGrid1");
        EXPECT_EQ(fixture::texts(grid, 0), QStringList({"05/Dec/2026", "04/Dec/2026"}));
        grid->horizontalHeader()->sectionClicked(0);
        EXPECT_EQ(fixture::texts(grid, 0).first(), "04/Dec/2026");
    }
    EXPECT_TRUE(prompt.messages.isEmpty());
    store.db().exec("DROP TABLE BulkDeals");
    masters::BulkDealsScreen missing(store.db());
    EXPECT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(missing.findChild<QTableView*>("DataGrid1")->model()->rowCount(), 0);
}

TEST(MastersMenuTest, EveryItemOpensItsScreen)
{
    FakeServices services;
    ScriptedPrompt prompt;
    fixture::addScrip(services.database(), "Alpha", "ALPHA", {});
    fixture::addGroup(services.database(), "G", "Group");
    shell::ScreenRegistry registry;
    masters::registerMastersScreens(registry);
    const QList<QPair<QString, QString>> expected{{"Stock", "Stock Master"},
                                                  {"Group", "Group Master"},
                                                  {"LinkGroupWithScript", "Link GROUP<<------------------->>STOCKS"},
                                                  {"MnuScriptSearch", "Script Search"},
                                                  {"MnuBulkDeals", "Bulk Deals"}};
    for (const auto& [item, caption] : expected) {
        ASSERT_TRUE(registry.contains(item)) << item;
        std::unique_ptr<QWidget> screen(registry.factory(item)(services));
        EXPECT_EQ(screen->windowTitle(), caption);
    }
    EXPECT_TRUE(prompt.messages.isEmpty());
}

}  // namespace
