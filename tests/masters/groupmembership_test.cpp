// The group membership screen: choosing a group, adding and removing scrips
// (each rewrites the group's links), its messages, find, the code box, and
// a failing save that leaves the group as it was.
#include "masters/groupmembershipscreen.h"
#include "mastersfixture.h"

#include <QProgressBar>

namespace {

class GroupMembershipScreenTest : public FormTest<masters::GroupMembershipScreen> {
protected:
    void SetUp() override
    {
        abb = fixture::addScrip(db(), "Abbott India", "ABBOTINDIA", "500488");
        acc = fixture::addScrip(db(), "ACC", "ACC", "500410");
        bata = fixture::addScrip(db(), "Bata", "BATAINDIA", QString());
        oneil = fixture::addScrip(db(), "O'Neil", "ONEIL", "500999");
        fixture::addGroup(db(), "PHARMA", "Pharma");
        fixture::addGroup(db(), "Q'1", "Quoted");
        fixture::link(db(), "PHARMA", abb);
    }
    QListWidget* list(const char* name) { return child<QListWidget>(name); }
    QListWidget* stocks() { return list("lstScripName"); }
    void click(const char* button) { child<QPushButton>(button)->click(); }
    static void choose(QListWidget* in, const QString& name)
    {
        in->setCurrentItem(in->findItems(name, Qt::MatchExactly).value(0));
    }
    void chooseGroup(const QString& name) { choose(list("lstGrpName"), name); }
    void add(const QString& scrip)
    {
        choose(stocks(), scrip);
        click("cmdAdd");
    }
    QStringList chosen() { return fixture::texts(list("lstAddedScripts")); }
    // Tabbing into a list makes its first row current; that is no choice of
    // the user's.
    static void tabInto(QWidget* widget)
    {
        QFocusEvent tabbedIn(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(widget, &tabbedIn);
    }
    qint64 abb = 0, acc = 0, bata = 0, oneil = 0;
};

TEST_F(GroupMembershipScreenTest, ChoosingAGroupSplitsTheScripsAndAddRemoveRewriteIt)
{
    open();
    EXPECT_EQ(fixture::texts(list("lstGrpName")), QStringList({"Pharma", "Quoted"}));
    EXPECT_EQ(stocks()->count(), 4);
    EXPECT_TRUE(chosen().isEmpty());
    chooseGroup("Pharma");
    EXPECT_EQ(text("txtGrpName"), "Pharma");
    EXPECT_EQ(chosen(), QStringList{"Abbott India"});
    EXPECT_EQ(fixture::texts(stocks()), QStringList({"ACC", "Bata", "O'Neil"}));
    EXPECT_EQ(child<QProgressBar>("ProgressBar1")->value(), 0);

    chooseGroup("Quoted");
    for (const char* name : {"ACC", "O'Neil", "Bata"})
        add(name);
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.lastText().toStdString();
    EXPECT_EQ(members("Q'1"), (QList<qint64>{acc, bata, oneil}));
    EXPECT_TRUE(text("txtScripName").isEmpty());
    choose(list("lstAddedScripts"), "O'Neil");
    click("cmdRemove");
    EXPECT_EQ(members("Q'1"), (QList<qint64>{acc, bata}));
    EXPECT_EQ(fixture::texts(stocks()).last(), "O'Neil");
    EXPECT_EQ(members("PHARMA"), QList<qint64>{abb});
    // Choosing the group again reads the same members back.
    chooseGroup("Pharma");
    chooseGroup("Quoted");
    EXPECT_EQ(chosen(), QStringList({"ACC", "Bata"}));
}

TEST_F(GroupMembershipScreenTest, MessagesOfAddRemoveAndSave)
{
    open();
    tabInto(list("lstGrpName"));
    ASSERT_EQ(list("lstGrpName")->currentRow(), 0);
    add("ACC");
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(lastSaid(), "No Group Or  Selected: Please Select A Group And A ");
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::None);
    click("cmdSave");
    EXPECT_EQ(lastSaid(), "No Group Selected: Please Select A Group To Save");
    chooseGroup("Quoted");
    click("cmdRemove");
    EXPECT_EQ(lastSaid(), "No Items To Be Removed: The List Has No Items To Be Removed");
    chooseGroup("Pharma");
    // Tabbing into the members makes the first current: still none is chosen.
    tabInto(list("lstAddedScripts"));
    ASSERT_EQ(list("lstAddedScripts")->currentRow(), 0);
    click("cmdRemove");
    EXPECT_EQ(lastSaid(), "No  Selected: Please Select The  To Be Removed");
    EXPECT_EQ(chosen(), QStringList{"Abbott India"});
    EXPECT_EQ(members("PHARMA"), QList<qint64>{abb});

    // A member chosen by its code cannot be added twice.
    child<QComboBox>("CmbScriptCode")->setEditText("abbotindia");
    EXPECT_EQ(text("txtScripName"), "Abbott India");
    click("cmdAdd");
    EXPECT_EQ(lastSaid(), " AllReady Existing: The  You Selected For The Group Is Allready Present For That Group");
    EXPECT_EQ(members("PHARMA"), QList<qint64>{abb});
}

TEST_F(GroupMembershipScreenTest, AFailingInsertLeavesTheGroupAsItWas)
{
    fixture::link(db(), "PHARMA", acc);
    fixture::failLinksOf(db(), bata);
    open();
    chooseGroup("Pharma");
    add("Bata");
    EXPECT_EQ(prompt.texts(), QStringList{"disk I/O error"});
    EXPECT_EQ(members("PHARMA"), (QList<qint64>{abb, acc}));
    // The lists show the table again.
    EXPECT_EQ(chosen(), QStringList({"Abbott India", "ACC"}));
    EXPECT_TRUE(fixture::texts(stocks()).contains("Bata"));
}

TEST_F(GroupMembershipScreenTest, EnterAddsAndMovesToTheNextScripUpToTheLast)
{
    open();
    chooseGroup("Quoted");
    tabInto(stocks());
    ASSERT_EQ(stocks()->currentRow(), 0);
    QTest::keyClick(stocks(), Qt::Key_Return);
    EXPECT_EQ(prompt.texts(), QStringList{"Please Select A Group And A "});
    choose(stocks(), "Bata");
    QTest::keyClick(stocks(), Qt::Key_Return);
    EXPECT_EQ(text("txtScripName"), "O'Neil");
    QTest::keyClick(stocks(), Qt::Key_Return);  // the last scrip: added, nothing after it
    EXPECT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(members("Q'1"), (QList<qint64>{bata, oneil}));
}

TEST_F(GroupMembershipScreenTest, FindByTheStartOfANameAndTheCodeBoxOfTheChosenExchange)
{
    open();
    const QList<QPair<QString, QString>> finds{
        {"ab", "Abbott India"}, {"?a", "Bata"}, {"o'n", "O'Neil"}, {"zz", "O'Neil"}};
    for (const auto& [typed, found] : finds) {
        child("txtFind")->setText(typed);
        click("cmdFind");
        EXPECT_EQ(fixture::texts(stocks()).value(stocks()->currentRow()), found) << typed;
        EXPECT_EQ(text("txtScripName"), found);
    }

    auto* codes = child<QComboBox>("CmbScriptCode");
    EXPECT_EQ(codes->count(), 4);
    EXPECT_EQ(codes->currentText(), "ONEIL");
    child<QRadioButton>("OptBseCode")->click();
    EXPECT_EQ(codes->count(), 3);  // Bata has no BSE code
    EXPECT_EQ(codes->currentText(), "500999");
    codes->setEditText("500410");
    EXPECT_EQ(text("txtScripName"), "ACC");
    EXPECT_EQ(fixture::texts(stocks()).value(stocks()->currentRow()), "ACC");
    chooseGroup("Quoted");
    codes->setEditText("500999");
    click("cmdAdd");
    EXPECT_EQ(members("Q'1"), QList<qint64>{oneil});
}

}  // namespace
