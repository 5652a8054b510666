// The group master: protected groups, deleting with links, duplicate codes,
// the fixed code while editing, and the group made from a result.
#include "masters/groupmasterform.h"
#include "mastersfixture.h"
#include "shell/appservices.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"

#include <QAction>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

using masters::GroupMasterForm;

namespace {

class GroupMasterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell::sharedState() = shell::SharedState();
        alpha = fixture::addScrip(db(), QStringLiteral("Alpha"), QStringLiteral("ALPHA"), {});
        beta = fixture::addScrip(db(), QStringLiteral("Beta"), QStringLiteral("BETA"), {});
        fixture::addGroup(db(), QStringLiteral("NIFTY"), QStringLiteral("Nifty fifty"));
        fixture::addGroup(db(), QStringLiteral("Derivative"), QStringLiteral("Derivatives"));
        fixture::link(db(), QStringLiteral("Derivative"), alpha);
        fixture::link(db(), QStringLiteral("NIFTY"), alpha);
    }
    void TearDown() override
    {
        delete form.data();
        shell::sharedState() = shell::SharedState();
    }
    void open()
    {
        form = new GroupMasterForm(db());
        form->show();
    }
    void press(const QString& button) { form->toolbar()->action(button)->trigger(); }
    QLineEdit* code() { return form->findChild<QLineEdit*>(QStringLiteral("Text1")); }
    QLineEdit* name() { return form->findChild<QLineEdit*>(QStringLiteral("Text2")); }
    void addGroup(const QString& groupCode, const QString& groupName)
    {
        press(QStringLiteral("New"));
        code()->setText(groupCode);
        name()->setText(groupName);
        press(QStringLiteral("Save"));
    }
    store::Database& db() { return store.db(); }

    TestStore store;
    ScriptedPrompt prompt;
    QPointer<GroupMasterForm> form;
    qint64 alpha = 0, beta = 0;
};

TEST_F(GroupMasterTest, ProtectedGroupsAreRefusedWhateverTheTypedCase)
{
    open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Group Master"));
    press(QStringLiteral("Last"));
    ASSERT_EQ(code()->text(), QStringLiteral("NIFTY"));
    code()->setText(QStringLiteral("  nifty "));
    prompt.answers.enqueue(ui::Answer::Yes);
    press(QStringLiteral("Delete"));
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].text, QStringLiteral("Can Not Delete System Generated Groups"));
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Critical);
    EXPECT_EQ(fixture::count(db(), QStringLiteral("GroupMaster")), 2);
    EXPECT_EQ(fixture::members(db(), QStringLiteral("NIFTY")), QList<qint64>{alpha});
}

TEST_F(GroupMasterTest, DeletingAGroupRemovesItsLinksAndTheLastLeavesEmptyBoxes)
{
    open();
    ASSERT_EQ(code()->text(), QStringLiteral("Derivative"));
    prompt.answers.enqueue(ui::Answer::Yes);
    press(QStringLiteral("Delete"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Delete this record?"));
    EXPECT_TRUE(fixture::members(db(), QStringLiteral("Derivative")).isEmpty());
    EXPECT_EQ(fixture::members(db(), QStringLiteral("NIFTY")), QList<qint64>{alpha});
    EXPECT_EQ(code()->text(), QStringLiteral("NIFTY"));

    addGroup(QStringLiteral("ZZ"), QStringLiteral("Zulu"));
    press(QStringLiteral("Last"));
    ASSERT_EQ(code()->text(), QStringLiteral("ZZ"));
    prompt.answers.enqueue(ui::Answer::Yes);
    press(QStringLiteral("Delete"));
    EXPECT_TRUE(code()->text().isEmpty());
    EXPECT_TRUE(name()->text().isEmpty());
    QTest::keyClick(form, Qt::Key_Up);
    EXPECT_EQ(code()->text(), QStringLiteral("NIFTY"));
}

TEST_F(GroupMasterTest, DuplicateCodeIsRefusedAndCanBeCorrected)
{
    open();
    addGroup(QStringLiteral(" nifty"), QStringLiteral("Another"));
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].text, QStringLiteral("Group Code Already exists.Enter New Code"));
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Critical);
    EXPECT_TRUE(form->isAddingNew());
    EXPECT_TRUE(code()->isEnabled());
    code()->setText(QStringLiteral("NIFTY2"));
    press(QStringLiteral("Save"));
    EXPECT_FALSE(form->isAddingNew());
    EXPECT_EQ(fixture::count(db(), QStringLiteral("GroupMaster")), 3);
    EXPECT_EQ(code()->text(), QStringLiteral("NIFTY2"));

    // A group needs a code.
    addGroup(QString(), QStringLiteral("Nameless"));
    EXPECT_TRUE(form->isAddingNew());
    EXPECT_EQ(fixture::count(db(), QStringLiteral("GroupMaster")), 3);
}

TEST_F(GroupMasterTest, EditingChangesTheNameButNotTheCode)
{
    open();
    press(QStringLiteral("Edit"));
    EXPECT_FALSE(code()->isEnabled());
    EXPECT_TRUE(name()->isEnabled());
    name()->setText(QStringLiteral("F&O stocks"));
    press(QStringLiteral("Save"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT GroupName FROM GroupMaster WHERE GroupCode = 'Derivative'")).toString(),
              QStringLiteral("F&O stocks"));
    press(QStringLiteral("New"));
    EXPECT_TRUE(code()->isEnabled());
}

TEST_F(GroupMasterTest, GroupFromAResultGetsItsScripsOnlyWhenItIsSaved)
{
    auto& shared = shell::sharedState();
    shared.newGroupFlag = true;
    shared.newGroupScrips = {alpha, 0, beta, 0};
    open();

    // Saving an edit of another group leaves the hand-over pending.
    press(QStringLiteral("Edit"));
    press(QStringLiteral("Save"));
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_EQ(fixture::members(db(), QStringLiteral("Derivative")), QList<qint64>{alpha});
    EXPECT_TRUE(shared.newGroupFlag);

    addGroup(QStringLiteral("GAIN"), QStringLiteral("Gainers"));
    EXPECT_EQ(fixture::members(db(), QStringLiteral("GAIN")), (QList<qint64>{alpha, beta}));
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].text, QStringLiteral("Gainers Group Created"));
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Information);
    EXPECT_FALSE(shared.newGroupFlag);
    EXPECT_TRUE(shared.newGroupCode.isEmpty());
    EXPECT_TRUE(shared.newGroupName.isEmpty());

    // A later new group is an ordinary one.
    addGroup(QStringLiteral("PLAIN"), QStringLiteral("Plain"));
    EXPECT_TRUE(fixture::members(db(), QStringLiteral("PLAIN")).isEmpty());
    EXPECT_EQ(prompt.messages.size(), 1);
}

TEST_F(GroupMasterTest, AFailedLinkWriteLeavesNeitherGroupNorLinksAndStaysPending)
{
    auto& shared = shell::sharedState();
    shared.newGroupFlag = true;
    shared.newGroupScrips = {alpha, beta};
    fixture::failLinksOf(db(), beta);
    open();
    addGroup(QStringLiteral("GAIN"), QStringLiteral("Gainers"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("disk I/O error"));
    EXPECT_TRUE(form->isAddingNew());
    EXPECT_EQ(fixture::count(db(), QStringLiteral("GroupMaster")), 2);
    EXPECT_TRUE(fixture::members(db(), QStringLiteral("GAIN")).isEmpty());
    EXPECT_TRUE(shared.newGroupFlag);

    db().exec(QStringLiteral("DROP TRIGGER refuse_link"));
    press(QStringLiteral("Save"));
    EXPECT_FALSE(form->isAddingNew());
    EXPECT_EQ(fixture::members(db(), QStringLiteral("GAIN")), (QList<qint64>{alpha, beta}));
    EXPECT_EQ(code()->text(), QStringLiteral("GAIN"));
    EXPECT_EQ(form->adoPrimaryRS().recordCount(), 3);
}

TEST_F(GroupMasterTest, BrowseCaptionAndEmptyTable)
{
    db().exec(QStringLiteral("DELETE FROM GroupMaster"));
    open();
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Information Not Entered !!! Do you want to Enter Now"));
    EXPECT_EQ(prompt.messages.last().title, QStringLiteral("Tarvenix - Group Master"));
    EXPECT_FALSE(form->isAddingNew());
    QTest::keyClick(form, Qt::Key_Down);  // nothing to move to, and no error
    EXPECT_EQ(prompt.messages.size(), 1);
    press(QStringLiteral("Browse"));
    ASSERT_NE(form->browseWindow(), nullptr);
    EXPECT_EQ(form->browseWindow()->windowTitle(), QStringLiteral("Browse Group"));
}

}  // namespace
