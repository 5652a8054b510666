// The transactions screen: a new entry, finding and changing it, deleting
// it whole and row by row through the main window's "Delete Row".
#include "portfolio/transactionsscreen.h"
#include "portfoliofixture.h"
#include "store/datetext.h"

#include <QAction>
#include <QPointer>

using portfolio::TransactionsScreen;
using portfolio::TransactionGrid;

namespace {

class PortfolioManagerTest : public pf::ScreenTest {
protected:
    void SetUp() override
    {
        shell::sharedState() = shell::SharedState();
        growth = pf::addPortfolio(db(), "Growth");
        axis = pf::addScrip(db(), "Axis Bank");
        form = new TransactionsScreen(services, lookups());
        form->show();
    }
    void TearDown() override
    {
        delete form.data();
        shell::sharedState() = shell::SharedState();
    }
    TransactionGrid* grid() { return form->grid(); }
    void press(const QString& key) { form->button(key)->trigger(); }
    // Fills grid row `row` through the look-ups and typed cells.
    void fillRow(int row, const QString& qty, const QString& rate)
    {
        grid()->setCurrentCell(row, TransactionGrid::Qty);
        choices.enqueue({"Growth", QString::number(growth)});
        form->portfolioLookup();
        choices.enqueue({"Axis Bank", QString::number(axis), "AXIS BANK", QString()});
        form->scripLookup();
        grid()->setCell(row, TransactionGrid::BuySell, "Buy");
        grid()->setCell(row, TransactionGrid::Qty, qty);
        grid()->setCell(row, TransactionGrid::Rate, rate);
    }
    QStringList storedQuantities(qint64 code)
    {
        QStringList result;
        for (const auto& row :
             db().query("SELECT srno, qty FROM PortfolioManager WHERE code = ? ORDER BY srno", {code}).rows)
            result.append(row[0].toString() + ":" + row[1].toString());
        return result;
    }
    // Find, answered with the look-up row of entry `code`.
    void find(qint64 code)
    {
        QStringList line(11);
        line[9] = QString::number(code);
        choices.enqueue(line);
        press("Find");
    }

    QPointer<TransactionsScreen> form;
    qint64 growth = 0, axis = 0;
};

TEST_F(PortfolioManagerTest, ANewEntryIsCheckedSavedAndLocked)
{
    EXPECT_EQ(form->windowTitle(), "Portfolio Details");
    EXPECT_TRUE(form->isLocked());
    press("New");
    EXPECT_EQ(form->toolbarMask(), "01000101");
    EXPECT_FALSE(form->button("Find")->isEnabled());
    press("Save");
    EXPECT_EQ(prompt.lastText(), "Please Enter Record In Grid");

    fillRow(0, "3", "10.5");
    EXPECT_EQ(grid()->cell(0, TransactionGrid::Date), datetext::toDisplay(QDate::currentDate()));
    fillRow(2, "4", "0");
    press("Save");
    EXPECT_EQ(prompt.lastText(), "Please Select Portfolio Name on Row : 2");
    EXPECT_EQ(pf::count(db(), "PortfolioManager"), 0);

    grid()->removeRow(1);
    press("Save");
    EXPECT_EQ(prompt.lastText(), "Please Enter Rate on Row : 2");
    grid()->setCell(1, TransactionGrid::Rate, "2");
    press("Save");
    EXPECT_EQ(prompt.lastText(), "Record Saved Successfully! ");
    EXPECT_EQ(form->entryBox()->text(), "1");
    EXPECT_EQ(grid()->cell(0, TransactionGrid::Amt), "31.5");
    EXPECT_EQ(grid()->cell(1, TransactionGrid::SrNo), "2");
    EXPECT_EQ(storedQuantities(1), (QStringList{"1:3", "2:4"}));
    EXPECT_DOUBLE_EQ(db().scalar("SELECT amt FROM PortfolioManager WHERE srno = 1").toDouble(), 31.5);
    EXPECT_EQ(form->toolbarMask(), "10101111");
    EXPECT_TRUE(form->isLocked());
}

TEST_F(PortfolioManagerTest, FindModifySaveKeepsTheNumberAndTheDates)
{
    pf::addTransaction(db(), 4, 1, growth, axis, QDate(2026, 1, 2), "Buy", 10, 100);
    pf::addTransaction(db(), 4, 2, growth, axis, QDate(2026, 2, 3), "Sell", 5, 120);
    pf::addTransaction(db(), 6, 1, growth, axis, QDate(2026, 3, 4), "Buy", 1, 1);

    press("Find");  // cancelled
    EXPECT_TRUE(form->entryBox()->text().isEmpty());
    EXPECT_EQ(grid()->dataRowCount(), 0);

    find(4);
    EXPECT_EQ(form->toolbarMask(), "10111111");
    EXPECT_EQ(form->entryBox()->text(), "4");
    ASSERT_EQ(grid()->dataRowCount(), 2);
    EXPECT_EQ(grid()->cell(1, TransactionGrid::BuySell), "Sell");
    EXPECT_EQ(grid()->cell(1, TransactionGrid::Date), "03/Feb/2026");

    press("Modify");
    EXPECT_TRUE(form->isModifying());
    grid()->setCurrentCell(0, 0);
    choices.enqueue({"Axis Bank", QString::number(axis)});
    form->scripLookup();
    EXPECT_EQ(grid()->cell(0, TransactionGrid::Date), "02/Jan/2026");
    grid()->setCell(0, TransactionGrid::Qty, "12");
    // A failed save keeps the stored rows and the entry open.
    grid()->setCell(1, TransactionGrid::Date, "32/Jan/2026");
    press("Save");
    EXPECT_TRUE(prompt.lastText().startsWith("Error In Save Click "));
    EXPECT_EQ(form->toolbarMask(), "01000111");
    EXPECT_EQ(storedQuantities(4), (QStringList{"1:10", "2:5"}));
    grid()->setCell(1, TransactionGrid::Date, "03/Feb/2026");
    press("Save");
    EXPECT_EQ(prompt.lastText(), "Record Saved Successfully! ");
    EXPECT_EQ(storedQuantities(4), (QStringList{"1:12", "2:5"}));
    EXPECT_EQ(storedQuantities(6), QStringList{"1:1"});

    // After a save Delete waits for the entry to be found again; it then
    // removes the whole entry after the question.
    EXPECT_FALSE(form->button("Delete")->isEnabled());
    find(4);
    prompt.answers.enqueue(ui::Answer::Yes);
    press("Delete");
    ASSERT_GE(prompt.messages.size(), 2);
    EXPECT_EQ(prompt.messages[prompt.messages.size() - 2].text, "Are You Sure You Want To Delete Record");
    EXPECT_EQ(prompt.lastText(), "Record Deleted Successfully");
    EXPECT_TRUE(storedQuantities(4).isEmpty());
    EXPECT_EQ(pf::count(db(), "PortfolioManager"), 1);
}

TEST_F(PortfolioManagerTest, DeleteRowRemovesTheGridRowAndItsStoredLine)
{
    pf::addTransaction(db(), 2, 1, growth, axis, QDate(2026, 1, 2), "Buy", 10, 100);
    pf::addTransaction(db(), 2, 2, growth, axis, QDate(2026, 1, 3), "Buy", 20, 100);
    find(2);
    press("Modify");
    fillRow(2, "7", "7");  // never saved

    // What the main window's "Delete Row" does with the grid that asked for it.
    auto deleteRow = [] {
        shell::SharedState& shared = shell::sharedState();
        QMetaObject::invokeMethod(shared.popupForm.data(), "deleteActiveRow", Q_ARG(QString, shared.popupOwner));
    };
    portfolio::showDeleteRowMenu(services, grid(), portfolio::portfolioManagerOwner(), QPoint());
    ASSERT_EQ(shell::sharedState().popupForm.data(), grid());

    grid()->setCurrentCell(2, 0);
    deleteRow();
    EXPECT_EQ(prompt.lastText(), "Record Deleted");
    EXPECT_EQ(grid()->dataRowCount(), 2);
    EXPECT_EQ(storedQuantities(2), (QStringList{"1:10", "2:20"}));

    grid()->setCurrentCell(0, 0);
    deleteRow();
    EXPECT_EQ(storedQuantities(2), QStringList{"2:20"});
    ASSERT_EQ(grid()->dataRowCount(), 1);
    EXPECT_EQ(grid()->cell(0, TransactionGrid::Qty), "20");

    // Another owner's menu removes the grid row only.
    prompt.messages.clear();
    shell::sharedState().popupOwner = "Other";
    deleteRow();
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_EQ(grid()->dataRowCount(), 0);
    EXPECT_EQ(storedQuantities(2), QStringList{"2:20"});

    // An empty grid: nothing happens.
    deleteRow();
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_EQ(grid()->rowCount(), TransactionGrid::MaxRows - 3);
}

}  // namespace
