// The single-transaction form: choosing the scrip and portfolio, the amount,
// the checks, the saved row and the codes carried to the next entry.
#include "portfolio/singleentryform.h"
#include "portfolio/transactions.h"
#include "portfolio/valuation.h"
#include "portfoliofixture.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPointer>
#include <QQueue>
#include <QRadioButton>
#include <gtest/gtest.h>

using portfolio::SingleEntryForm;

namespace {

class SingleEntryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        growth = pf::addPortfolio(db(), QStringLiteral("Growth"));
        db().exec(QStringLiteral("INSERT INTO ScripMaster (srno, company, nsescrip, bsescrip) VALUES "
                                 "(1, 'Axis Bank', 'AXISBANK', '532215'), (2, 'Bharat Forge', 'BHARATFORG', '500493'), "
                                 "(3, 'Axis Twin', 'AXISBANK', '999999')"));
    }
    void TearDown() override { delete form.data(); }
    void open()
    {
        form = new SingleEntryForm(db(), [this](const QString&, const QStringList&) {
            return choices.isEmpty() ? QStringList() : choices.dequeue();
        });
        form->show();
    }
    template <typename T> T* child(const char* name) { return form->findChild<T*>(QString::fromLatin1(name)); }
    QLineEdit* box(const char* name) { return child<QLineEdit>(name); }
    void press(const QString& button) { form->toolbar()->action(button)->trigger(); }
    store::Database& db() { return store.db(); }

    TestStore store;
    ScriptedPrompt prompt;
    QPointer<SingleEntryForm> form;
    QQueue<QStringList> choices;
    qint64 growth = 0;
};

TEST_F(SingleEntryTest, AnEntryIsCheckedSavedAndItsCodesCarriedToTheNext)
{
    prompt.answers.enqueue(ui::Answer::Yes);
    open();
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("Information Not Entered !!! Do you want to Enter Now")});
    ASSERT_TRUE(form->isAddingNew());
    box("Text1")->setText(QStringLiteral("41"));
    press(QStringLiteral("Save"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Please Select Script"));

    // The dialog's choice stands although an earlier scrip shares its NSE code.
    choices.enqueue({QStringLiteral("Axis Twin"), QStringLiteral("3"), QStringLiteral("AXISBANK"), QStringLiteral("999999")});
    form->CmdScript_Click();
    EXPECT_EQ(box("TxtScript")->text(), QStringLiteral("Axis Twin"));
    EXPECT_EQ(box("TxtSciptCd")->text(), QStringLiteral("3"));
    press(QStringLiteral("Save"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Please Select Portfolio"));
    choices.enqueue({QStringLiteral("Growth"), QString::number(growth)});
    form->CmdPortfolio_Click();

    box("Txtqty")->setText(QStringLiteral("10"));
    box("TxtRate")->setText(QStringLiteral("12.5"));
    EXPECT_EQ(box("TxtAmt")->text(), QStringLiteral("125"));
    box("Txtqty")->setText(QStringLiteral("20"));
    EXPECT_EQ(box("TxtAmt")->text(), QStringLiteral("125"));  // only the rate recomputes
    child<QComboBox>("CmbBuy_Sell")->setCurrentText(QStringLiteral("S"));
    EXPECT_EQ(box("TxtAmt")->text(), QStringLiteral("250"));
    child<QDateEdit>("DTPTdt")->setDate(QDate(2026, 4, 1));
    press(QStringLiteral("Save"));
    EXPECT_FALSE(form->isAddingNew());
    const store::Rows rows = db().query(QStringLiteral("SELECT code, srno, ScriptCode, Portfoliocd, BuySell, qty, rate, amt, tdt "
                                                       "FROM PortfolioManager"));
    ASSERT_EQ(rows.size(), 1);
    // "S" is chosen; the word is stored, as the transactions grid stores it.
    EXPECT_EQ(rows.rows[0], (QVariantList{41, 1, 3, growth, QStringLiteral("Sell"), 20.0, 12.5, 250.0, QDate(2026, 4, 1)}));

    // The next entry starts with the saved scrip and portfolio.
    press(QStringLiteral("New"));
    EXPECT_EQ(box("TxtSciptCd")->text(), QStringLiteral("3"));
    EXPECT_EQ(box("TxtScript")->text(), QStringLiteral("Axis Twin"));
    EXPECT_EQ(box("TxtPortfolio")->text(), QStringLiteral("Growth"));
    box("Text1")->setText(QStringLiteral("41"));
    box("TxtRate")->setText(QStringLiteral("1"));
    press(QStringLiteral("Save"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT max(srno) FROM PortfolioManager WHERE code = 41")).toInt(), 2);
}

TEST_F(SingleEntryTest, CodesChooseTheScripOnTheChosenExchange)
{
    pf::addTransaction(db(), 5, 1, growth, 2, QDate(2026, 1, 2), QStringLiteral("B"), 1, 1);
    open();
    EXPECT_EQ(box("TxtScript")->text(), QStringLiteral("Bharat Forge"));
    EXPECT_EQ(box("TxtPortfolio")->text(), QStringLiteral("Growth"));
    EXPECT_EQ(child<QDateEdit>("DTPTdt")->date(), QDate(2026, 1, 2));
    press(QStringLiteral("Edit"));
    child<QRadioButton>("OptBseCode")->click();
    EXPECT_EQ(child<QComboBox>("CmbScriptCode")->itemText(0), QStringLiteral("532215"));
    EXPECT_EQ(box("TxtScript")->text(), QStringLiteral("Axis Bank"));
    child<QComboBox>("CmbScriptCode")->setEditText(QStringLiteral("50049"));
    EXPECT_EQ(box("TxtScript")->text(), QStringLiteral("Axis Bank"));  // not a whole code yet
    child<QComboBox>("CmbScriptCode")->setEditText(QStringLiteral("500493"));
    EXPECT_EQ(box("TxtSciptCd")->text(), QStringLiteral("2"));
    press(QStringLiteral("Cancel"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT ScriptCode FROM PortfolioManager")).toInt(), 2);
}

TEST_F(SingleEntryTest, EveryStoredSideCountsInTheValuation)
{
    // The words the grid and this form store, and the letters older entries
    // of this form stored.
    const struct {
        const char* stored;
        double bought, sold;
        const char* shown;
    } sides[] = {{"Buy", 10, 0, "Buy"}, {"B", 10, 0, "Buy"}, {"Sell", 0, 10, "Sell"}, {"S", 0, 10, "Sell"}, {"s ", 0, 10, "Sell"}};
    qint64 entry = 0;
    for (const auto& side : sides) {
        ++entry;
        pf::addTransaction(db(), entry, 1, growth, 1, QDate(2026, 1, static_cast<int>(entry)), QString::fromLatin1(side.stored), 10, 100);
    }
    portfolio::ValuationRequest request;
    request.kind = portfolio::ValuationKind::Detail;
    request.day = QDate(2026, 1, 1);
    const store::Rows rows = portfolio::valuationRows(db(), request);
    ASSERT_EQ(rows.size(), static_cast<qsizetype>(std::size(sides)));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const auto& side = sides[i];
        EXPECT_EQ(rows.value(i, QStringLiteral("PurQty")).toDouble(), side.bought) << side.stored;
        EXPECT_EQ(rows.value(i, QStringLiteral("SellQty")).toDouble(), side.sold) << side.stored;
        EXPECT_EQ(portfolio::loadEntry(db(), i + 1).first().buySell, QString::fromLatin1(side.shown)) << side.stored;
    }
}

}  // namespace
