// The scrip search and bulk deals windows, and the menu items of this folder.
#include "masters/groupmasterform.h"
#include "masters/groupmembershipscreen.h"
#include "masters/scripmasterform.h"
#include "masters/bulkdealsscreen.h"
#include "masters/scripsearchscreen.h"
#include "masters/mastersscreens.h"
#include "mastersfixture.h"
#include "shell/screenregistry.h"
#include "support/fakeservices.h"
#include "support/scriptedprompt.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using masters::ScripSearchScreen;

namespace {

class ScripSearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        abc = fixture::addScrip(db(), QStringLiteral("ABC Mills"), QStringLiteral("ABCM"), QStringLiteral("500100"));
        fixture::addScrip(db(), QStringLiteral("abcd Tech"), QStringLiteral("ABCD"), QStringLiteral("500200"));
        fixture::addScrip(db(), QStringLiteral("Xyz Power"), QStringLiteral("XYZ"), QStringLiteral("500300"));
        oneil = fixture::addScrip(db(), QStringLiteral("O'Neil"), QStringLiteral("ONEIL"), QStringLiteral("500400"));
        fixture::addGroup(db(), QStringLiteral("NIFTY"), QStringLiteral("Nifty fifty"));
        fixture::addGroup(db(), QStringLiteral("BANKS"), QStringLiteral("Banks"));
        fixture::link(db(), QStringLiteral("NIFTY"), abc);
        fixture::link(db(), QStringLiteral("BANKS"), abc);
        form = std::make_unique<ScripSearchScreen>(db());
        form->show();
    }
    template <typename T>
    T* child(const char* name)
    {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
    void search(const QString& text, const char* option = "OptScript")
    {
        child<QRadioButton>(option)->click();
        child<QLineEdit>("TxtSearch")->setText(text);
        child<QPushButton>("CmdOk")->click();
    }
    int shown() { return child<QTableView>("DataGrid1")->model()->rowCount(); }
    QString shownText(int row, int column)
    {
        QAbstractItemModel* model = child<QTableView>("DataGrid1")->model();
        return model->data(model->index(row, column)).toString();
    }
    QStringList groupsShown()
    {
        QAbstractItemModel* model = child<QTableView>("DataGrid2")->model();
        QStringList names;
        for (int row = 0; row < model->rowCount(); ++row)
            names.append(model->data(model->index(row, 0)).toString());
        return names;
    }
    void clickRow(int row)
    {
        auto* grid = child<QTableView>("DataGrid1");
        emit grid->clicked(grid->model()->index(row, 1));
    }
    store::Database& db() { return store.db(); }

    TestStore store;
    ScriptedPrompt prompt;
    std::unique_ptr<ScripSearchScreen> form;
    qint64 abc = 0, oneil = 0;
};

TEST_F(ScripSearchTest, SearchesEveryScripEachTime)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Script Search"));
    EXPECT_EQ(shown(), 4);
    child<QPushButton>("CmdOk")->click();
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Enter Script / Nse Code / Bse Code"));
    EXPECT_EQ(prompt.messages.last().icon, ui::Icon::Warning);

    search(QStringLiteral(" abc"));
    EXPECT_EQ(shown(), 2);
    search(QStringLiteral("xyz"));
    ASSERT_EQ(shown(), 1);
    EXPECT_EQ(shownText(0, 1), QStringLiteral("Xyz Power"));

    // Nothing found does not block the next search.
    search(QStringLiteral("nothing"));
    EXPECT_EQ(shown(), 0);
    search(QStringLiteral("o'n"));
    ASSERT_EQ(shown(), 1);
    EXPECT_EQ(shownText(0, 1), QStringLiteral("O'Neil"));

    child<QPushButton>("CmdShow_All")->click();
    EXPECT_EQ(shown(), 4);
}

TEST_F(ScripSearchTest, CodesAndTheOptionSwitch)
{
    search(QStringLiteral("abcm "), "OptNseCode");
    EXPECT_EQ(shown(), 1);
    search(QStringLiteral("500300 "), "OptBseCode");
    EXPECT_EQ(shown(), 0);
    search(QStringLiteral("500300"), "OptBseCode");
    ASSERT_EQ(shown(), 1);
    EXPECT_EQ(shownText(0, 1), QStringLiteral("Xyz Power"));
    // A switch clears the text and keeps what is shown.
    child<QRadioButton>("OptScript")->click();
    EXPECT_TRUE(child<QLineEdit>("TxtSearch")->text().isEmpty());
    EXPECT_EQ(shown(), 1);
}

TEST_F(ScripSearchTest, GroupsOfTheClickedScrip)
{
    clickRow(0);
    QStringList groups = groupsShown();
    groups.sort();
    EXPECT_EQ(groups, (QStringList{QStringLiteral("Banks"), QStringLiteral("Nifty fifty")}));
    clickRow(3);  // O'Neil, in no group
    EXPECT_TRUE(groupsShown().isEmpty());
}

TEST_F(ScripSearchTest, HeadingSortsAscendingDescendingAscending)
{
    QHeaderView* header = child<QTableView>("DataGrid1")->horizontalHeader();
    header->sectionClicked(2);
    EXPECT_EQ(shownText(0, 2), QStringLiteral("ABCD"));
    header->sectionClicked(2);
    EXPECT_EQ(shownText(0, 2), QStringLiteral("XYZ"));
    header->sectionClicked(2);
    EXPECT_EQ(shownText(0, 2), QStringLiteral("ABCD"));
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST(BulkDealsTest, ShowsTheTableAndSaysWhenItIsMissing)
{
    TestStore store;
    ScriptedPrompt prompt;
    store.db().exec(QStringLiteral("INSERT INTO BulkDeals (DealDate, Symbol, ClientName, Quantity) VALUES "
                                   "('2026-12-05', 'ZETA', 'Fund A', 100), ('2026-12-04', 'ALPHA', 'Fund B', 50)"));
    {
        masters::BulkDealsScreen deals(store.db());
        EXPECT_EQ(deals.windowTitle(), QStringLiteral("Bulk Deals"));
        auto* grid = deals.findChild<QTableView*>(QStringLiteral("DataGrid1"));
        ASSERT_EQ(grid->model()->rowCount(), 2);
        EXPECT_EQ(grid->model()->data(grid->model()->index(0, 0)).toString(), QStringLiteral("05/Dec/2026"));
        grid->horizontalHeader()->sectionClicked(0);
        EXPECT_EQ(grid->model()->data(grid->model()->index(0, 0)).toString(), QStringLiteral("04/Dec/2026"));
    }
    EXPECT_TRUE(prompt.messages.isEmpty());
    store.db().exec(QStringLiteral("DROP TABLE BulkDeals"));
    masters::BulkDealsScreen missing(store.db());
    EXPECT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(missing.findChild<QTableView*>(QStringLiteral("DataGrid1"))->model()->rowCount(), 0);
}

TEST(MastersMenuTest, EveryItemOpensItsScreen)
{
    FakeServices services;
    ScriptedPrompt prompt;
    fixture::addScrip(services.database(), QStringLiteral("Alpha"), QStringLiteral("ALPHA"), {});
    fixture::addGroup(services.database(), QStringLiteral("G"), QStringLiteral("Group"));
    shell::ScreenRegistry registry;
    masters::registerMastersScreens(registry);
    const QList<QPair<QString, QString>> expected{
        {QStringLiteral("Stock"), QStringLiteral("Stock Master")},
        {QStringLiteral("Group"), QStringLiteral("Group Master")},
        {QStringLiteral("LinkGroupWithScript"), QStringLiteral("Link GROUP<<------------------->>STOCKS")},
        {QStringLiteral("MnuScriptSearch"), QStringLiteral("Script Search")},
        {QStringLiteral("MnuBulkDeals"), QStringLiteral("Bulk Deals")},
    };
    for (const auto& [item, caption] : expected) {
        ASSERT_TRUE(registry.contains(item)) << item.toStdString();
        std::unique_ptr<QWidget> screen(registry.factory(item)(services));
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(screen->windowTitle(), caption);
    }
    EXPECT_TRUE(prompt.messages.isEmpty());
}

}  // namespace
