// The group membership screen: choosing a group, adding and removing scrips
// (each rewrites the group's links), its messages, find, the code box, and
// a failing save that leaves the group as it was.
#include "masters/groupmembershipscreen.h"
#include "mastersfixture.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using masters::GroupMembershipScreen;

namespace {

class GroupMembershipScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        abb = fixture::addScrip(db(), QStringLiteral("Abbott India"), QStringLiteral("ABBOTINDIA"), QStringLiteral("500488"));
        acc = fixture::addScrip(db(), QStringLiteral("ACC"), QStringLiteral("ACC"), QStringLiteral("500410"));
        bata = fixture::addScrip(db(), QStringLiteral("Bata"), QStringLiteral("BATAINDIA"), QString());
        oneil = fixture::addScrip(db(), QStringLiteral("O'Neil"), QStringLiteral("ONEIL"), QStringLiteral("500999"));
        fixture::addGroup(db(), QStringLiteral("PHARMA"), QStringLiteral("Pharma"));
        fixture::addGroup(db(), QStringLiteral("Q'1"), QStringLiteral("Quoted"));
        fixture::link(db(), QStringLiteral("PHARMA"), abb);
    }
    void TearDown() override { delete form.data(); }
    void open()
    {
        form = new GroupMembershipScreen(db());
        form->show();
    }
    template <typename T>
    T* child(const char* name)
    {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
    QListWidget* groups() { return child<QListWidget>("lstGrpName"); }
    QListWidget* stocks() { return child<QListWidget>("lstScripName"); }
    QListWidget* selected() { return child<QListWidget>("lstAddedScripts"); }
    void click(const char* button) { child<QPushButton>(button)->click(); }
    void chooseGroup(const QString& name)
    {
        groups()->setCurrentItem(groups()->findItems(name, Qt::MatchExactly).value(0));
    }
    void chooseScrip(const QString& name)
    {
        QListWidgetItem* item = stocks()->findItems(name, Qt::MatchExactly).value(0);
        ASSERT_NE(item, nullptr) << name.toStdString();
        stocks()->setCurrentItem(item);
    }
    void chooseMember(const QString& name) { selected()->setCurrentItem(selected()->findItems(name, Qt::MatchExactly).value(0)); }
    static QStringList texts(QListWidget* list)
    {
        QStringList result;
        for (int i = 0; i < list->count(); ++i)
            result.append(list->item(i)->text());
        return result;
    }
    store::Database& db() { return store.db(); }

    TestStore store;
    ScriptedPrompt prompt;
    QPointer<GroupMembershipScreen> form;
    qint64 abb = 0, acc = 0, bata = 0, oneil = 0;
};

TEST_F(GroupMembershipScreenTest, ChoosingAGroupSplitsTheScrips)
{
    open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Link GROUP<<------------------->>STOCKS"));
    EXPECT_EQ(texts(groups()), (QStringList{QStringLiteral("Pharma"), QStringLiteral("Quoted")}));
    EXPECT_EQ(stocks()->count(), 4);
    EXPECT_EQ(selected()->count(), 0);
    chooseGroup(QStringLiteral("Pharma"));
    EXPECT_EQ(child<QLineEdit>("txtGrpName")->text(), QStringLiteral("Pharma"));
    EXPECT_EQ(texts(selected()), QStringList{QStringLiteral("Abbott India")});
    EXPECT_EQ(texts(stocks()), (QStringList{QStringLiteral("ACC"), QStringLiteral("Bata"), QStringLiteral("O'Neil")}));
    EXPECT_EQ(child<QProgressBar>("ProgressBar1")->value(), 0);
}

TEST_F(GroupMembershipScreenTest, AddAndRemoveRewriteTheGroupAtOnce)
{
    open();
    chooseGroup(QStringLiteral("Quoted"));
    for (const QString& name : {QStringLiteral("ACC"), QStringLiteral("O'Neil"), QStringLiteral("Bata")}) {
        chooseScrip(name);
        click("cmdAdd");
    }
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.lastText().toStdString();
    EXPECT_EQ(fixture::members(db(), QStringLiteral("Q'1")), (QList<qint64>{acc, bata, oneil}));
    EXPECT_TRUE(child<QLineEdit>("txtScripName")->text().isEmpty());

    chooseMember(QStringLiteral("O'Neil"));
    click("cmdRemove");
    EXPECT_EQ(fixture::members(db(), QStringLiteral("Q'1")), (QList<qint64>{acc, bata}));
    EXPECT_EQ(texts(stocks()).last(), QStringLiteral("O'Neil"));
    EXPECT_EQ(fixture::members(db(), QStringLiteral("PHARMA")), QList<qint64>{abb});

    // Choosing the group again reads the same members back.
    chooseGroup(QStringLiteral("Pharma"));
    chooseGroup(QStringLiteral("Quoted"));
    EXPECT_EQ(texts(selected()), (QStringList{QStringLiteral("ACC"), QStringLiteral("Bata")}));
}

TEST_F(GroupMembershipScreenTest, MessagesOfAddRemoveAndSave)
{
    open();
    // Tabbing into the group list makes its first row current; that is no
    // choice of the user's.
    QFocusEvent tabbedIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(groups(), &tabbedIn);
    ASSERT_EQ(groups()->currentRow(), 0);
    chooseScrip(QStringLiteral("ACC"));
    click("cmdAdd");
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].text, QStringLiteral("Please Select A Group And A "));
    EXPECT_EQ(prompt.messages[0].title, QStringLiteral("No Group Or  Selected"));
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::None);
    click("cmdSave");
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Please Select A Group To Save"));
    EXPECT_EQ(prompt.messages.last().title, QStringLiteral("No Group Selected"));
    EXPECT_EQ(fixture::members(db(), QStringLiteral("PHARMA")), QList<qint64>{abb});

    chooseGroup(QStringLiteral("Quoted"));
    click("cmdRemove");
    EXPECT_EQ(prompt.lastText(), QStringLiteral("The List Has No Items To Be Removed"));
    EXPECT_EQ(prompt.messages.last().title, QStringLiteral("No Items To Be Removed"));

    chooseGroup(QStringLiteral("Pharma"));
    click("cmdRemove");
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Please Select The  To Be Removed"));
    EXPECT_EQ(prompt.messages.last().title, QStringLiteral("No  Selected"));

    // A member chosen by its code cannot be added twice.
    child<QComboBox>("CmbScriptCode")->setEditText(QStringLiteral("abbotindia"));
    EXPECT_EQ(child<QLineEdit>("txtScripName")->text(), QStringLiteral("Abbott India"));
    click("cmdAdd");
    EXPECT_EQ(prompt.lastText(), QStringLiteral("The  You Selected For The Group Is Allready Present For That Group"));
    EXPECT_EQ(prompt.messages.last().title, QStringLiteral(" AllReady Existing"));
    EXPECT_EQ(fixture::members(db(), QStringLiteral("PHARMA")), QList<qint64>{abb});
}

TEST_F(GroupMembershipScreenTest, AFailingInsertLeavesTheGroupAsItWas)
{
    fixture::link(db(), QStringLiteral("PHARMA"), acc);
    fixture::failLinksOf(db(), bata);
    open();
    chooseGroup(QStringLiteral("Pharma"));
    chooseScrip(QStringLiteral("Bata"));
    click("cmdAdd");
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("disk I/O error"));
    EXPECT_EQ(fixture::members(db(), QStringLiteral("PHARMA")), (QList<qint64>{abb, acc}));
    // The lists show the table again.
    EXPECT_EQ(texts(selected()), (QStringList{QStringLiteral("Abbott India"), QStringLiteral("ACC")}));
    EXPECT_TRUE(texts(stocks()).contains(QStringLiteral("Bata")));
}

TEST_F(GroupMembershipScreenTest, EnterAddsAndMovesToTheNextScripUpToTheLast)
{
    open();
    chooseGroup(QStringLiteral("Quoted"));
    // Tabbing into "Stocks" makes its first scrip current, not chosen.
    QFocusEvent tabbedIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(stocks(), &tabbedIn);
    ASSERT_EQ(stocks()->currentRow(), 0);
    QTest::keyClick(stocks(), Qt::Key_Return);
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("Please Select A Group And A ")});
    chooseScrip(QStringLiteral("Bata"));
    QTest::keyClick(stocks(), Qt::Key_Return);
    EXPECT_EQ(child<QLineEdit>("txtScripName")->text(), QStringLiteral("O'Neil"));
    QTest::keyClick(stocks(), Qt::Key_Return);  // the last scrip: added, nothing after it
    EXPECT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(fixture::members(db(), QStringLiteral("Q'1")), (QList<qint64>{bata, oneil}));
}

TEST_F(GroupMembershipScreenTest, FindByTheStartOfANameWithWildcards)
{
    open();
    auto* findText = child<QLineEdit>("txtFind");
    findText->setText(QStringLiteral("ab"));
    click("cmdFind");
    EXPECT_EQ(stocks()->currentItem()->text(), QStringLiteral("Abbott India"));
    EXPECT_EQ(child<QLineEdit>("txtScripName")->text(), QStringLiteral("Abbott India"));
    findText->setText(QStringLiteral("?a"));
    click("cmdFind");
    EXPECT_EQ(stocks()->currentItem()->text(), QStringLiteral("Bata"));
    findText->setText(QStringLiteral("o'n"));
    click("cmdFind");
    EXPECT_EQ(stocks()->currentItem()->text(), QStringLiteral("O'Neil"));
    findText->setText(QStringLiteral("zz"));
    click("cmdFind");
    EXPECT_EQ(stocks()->currentItem()->text(), QStringLiteral("O'Neil"));
}

TEST_F(GroupMembershipScreenTest, CodeBoxFollowsTheChosenExchange)
{
    open();
    auto* codes = child<QComboBox>("CmbScriptCode");
    EXPECT_EQ(codes->count(), 4);
    chooseScrip(QStringLiteral("O'Neil"));
    EXPECT_EQ(codes->currentText(), QStringLiteral("ONEIL"));
    child<QRadioButton>("OptBseCode")->click();
    EXPECT_EQ(codes->count(), 3);  // Bata has no BSE code
    EXPECT_EQ(codes->currentText(), QStringLiteral("500999"));
    codes->setEditText(QStringLiteral("500410"));
    EXPECT_EQ(child<QLineEdit>("txtScripName")->text(), QStringLiteral("ACC"));
    EXPECT_EQ(stocks()->currentItem()->text(), QStringLiteral("ACC"));
    chooseGroup(QStringLiteral("Quoted"));
    codes->setEditText(QStringLiteral("500999"));
    click("cmdAdd");
    EXPECT_EQ(fixture::members(db(), QStringLiteral("Q'1")), QList<qint64>{oneil});
}

}  // namespace
