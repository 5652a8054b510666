// The portfolio master: numbering, unique names, editing and deleting.
#include "portfolio/portfoliomasterform.h"
#include "portfoliofixture.h"

#include <QAction>
#include <QPointer>

using portfolio::PortfolioMasterForm;

namespace {

class PortfolioMasterTest : public pf::ScreenTest {
protected:
    void TearDown() override { delete form.data(); }
    void open()
    {
        form = new PortfolioMasterForm(db());
        form->show();
    }
    void press(const QString& button) { form->toolbar()->action(button)->trigger(); }
    QLineEdit* code() { return form->findChild<QLineEdit*>("Text1"); }
    QLineEdit* name() { return form->findChild<QLineEdit*>("Text2"); }
    // Types `typed` as the name and saves.
    void saveName(const QString& typed)
    {
        name()->setText(typed);
        press("Save");
    }
    QString storedName(qint64 portfolioCode)
    {
        return db().scalar("SELECT Name FROM PortfolioMaster WHERE Code = ?", {portfolioCode}).toString();
    }

    QPointer<PortfolioMasterForm> form;
};

TEST_F(PortfolioMasterTest, TheFirstPortfolioMayBeNumberedByHandButNotWithACodeInUse)
{
    prompt.answers.enqueue(ui::Answer::Yes);
    open();
    ASSERT_EQ(prompt.texts(), QStringList{"Information Not Entered !!! Do you want to Enter Now"});
    EXPECT_EQ(prompt.messages[0].title, "Tarvenix - Portfolio Master");
    EXPECT_TRUE(code()->isEnabled());
    pf::addPortfolio(db(), "Sneaked in", 5);  // written by another route meanwhile
    code()->setText("5");
    saveName("Long Term");
    EXPECT_EQ(prompt.lastText(), "Portfolio Code Already exists.Enter New Code");
    EXPECT_EQ(prompt.messages.last().icon, ui::Icon::Critical);
    EXPECT_TRUE(form->isAddingNew());
    EXPECT_EQ(pf::count(db(), "PortfolioMaster"), 1);

    code()->setText("7");
    saveName("Long Term");
    EXPECT_EQ(storedName(7), "Long Term");
    EXPECT_FALSE(form->isAddingNew());
    EXPECT_EQ(code()->text(), "7");

    // New numbers come from the table: the code box stays locked.
    press("New");
    EXPECT_FALSE(code()->isEnabled());
    saveName("Trading");
    EXPECT_EQ(storedName(8), "Trading");
    EXPECT_EQ(code()->text(), "8");
}

TEST_F(PortfolioMasterTest, NamesStayUniqueWhateverTheirCaseAndDeleteAsks)
{
    const qint64 growth = pf::addPortfolio(db(), "Growth");
    pf::addPortfolio(db(), "Income");
    open();
    ASSERT_EQ(name()->text(), "Growth");
    press("Print");  // does nothing
    EXPECT_TRUE(prompt.messages.isEmpty());

    // Editing may change the case of the name, never to another's name.
    press("Edit");
    EXPECT_FALSE(code()->isEnabled());
    saveName("GROWTH");
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_EQ(storedName(growth), "GROWTH");
    press("Edit");
    saveName("income");
    EXPECT_EQ(prompt.texts(), QStringList{"Portfolio Name Already Entered ..."});
    EXPECT_TRUE(form->isEditing());
    EXPECT_EQ(storedName(growth), "GROWTH");
    saveName("Value");
    EXPECT_EQ(storedName(growth), "Value");

    prompt.messages.clear();
    press("New");
    saveName("INCOME ");
    ASSERT_EQ(prompt.texts(), QStringList{"Portfolio Name Already Entered ..."});
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Warning);
    EXPECT_EQ(name()->selectedText(), "INCOME ");
    EXPECT_TRUE(form->isAddingNew());
    EXPECT_FALSE(code()->isEnabled());
    // Cancel goes back to browsing without a row.
    press("Cancel");
    EXPECT_FALSE(form->isAddingNew());
    EXPECT_EQ(pf::count(db(), "PortfolioMaster"), 2);

    // A save while browsing (the toolbar offers none) checks the current
    // name, which exists.
    prompt.messages.clear();
    EXPECT_FALSE(form->toolbar()->action("Save")->isEnabled());
    form->Toolbar1_ButtonClick("save");
    EXPECT_EQ(prompt.texts(), QStringList{"Portfolio Name Already Entered ..."});
    EXPECT_EQ(pf::count(db(), "PortfolioMaster"), 2);

    prompt.messages.clear();
    prompt.answers.enqueue(ui::Answer::No);
    press("Delete");
    EXPECT_EQ(pf::count(db(), "PortfolioMaster"), 2);
    prompt.answers.enqueue(ui::Answer::Yes);
    press("Delete");
    ASSERT_EQ(prompt.messages.size(), 2);
    EXPECT_EQ(prompt.messages[1].text, "Delete this record?");
    EXPECT_EQ(prompt.messages[1].title, "Message");
    EXPECT_EQ(pf::count(db(), "PortfolioMaster"), 1);
    EXPECT_EQ(name()->text(), "Income");
}

TEST_F(PortfolioMasterTest, DeletingTheLastByNameLeavesNoPortfolioCurrentUntilAMove)
{
    for (const char* each : {"Zeta", "Alpha", "Mid"})
        pf::addPortfolio(db(), each);
    open();
    press("Last");
    prompt.answers << ui::Answer::Yes << ui::Answer::Yes;
    press("Delete");
    EXPECT_EQ(pf::boxTexts(form, "Text1 Text2"), (QStringList{"", ""}));
    press("Delete");  // finds no portfolio to delete
    EXPECT_EQ(prompt.texts().last(), "Either BOF or EOF is True, or the current record has been deleted.");
    EXPECT_EQ(pf::count(db(), "PortfolioMaster"), 2);
}

}  // namespace
