// The group master: protected groups, deleting with links, duplicate codes,
// the fixed code while editing, the group made from a result, and print.
#include "masters/browsedialog.h"
#include "masters/groupmasterform.h"
#include "mastersfixture.h"
#include "shell/appservices.h"

namespace {

class GroupMasterTest : public FormTest<PrintCapturing<masters::GroupMasterForm>> {
protected:
    void SetUp() override
    {
        shell::sharedState() = shell::SharedState();
        alpha = fixture::addScrip(db(), "Alpha", "ALPHA", {});
        beta = fixture::addScrip(db(), "Beta", "BETA", {});
        fixture::addGroup(db(), "NIFTY", "Nifty fifty");
        fixture::addGroup(db(), "Derivative", "Derivatives");
        fixture::link(db(), "Derivative", alpha);
        fixture::link(db(), "NIFTY", alpha);
    }
    void TearDown() override
    {
        FormTest::TearDown();
        shell::sharedState() = shell::SharedState();
    }
    void addGroup(const QString& groupCode, const QString& groupName)
    {
        press("New");
        type({{"Text1", groupCode}, {"Text2", groupName}});
        press("Save");
    }
    // Deletes the group shown, answering Yes.
    void deleteShown()
    {
        prompt.answers.enqueue(ui::Answer::Yes);
        press("Delete");
    }
    qint64 alpha = 0, beta = 0;
};

TEST_F(GroupMasterTest, ProtectedGroupsAreKeptAndOthersGoWithTheirLinks)
{
    open();
    press("Last");
    ASSERT_EQ(text("Text1"), "NIFTY");
    child("Text1")->setText("  nifty ");
    deleteShown();
    EXPECT_EQ(prompt.texts(), QStringList{"Can Not Delete System Generated Groups"});
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Critical);
    EXPECT_EQ(count("GroupMaster"), 2);
    EXPECT_EQ(members("NIFTY"), QList<qint64>{alpha});

    press("First");
    ASSERT_EQ(text("Text1"), "Derivative");
    deleteShown();
    EXPECT_EQ(prompt.lastText(), "Delete this record?");
    EXPECT_TRUE(members("Derivative").isEmpty());
    EXPECT_EQ(members("NIFTY"), QList<qint64>{alpha});
    EXPECT_EQ(text("Text1"), "NIFTY");

    // The last row gone leaves empty boxes.
    addGroup("ZZ", "Zulu");
    press("Last");
    ASSERT_EQ(text("Text1"), "ZZ");
    deleteShown();
    EXPECT_TRUE(text("Text1").isEmpty());
    EXPECT_TRUE(text("Text2").isEmpty());
    QTest::keyClick(form, Qt::Key_Up);
    EXPECT_EQ(text("Text1"), "NIFTY");
}

TEST_F(GroupMasterTest, DuplicateOrMissingCodeIsRefusedAndTheCodeIsFixedWhileEditing)
{
    open();
    addGroup(" nifty", "Another");
    EXPECT_EQ(prompt.texts(), QStringList{"Group Code Already exists.Enter New Code"});
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Critical);
    EXPECT_EQ(mode(), "adding, open");
    EXPECT_TRUE(child("Text1")->isEnabled());
    child("Text1")->setText("NIFTY2");
    press("Save");
    EXPECT_EQ(mode(), "browsing, shut");
    EXPECT_EQ(count("GroupMaster"), 3);
    EXPECT_EQ(text("Text1"), "NIFTY2");

    addGroup(QString(), "Nameless");
    EXPECT_EQ(prompt.lastText(), "Index or primary key cannot contain a Null value.");
    EXPECT_EQ(mode(), "adding, open");
    EXPECT_EQ(count("GroupMaster"), 3);
    press("Cancel");

    press("First");
    press("Edit");
    EXPECT_FALSE(child("Text1")->isEnabled());
    EXPECT_TRUE(child("Text2")->isEnabled());
    child("Text2")->setText("F&O stocks");
    press("Save");
    EXPECT_EQ(db().scalar("SELECT GroupName FROM GroupMaster WHERE GroupCode = 'Derivative'").toString(), "F&O stocks");
    press("New");
    EXPECT_TRUE(child("Text1")->isEnabled());
}

TEST_F(GroupMasterTest, SaveLeavesANameNobodyTypedInAsStored)
{
    fixture::addGroup(db(), "ALL", " All Stocks");
    open();
    ASSERT_EQ(text("Text2"), " All Stocks");
    press("Edit");
    press("Save");
    EXPECT_EQ(db().scalar("SELECT GroupName FROM GroupMaster WHERE GroupCode = 'ALL'").toString(), " All Stocks");

    // A rename whose commit fails is saved again on the group being edited.
    db().exec("PRAGMA foreign_keys = ON");
    db().exec("CREATE TABLE anchor (id INTEGER PRIMARY KEY)");
    db().exec("CREATE TABLE pending (id REFERENCES anchor (id) DEFERRABLE INITIALLY DEFERRED)");
    db().exec("CREATE TRIGGER fail_commit AFTER UPDATE ON GroupMaster BEGIN INSERT INTO pending VALUES (1); END");
    press("Last");
    press("Edit");
    child("Text2")->setText("Nifty 50");
    press("Save");
    ASSERT_EQ(mode(), "editing, open");
    db().exec("DROP TRIGGER fail_commit");
    press("Save");
    EXPECT_EQ(db().scalar("SELECT group_concat(GroupName, '|') FROM (SELECT GroupName FROM GroupMaster ORDER BY GroupName)")
                  .toString(),
              " All Stocks|Derivatives|Nifty 50");
}

TEST_F(GroupMasterTest, GroupFromAResultGetsItsScripsAtTheNextSaveOfAnyGroup)
{
    auto& shared = shell::sharedState();
    shared.newGroupFlag = true;
    shared.newGroupScrips = {alpha, 0, beta, 0};
    fixture::failLinksOf(db(), beta);
    open();

    // A failed link write leaves neither group nor links, and stays pending.
    addGroup("GAIN", "Gainers");
    EXPECT_EQ(prompt.texts(), QStringList{"disk I/O error"});
    EXPECT_EQ(mode(), "adding, open");
    EXPECT_EQ(count("GroupMaster"), 2);
    EXPECT_TRUE(members("GAIN").isEmpty());
    EXPECT_TRUE(shared.newGroupFlag);
    press("Cancel");

    // Saving an edit of an existing group writes the pending links to it.
    db().exec("DROP TRIGGER refuse_link");
    press("First");
    ASSERT_EQ(text("Text1"), "Derivative");
    press("Edit");
    press("Save");
    EXPECT_EQ(mode(), "browsing, shut");
    EXPECT_EQ(members("Derivative"), (QList<qint64>{alpha, beta}));
    EXPECT_EQ(count("GroupMaster"), 2);
    ASSERT_EQ(prompt.messages.size(), 2);
    EXPECT_EQ(prompt.lastText(), "Derivatives Group Created");
    EXPECT_EQ(prompt.messages.last().icon, ui::Icon::Information);
    EXPECT_FALSE(shared.newGroupFlag);
    EXPECT_TRUE(shared.newGroupCode.isEmpty());
    EXPECT_TRUE(shared.newGroupName.isEmpty());

    // A later save is an ordinary one.
    addGroup("PLAIN", "Plain");
    EXPECT_TRUE(members("PLAIN").isEmpty());
    EXPECT_EQ(prompt.messages.size(), 2);
}

TEST_F(GroupMasterTest, GroupRowThatCannotBeStoredTakesNoLinks)
{
    auto& shared = shell::sharedState();
    shared.newGroupFlag = true;
    shared.newGroupScrips = {alpha, beta};
    db().exec("CREATE TRIGGER refuse_group BEFORE INSERT ON GroupMaster BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    open();

    addGroup("GAIN", "Gainers");
    EXPECT_EQ(prompt.texts(), QStringList{"disk full"});
    EXPECT_EQ(mode(), "adding, open");
    EXPECT_EQ(count("GroupMaster"), 2);
    EXPECT_TRUE(members("GAIN").isEmpty());
    EXPECT_EQ(count("LinkDetails"), 2);
    EXPECT_TRUE(shared.newGroupFlag);

    db().exec("DROP TRIGGER refuse_group");
    press("Save");
    EXPECT_EQ(members("GAIN"), (QList<qint64>{alpha, beta}));
    EXPECT_EQ(prompt.lastText(), "Gainers Group Created");
}

TEST_F(GroupMasterTest, PrintListsCodeAndDescriptionByNameAndBrowseHasItsCaption)
{
    open();
    press("Print");
    ASSERT_EQ(form->printed.size(), 1);
    EXPECT_EQ(fixture::lines(form->printed[0]),
              QStringList({"Branch Master Report / Group Master", "Group Code | Group Description",
                           "Derivative | Derivatives", "NIFTY | Nifty fifty", "** End Of Report **"}));
    EXPECT_EQ(text("Text1"), "NIFTY");
    press("Browse");
    ASSERT_NE(form->browseWindow(), nullptr);
    EXPECT_EQ(form->browseWindow()->windowTitle(), "Browse Group");
}

}  // namespace
