// The portfolio master: numbering, unique names, editing and deleting.
#include "portfolio/portfoliomasterform.h"
#include "portfoliofixture.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"

#include <QAction>
#include <QLineEdit>
#include <QPointer>
#include <gtest/gtest.h>

using portfolio::PortfolioMasterForm;

namespace {

class PortfolioMasterTest : public ::testing::Test {
protected:
    void TearDown() override { delete form.data(); }
    void open()
    {
        form = new PortfolioMasterForm(db());
        form->show();
    }
    void press(const QString& button) { form->toolbar()->action(button)->trigger(); }
    QLineEdit* code() { return form->findChild<QLineEdit*>(QStringLiteral("Text1")); }
    QLineEdit* name() { return form->findChild<QLineEdit*>(QStringLiteral("Text2")); }
    QString storedName(qint64 portfolioCode)
    {
        return db().scalar(QStringLiteral("SELECT Name FROM PortfolioMaster WHERE Code = ?"), {portfolioCode}).toString();
    }
    store::Database& db() { return store.db(); }

    TestStore store;
    ScriptedPrompt prompt;
    QPointer<PortfolioMasterForm> form;
};

TEST_F(PortfolioMasterTest, TheFirstPortfolioMayBeNumberedByHandFromTheEmptyTableQuestion)
{
    prompt.answers.enqueue(ui::Answer::Yes);
    open();
    ASSERT_EQ(prompt.texts(), QStringList{QStringLiteral("Information Not Entered !!! Do you want to Enter Now")});
    EXPECT_EQ(prompt.messages[0].title, QStringLiteral("Tarvenix - Portfolio Master"));
    EXPECT_TRUE(code()->isEnabled());
    code()->setText(QStringLiteral("7"));
    name()->setText(QStringLiteral("Long Term"));
    press(QStringLiteral("Save"));
    EXPECT_EQ(storedName(7), QStringLiteral("Long Term"));
    EXPECT_FALSE(form->isAddingNew());
    EXPECT_EQ(code()->text(), QStringLiteral("7"));

    // New numbers come from the table: the code box stays locked.
    press(QStringLiteral("New"));
    EXPECT_FALSE(code()->isEnabled());
    name()->setText(QStringLiteral("Trading"));
    press(QStringLiteral("Save"));
    EXPECT_EQ(storedName(8), QStringLiteral("Trading"));
    EXPECT_EQ(code()->text(), QStringLiteral("8"));
}

TEST_F(PortfolioMasterTest, AHandTypedCodeInUseIsRefused)
{
    prompt.answers.enqueue(ui::Answer::Yes);
    open();
    pf::addPortfolio(db(), QStringLiteral("Sneaked in"), 5);  // written by another route meanwhile
    code()->setText(QStringLiteral("5"));
    name()->setText(QStringLiteral("Mine"));
    press(QStringLiteral("Save"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Portfolio Code Already exists.Enter New Code"));
    EXPECT_EQ(prompt.messages.last().icon, ui::Icon::Critical);
    EXPECT_TRUE(form->isAddingNew());
    EXPECT_EQ(pf::count(db(), QStringLiteral("PortfolioMaster")), 1);
}

TEST_F(PortfolioMasterTest, DuplicateNamesAreRefusedWhateverTheirCase)
{
    pf::addPortfolio(db(), QStringLiteral("Growth"));
    pf::addPortfolio(db(), QStringLiteral("Income"));
    open();
    ASSERT_EQ(name()->text(), QStringLiteral("Growth"));
    press(QStringLiteral("New"));
    name()->setText(QStringLiteral("INCOME "));
    press(QStringLiteral("Save"));
    ASSERT_EQ(prompt.texts(), QStringList{QStringLiteral("Portfolio Name Already Entered ...")});
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Warning);
    EXPECT_EQ(name()->selectedText(), QStringLiteral("INCOME "));
    EXPECT_TRUE(form->isAddingNew());
    EXPECT_FALSE(code()->isEnabled());
    EXPECT_EQ(pf::count(db(), QStringLiteral("PortfolioMaster")), 2);

    // Cancel goes back to browsing without a row.
    press(QStringLiteral("Cancel"));
    EXPECT_FALSE(form->isAddingNew());
    EXPECT_EQ(pf::count(db(), QStringLiteral("PortfolioMaster")), 2);

    // A save while browsing (the toolbar offers none) checks the current
    // name, which exists.
    prompt.messages.clear();
    EXPECT_FALSE(form->toolbar()->action(QStringLiteral("Save"))->isEnabled());
    form->Toolbar1_ButtonClick(QStringLiteral("save"));
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("Portfolio Name Already Entered ...")});
    EXPECT_EQ(pf::count(db(), QStringLiteral("PortfolioMaster")), 2);
}

TEST_F(PortfolioMasterTest, EditingKeepsOrChangesTheNameButNeverToAnotherPortfolios)
{
    const qint64 growth = pf::addPortfolio(db(), QStringLiteral("Growth"));
    pf::addPortfolio(db(), QStringLiteral("Income"));
    open();
    press(QStringLiteral("Edit"));
    EXPECT_FALSE(code()->isEnabled());
    name()->setText(QStringLiteral("GROWTH"));
    press(QStringLiteral("Save"));
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_EQ(storedName(growth), QStringLiteral("GROWTH"));

    press(QStringLiteral("Edit"));
    name()->setText(QStringLiteral("income"));
    press(QStringLiteral("Save"));
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("Portfolio Name Already Entered ...")});
    EXPECT_TRUE(form->isEditing());
    EXPECT_EQ(storedName(growth), QStringLiteral("GROWTH"));

    name()->setText(QStringLiteral("Value"));
    press(QStringLiteral("Save"));
    EXPECT_EQ(storedName(growth), QStringLiteral("Value"));
}

TEST_F(PortfolioMasterTest, DeleteAsksAndPrintDoesNothing)
{
    pf::addPortfolio(db(), QStringLiteral("Growth"));
    pf::addPortfolio(db(), QStringLiteral("Income"));
    open();
    press(QStringLiteral("Print"));
    EXPECT_TRUE(prompt.messages.isEmpty());
    prompt.answers.enqueue(ui::Answer::No);
    press(QStringLiteral("Delete"));
    EXPECT_EQ(pf::count(db(), QStringLiteral("PortfolioMaster")), 2);
    prompt.answers.enqueue(ui::Answer::Yes);
    press(QStringLiteral("Delete"));
    ASSERT_EQ(prompt.messages.size(), 2);
    EXPECT_EQ(prompt.messages[1].text, QStringLiteral("Delete this record?"));
    EXPECT_EQ(prompt.messages[1].title, QStringLiteral("Message"));
    EXPECT_EQ(pf::count(db(), QStringLiteral("PortfolioMaster")), 1);
    EXPECT_EQ(name()->text(), QStringLiteral("Income"));
}

}  // namespace
