// The transactions screen: a new entry, finding and changing it, deleting
// it whole and row by row through the main window's "Delete Row".
#include "portfolio/transactionsscreen.h"
#include "portfoliofixture.h"
#include "store/datetext.h"
#include "support/fakeservices.h"
#include "support/scriptedprompt.h"

#include <QAction>
#include <QLineEdit>
#include <QPointer>
#include <QQueue>
#include <gtest/gtest.h>

using portfolio::TransactionsScreen;
using portfolio::TransactionGrid;

namespace {

class PortfolioManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell::sharedState() = shell::SharedState();
        growth = pf::addPortfolio(db(), QStringLiteral("Growth"));
        axis = pf::addScrip(db(), QStringLiteral("Axis Bank"));
        form = new TransactionsScreen(services, [this](const QString& sql, const QStringList&) {
            asked.append(sql);
            return choices.isEmpty() ? QStringList() : choices.dequeue();
        });
        form->show();
    }
    void TearDown() override
    {
        delete form.data();
        shell::sharedState() = shell::SharedState();
    }
    store::Database& db() { return services.store.db(); }
    TransactionGrid* grid() { return form->grid(); }
    void press(const QString& key) { form->button(key)->trigger(); }
    // Fills grid row `row` through the look-ups and typed cells.
    void fillRow(int row, const QString& qty, const QString& rate, const QString& side = QStringLiteral("Buy"))
    {
        grid()->setCurrentCell(row, TransactionGrid::Qty);
        choices.enqueue({QStringLiteral("Growth"), QString::number(growth)});
        form->portfolioLookup();
        choices.enqueue({QStringLiteral("Axis Bank"), QString::number(axis), QStringLiteral("AXIS BANK"), QString()});
        form->scripLookup();
        grid()->setCell(row, TransactionGrid::BuySell, side);
        grid()->setCell(row, TransactionGrid::Qty, qty);
        grid()->setCell(row, TransactionGrid::Rate, rate);
    }
    QStringList storedQuantities(qint64 code)
    {
        QStringList result;
        for (const auto& row :
             db().query(QStringLiteral("SELECT srno, qty FROM PortfolioManager WHERE code = ? ORDER BY srno"), {code}).rows)
            result.append(row[0].toString() + QLatin1Char(':') + row[1].toString());
        return result;
    }

    FakeServices services;
    ScriptedPrompt prompt;
    QPointer<TransactionsScreen> form;
    QQueue<QStringList> choices;
    QStringList asked;
    qint64 growth = 0, axis = 0;
};

TEST_F(PortfolioManagerTest, ANewEntryIsCheckedSavedAndLocked)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Portfolio Details"));
    EXPECT_TRUE(form->isLocked());
    press(QStringLiteral("New"));
    EXPECT_EQ(form->toolbarMask(), QStringLiteral("01000101"));
    EXPECT_FALSE(form->button(QStringLiteral("Find"))->isEnabled());
    press(QStringLiteral("Save"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Please Enter Record In Grid"));

    fillRow(0, QStringLiteral("3"), QStringLiteral("10.5"));
    EXPECT_EQ(grid()->cell(0, TransactionGrid::Date), datetext::toDisplay(QDate::currentDate()));
    fillRow(2, QStringLiteral("4"), QStringLiteral("0"));
    press(QStringLiteral("Save"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Please Select Portfolio Name on Row : 2"));
    EXPECT_EQ(pf::count(db(), QStringLiteral("PortfolioManager")), 0);

    grid()->removeRow(1);
    press(QStringLiteral("Save"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Please Enter Rate on Row : 2"));
    grid()->setCell(1, TransactionGrid::Rate, QStringLiteral("2"));
    press(QStringLiteral("Save"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Record Saved Successfully! "));
    EXPECT_EQ(form->entryBox()->text(), QStringLiteral("1"));
    EXPECT_EQ(grid()->cell(0, TransactionGrid::Amt), QStringLiteral("31.5"));
    EXPECT_EQ(grid()->cell(1, TransactionGrid::SrNo), QStringLiteral("2"));
    EXPECT_EQ(storedQuantities(1), (QStringList{QStringLiteral("1:3"), QStringLiteral("2:4")}));
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT amt FROM PortfolioManager WHERE srno = 1")).toDouble(), 31.5);
    EXPECT_EQ(form->toolbarMask(), QStringLiteral("10101111"));
    EXPECT_TRUE(form->isLocked());
}

TEST_F(PortfolioManagerTest, FindModifySaveKeepsTheNumberAndTheDates)
{
    pf::addTransaction(db(), 4, 1, growth, axis, QDate(2026, 1, 2), QStringLiteral("Buy"), 10, 100);
    pf::addTransaction(db(), 4, 2, growth, axis, QDate(2026, 2, 3), QStringLiteral("Sell"), 5, 120);
    pf::addTransaction(db(), 6, 1, growth, axis, QDate(2026, 3, 4), QStringLiteral("Buy"), 1, 1);

    press(QStringLiteral("Find"));  // cancelled
    EXPECT_TRUE(form->entryBox()->text().isEmpty());
    EXPECT_EQ(grid()->dataRowCount(), 0);

    QStringList line(11);
    line[9] = QStringLiteral("4");
    choices.enqueue(line);
    press(QStringLiteral("Find"));
    EXPECT_EQ(form->toolbarMask(), QStringLiteral("10111111"));
    EXPECT_EQ(form->entryBox()->text(), QStringLiteral("4"));
    ASSERT_EQ(grid()->dataRowCount(), 2);
    EXPECT_EQ(grid()->cell(1, TransactionGrid::BuySell), QStringLiteral("Sell"));
    EXPECT_EQ(grid()->cell(1, TransactionGrid::Date), QStringLiteral("03/Feb/2026"));

    press(QStringLiteral("Modify"));
    EXPECT_TRUE(form->isModifying());
    grid()->setCurrentCell(0, 0);
    choices.enqueue({QStringLiteral("Axis Bank"), QString::number(axis)});
    form->scripLookup();
    EXPECT_EQ(grid()->cell(0, TransactionGrid::Date), QStringLiteral("02/Jan/2026"));
    grid()->setCell(0, TransactionGrid::Qty, QStringLiteral("12"));
    press(QStringLiteral("Save"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Record Saved Successfully! "));
    EXPECT_EQ(storedQuantities(4), (QStringList{QStringLiteral("1:12"), QStringLiteral("2:5")}));
    EXPECT_EQ(storedQuantities(6), QStringList{QStringLiteral("1:1")});

    // After a save Delete waits for the entry to be found again; it then
    // removes the whole entry after the question.
    EXPECT_FALSE(form->button(QStringLiteral("Delete"))->isEnabled());
    choices.enqueue(line);
    press(QStringLiteral("Find"));
    prompt.answers.enqueue(ui::Answer::Yes);
    press(QStringLiteral("Delete"));
    ASSERT_GE(prompt.messages.size(), 2);
    EXPECT_EQ(prompt.messages[prompt.messages.size() - 2].text, QStringLiteral("Are You Sure You Want To Delete Record"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Record Deleted Successfully"));
    EXPECT_TRUE(storedQuantities(4).isEmpty());
    EXPECT_EQ(pf::count(db(), QStringLiteral("PortfolioManager")), 1);
}

TEST_F(PortfolioManagerTest, DeleteRowRemovesTheGridRowAndItsStoredLine)
{
    pf::addTransaction(db(), 2, 1, growth, axis, QDate(2026, 1, 2), QStringLiteral("Buy"), 10, 100);
    pf::addTransaction(db(), 2, 2, growth, axis, QDate(2026, 1, 3), QStringLiteral("Buy"), 20, 100);
    QStringList line(11);
    line[9] = QStringLiteral("2");
    choices.enqueue(line);
    press(QStringLiteral("Find"));
    press(QStringLiteral("Modify"));
    fillRow(2, QStringLiteral("7"), QStringLiteral("7"));  // never saved

    // What the main window's "Delete Row" does with the grid that asked for it.
    auto deleteRow = [] {
        shell::SharedState& shared = shell::sharedState();
        QMetaObject::invokeMethod(shared.popupForm.data(), "deleteActiveRow", Q_ARG(QString, shared.popupOwner));
    };
    portfolio::showDeleteRowMenu(services, grid(), portfolio::portfolioManagerOwner(), QPoint());
    ASSERT_EQ(shell::sharedState().popupForm.data(), grid());

    grid()->setCurrentCell(2, 0);
    deleteRow();
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Record Deleted"));
    EXPECT_EQ(grid()->dataRowCount(), 2);
    EXPECT_EQ(storedQuantities(2), (QStringList{QStringLiteral("1:10"), QStringLiteral("2:20")}));

    grid()->setCurrentCell(0, 0);
    deleteRow();
    EXPECT_EQ(storedQuantities(2), QStringList{QStringLiteral("2:20")});
    ASSERT_EQ(grid()->dataRowCount(), 1);
    EXPECT_EQ(grid()->cell(0, TransactionGrid::Qty), QStringLiteral("20"));

    // Another owner's menu removes the grid row only.
    prompt.messages.clear();
    shell::sharedState().popupOwner = QStringLiteral("Other");
    deleteRow();
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_EQ(grid()->dataRowCount(), 0);
    EXPECT_EQ(storedQuantities(2), QStringList{QStringLiteral("2:20")});

    // An empty grid: nothing happens.
    deleteRow();
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_EQ(grid()->rowCount(), TransactionGrid::MaxRows - 3);
}

TEST_F(PortfolioManagerTest, AFailedSaveOfAChangedEntryKeepsTheStoredRows)
{
    pf::addTransaction(db(), 3, 1, growth, axis, QDate(2026, 1, 2), QStringLiteral("Buy"), 10, 100);
    QStringList line(11);
    line[9] = QStringLiteral("3");
    choices.enqueue(line);
    press(QStringLiteral("Find"));
    press(QStringLiteral("Modify"));
    grid()->setCell(0, TransactionGrid::Date, QStringLiteral("32/Jan/2026"));
    press(QStringLiteral("Save"));
    EXPECT_TRUE(prompt.lastText().startsWith(QStringLiteral("Error In Save Click ")));
    EXPECT_EQ(form->toolbarMask(), QStringLiteral("01000111"));
    EXPECT_EQ(storedQuantities(3), QStringList{QStringLiteral("1:10")});
}

}  // namespace
