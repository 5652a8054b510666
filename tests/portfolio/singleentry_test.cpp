// The single-transaction form: choosing the scrip and portfolio, the amount,
// the checks, the saved row and the codes carried to the next entry.
#include "masters/browsedialog.h"
#include "portfolio/singleentryform.h"
#include "portfolio/transactions.h"
#include "portfolio/valuation.h"
#include "portfoliofixture.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QTableView>
#include <QPointer>
#include <QRadioButton>

using portfolio::SingleEntryForm;

namespace {

class SingleEntryTest : public pf::ScreenTest {
protected:
    void SetUp() override
    {
        growth = pf::addPortfolio(db(), "Growth");
        db().exec("INSERT INTO ScripMaster (srno, company, nsescrip, bsescrip) VALUES (1, 'Axis Bank', 'AXISBANK', "
                  "'532215'), (2, 'Bharat Forge', 'BHARATFORG', '500493'), (3, 'Axis Twin', 'AXISBANK', '999999')");
    }
    void TearDown() override { delete form.data(); }
    void open()
    {
        form = new SingleEntryForm(db(), lookups());
        form->show();
    }
    template <typename T> T* child(const char* name) { return form->findChild<T*>(name); }
    void type(const char* box, const QString& text) { child<QLineEdit>(box)->setText(text); }
    QStringList boxes(const QString& names) { return pf::boxTexts(form, names); }
    void press(const QString& button) { form->toolbar()->action(button)->trigger(); }

    QPointer<SingleEntryForm> form;
    qint64 growth = 0;
};

TEST_F(SingleEntryTest, AnEntryIsCheckedSavedAndItsCodesCarriedToTheNext)
{
    prompt.answers.enqueue(ui::Answer::Yes);
    open();
    EXPECT_EQ(prompt.texts(), QStringList{"Information Not Entered !!! Do you want to Enter Now"});
    ASSERT_TRUE(form->isAddingNew());
    type("Text1", "41");
    press("Save");
    EXPECT_EQ(prompt.lastText(), "Please Select Script");
    // The dialog's choice stands although an earlier scrip shares its NSE code.
    choices.enqueue({"Axis Twin", "3", "AXISBANK", "999999"});
    form->CmdScript_Click();
    EXPECT_EQ(boxes("TxtScript TxtSciptCd"), (QStringList{"Axis Twin", "3"}));
    press("Save");
    EXPECT_EQ(prompt.lastText(), "Please Select Portfolio");
    choices.enqueue({"Growth", QString::number(growth)});
    form->CmdPortfolio_Click();

    type("Txtqty", "10");
    type("TxtRate", "12.5");
    EXPECT_EQ(boxes("TxtAmt"), QStringList{"125"});
    type("Txtqty", "20");
    EXPECT_EQ(boxes("TxtAmt"), QStringList{"125"});  // only the rate recomputes
    child<QComboBox>("CmbBuy_Sell")->setCurrentText("S");
    EXPECT_EQ(boxes("TxtAmt"), QStringList{"250"});
    child<QDateEdit>("DTPTdt")->setDate(QDate(2026, 4, 1));
    press("Save");
    EXPECT_FALSE(form->isAddingNew());
    const store::Rows rows = db().query("SELECT code, srno, ScriptCode, Portfoliocd, BuySell, qty, rate, amt, tdt "
                                        "FROM PortfolioManager");
    ASSERT_EQ(rows.size(), 1);
    // "S" is chosen; the word is stored, as the transactions grid stores it.
    EXPECT_EQ(rows.rows[0], (QVariantList{41, 1, 3, growth, "Sell", 20.0, 12.5, 250.0, QDate(2026, 4, 1)}));

    // The next entry starts with the saved scrip and portfolio.
    press("New");
    EXPECT_EQ(boxes("TxtSciptCd TxtScript TxtPortfolio"), (QStringList{"3", "Axis Twin", "Growth"}));
    type("Text1", "41");
    type("TxtRate", "1");
    press("Save");
    EXPECT_EQ(db().scalar("SELECT max(srno) FROM PortfolioManager WHERE code = 41").toInt(), 2);
}

TEST_F(SingleEntryTest, CodesChooseTheScripOnTheChosenExchange)
{
    pf::addTransaction(db(), 5, 1, growth, 2, QDate(2026, 1, 2), "B", 1, 1);
    open();
    EXPECT_EQ(boxes("TxtScript TxtPortfolio"), (QStringList{"Bharat Forge", "Growth"}));
    EXPECT_EQ(child<QDateEdit>("DTPTdt")->date(), QDate(2026, 1, 2));
    press("Edit");
    child<QRadioButton>("OptBseCode")->click();
    EXPECT_EQ(child<QComboBox>("CmbScriptCode")->itemText(0), "532215");
    EXPECT_EQ(boxes("TxtScript"), QStringList{"Axis Bank"});
    child<QComboBox>("CmbScriptCode")->setEditText("50049");
    EXPECT_EQ(boxes("TxtScript"), QStringList{"Axis Bank"});  // not a whole code yet
    child<QComboBox>("CmbScriptCode")->setEditText("500493");
    EXPECT_EQ(boxes("TxtSciptCd"), QStringList{"2"});
    press("Cancel");
    EXPECT_EQ(db().scalar("SELECT ScriptCode FROM PortfolioManager").toInt(), 2);
    // Saved untouched, the entry keeps its stored letter.
    press("Edit");
    press("Save");
    EXPECT_EQ(db().scalar("SELECT BuySell FROM PortfolioManager").toString(), "B");
}

TEST_F(SingleEntryTest, TheBrowseWindowListsTheFieldsInTheFormsOrder)
{
    pf::addTransaction(db(), 5, 1, growth, 2, QDate(2026, 1, 2), "B", 1, 1);
    open();
    press("Browse");
    masters::BrowseDialog* browse = form->browseWindow();
    ASSERT_NE(browse, nullptr);
    const QStringList formOrder{"tdt", "code", "ScriptCode", "qty", "BuySell", "rate", "Portfoliocd", "amt"};
    auto* fields = browse->findChild<QComboBox*>("Combo1");
    QStringList offered;
    for (int i = 0; i < fields->count(); ++i)
        offered.append(fields->itemText(i));
    EXPECT_EQ(offered, formOrder);
    QStringList headings;
    const QHeaderView* header = browse->grid()->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual)
        if (!header->isSectionHidden(header->logicalIndex(visual)))
            headings.append(browse->grid()->model()->headerData(header->logicalIndex(visual), Qt::Horizontal).toString());
    EXPECT_EQ(headings, formOrder);
    browse->close();
}

TEST_F(SingleEntryTest, EveryStoredSideCountsInTheValuation)
{
    // The words the grid and this form store, and the letters older entries
    // of this form stored.
    const struct {
        const char* stored;
        double bought, sold;
        const char* shown;
    } sides[] = {{"Buy", 10, 0, "Buy"}, {"B", 10, 0, "Buy"},    {"Sell", 0, 10, "Sell"},
                 {"S", 0, 10, "Sell"}, {"s ", 0, 10, "Sell"}};
    for (int entry = 1; entry <= int(std::size(sides)); ++entry)
        pf::addTransaction(db(), entry, 1, growth, 1, QDate(2026, 1, entry), sides[entry - 1].stored, 10, 100);
    portfolio::ValuationRequest detail;  // of every transaction
    detail.day = QDate(2026, 1, 1);
    const store::Rows rows = portfolio::valuationRows(db(), detail);
    ASSERT_EQ(rows.size(), qsizetype(std::size(sides)));
    for (int i = 0; i < int(rows.size()); ++i) {
        EXPECT_EQ(rows.value(i, "PurQty").toDouble(), sides[i].bought) << sides[i].stored;
        EXPECT_EQ(rows.value(i, "SellQty").toDouble(), sides[i].sold) << sides[i].stored;
        EXPECT_EQ(portfolio::loadEntry(db(), i + 1).first().buySell, sides[i].shown) << sides[i].stored;
    }
}

}  // namespace
