// Logic of the master data without any window: the duplicate check, groups
// and their protection, membership writes, list filling and text matching.
#include "masters/duplicatecheck.h"
#include "masters/groups.h"
#include "masters/headersort.h"
#include "masters/linkservice.h"
#include "masters/recordsearch.h"
#include "masters/textmatch.h"
#include "mastersfixture.h"
#include "store/recordset.h"
#include "store/storeerror.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace masters;

namespace {

class MastersLogicTest : public ::testing::Test {
protected:
    TestStore store;
    store::Database& db() { return store.db(); }
};

TEST_F(MastersLogicTest, DuplicateCheckCountsByModeAndBindsTheValue)
{
    fixture::addScrip(db(), QStringLiteral("O'Neil Industries"), QStringLiteral("ONEIL"), QStringLiteral("500001"));
    fixture::addScrip(db(), QStringLiteral("Alpha"), QStringLiteral("ALPHA"), QStringLiteral("500002"));
    fixture::addScrip(db(), QStringLiteral("alpha"), QStringLiteral("ALPHA2"), QStringLiteral("500003"));

    const QString table = QStringLiteral("ScripMaster"), field = QStringLiteral("company");
    EXPECT_TRUE(checkDuplicate(db(), table, field, QStringLiteral("T"), QStringLiteral("O'Neil Industries"), QStringLiteral("I"))
                    .isDuplicate());
    EXPECT_TRUE(checkDuplicate(db(), table, field, QStringLiteral("T"), QStringLiteral("Beta"), QStringLiteral("i")).isUnique());
    // Update mode: the edited row itself holds the value.
    EXPECT_TRUE(
        checkDuplicate(db(), table, field, QStringLiteral("T"), QStringLiteral("O'Neil Industries"), QStringLiteral("U")).isUnique());
    // Names compare without regard to case, so "Alpha" is held by two rows.
    EXPECT_TRUE(checkDuplicate(db(), table, field, QStringLiteral("t"), QStringLiteral("ALPHA"), QStringLiteral("u")).isDuplicate());
    EXPECT_TRUE(checkDuplicate(db(), table, QStringLiteral("srno"), QStringLiteral("N"), QStringLiteral(" 2 "), QStringLiteral("I"))
                    .isDuplicate());
    EXPECT_TRUE(checkDuplicate(db(), table, field, QStringLiteral("T"), QStringLiteral("Alpha"), QStringLiteral("X")).isUnique());
    // A value that tries to close the quote is only a value.
    EXPECT_TRUE(checkDuplicate(db(), table, field, QStringLiteral("T"), QStringLiteral("x' OR '1'='1"), QStringLiteral("I"))
                    .isUnique());
    EXPECT_EQ(fixture::count(db(), table), 3);
}

TEST_F(MastersLogicTest, DuplicateCheckThatCannotRunIsAFailureNotUnique)
{
    db().exec(QStringLiteral("INSERT INTO BulkDeals (DealDate, Symbol) VALUES ('2026-12-05', 'ABC')"));
    const QString table = QStringLiteral("ScripMaster");
    EXPECT_TRUE(checkDuplicate(db(), QStringLiteral("NoSuchTable"), QStringLiteral("x"), QStringLiteral("T"), QStringLiteral("a"),
                               QStringLiteral("I"))
                    .failed());
    EXPECT_TRUE(checkDuplicate(db(), table, QStringLiteral("company = company OR 1"), QStringLiteral("T"), QStringLiteral("a"),
                               QStringLiteral("I"))
                    .failed());
    EXPECT_TRUE(checkDuplicate(db(), table, QStringLiteral("srno"), QStringLiteral("N"), QStringLiteral("1 OR 1=1"),
                               QStringLiteral("I"))
                    .failed());
    EXPECT_TRUE(checkDuplicate(db(), table, QStringLiteral("company"), QStringLiteral("Q"), QStringLiteral("a"), QStringLiteral("I"))
                    .failed());
    EXPECT_TRUE(checkDuplicate(db(), QStringLiteral("BulkDeals"), QStringLiteral("DealDate"), QStringLiteral("D"),
                               QStringLiteral("31/Feb/2026"), QStringLiteral("I"))
                    .failed());
    EXPECT_TRUE(checkDuplicate(db(), QStringLiteral("BulkDeals"), QStringLiteral("DealDate"), QStringLiteral("D"),
                               QStringLiteral("05/dec/2026"), QStringLiteral("I"))
                    .isDuplicate());

    // The reporting form tells the user, with its own title.
    ScriptedPrompt prompt;
    const DuplicateCheck check = CheckDuplicateData(db(), QStringLiteral("NoSuchTable"), QStringLiteral("x"), QStringLiteral("T"),
                                                    QStringLiteral("a"), QStringLiteral("I"));
    EXPECT_TRUE(check.failed());
    EXPECT_FALSE(check.isUnique());
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].title, QStringLiteral("Error In CheckDuplicateData Function ... "));
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Critical);
}

TEST_F(MastersLogicTest, NullToZero)
{
    EXPECT_EQ(NullToZero(QVariant()), 0);
    EXPECT_EQ(NullToZero(QVariant(QString())), 0);
    EXPECT_EQ(NullToZero(QVariant(QStringLiteral(""))), 0);
    EXPECT_EQ(NullToZero(db().scalar(QStringLiteral("SELECT NULL"))), 0);
    EXPECT_DOUBLE_EQ(NullToZero(QVariant(QStringLiteral("12.5"))), 12.5);
    EXPECT_DOUBLE_EQ(NullToZero(QVariant(qint64(7))), 7);
    EXPECT_THROW(NullToZero(QVariant(QStringLiteral("abc"))), std::invalid_argument);
}

TEST_F(MastersLogicTest, ProtectedGroupsWhateverTheCaseAndBlanks)
{
    for (const char* code : {"ALL", " nifty ", "NiftyJun", "banks", "  TOP 100 TO", "software  "})
        EXPECT_TRUE(isProtectedGroup(QString::fromLatin1(code))) << code;
    for (const char* code : {"Derivative", "BSE100", "TOP 100", "NIFTY50", ""})
        EXPECT_FALSE(isProtectedGroup(QString::fromLatin1(code))) << code;
}

TEST_F(MastersLogicTest, NewGroupFromResultWritesItsLinksWithTheGroupOnly)
{
    const qint64 a = fixture::addScrip(db(), QStringLiteral("A"), {}, {});
    const qint64 b = fixture::addScrip(db(), QStringLiteral("B"), {}, {});
    fixture::addGroup(db(), QStringLiteral("OLD"), QStringLiteral("Old group"));
    auto groups = store::Recordset::fromTable(db(), QStringLiteral("GroupMaster"), QStringLiteral("ORDER BY GroupName"));

    // Zero slots (names that matched no scrip) and repeats are not written.
    const QList<qint64> scrips{a, 0, b, a, 0};
    groups.addNew();
    EXPECT_EQ(saveGroup(db(), groups, QStringLiteral("NEW"), QStringLiteral("New group"), &scrips), 2);
    EXPECT_EQ(fixture::members(db(), QStringLiteral("NEW")), (QList<qint64>{a, b}));
    EXPECT_EQ(groups.value(QStringLiteral("GroupCode")).toString(), QStringLiteral("NEW"));

    // Editing a group never writes links, even when handed scrips.
    ASSERT_TRUE(groups.find(QStringLiteral("GroupCode"), QStringLiteral("OLD")));
    groups.edit();
    EXPECT_EQ(saveGroup(db(), groups, QStringLiteral("OLD"), QStringLiteral("Renamed"), &scrips), 0);
    EXPECT_TRUE(fixture::members(db(), QStringLiteral("OLD")).isEmpty());
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT GroupName FROM GroupMaster WHERE GroupCode = 'OLD'")).toString(),
              QStringLiteral("Renamed"));
}

TEST_F(MastersLogicTest, NewGroupAndItsLinksLandTogetherOrNotAtAll)
{
    const qint64 a = fixture::addScrip(db(), QStringLiteral("A"), {}, {});
    const qint64 b = fixture::addScrip(db(), QStringLiteral("B"), {}, {});
    fixture::failLinksOf(db(), b);
    auto groups = store::Recordset::fromTable(db(), QStringLiteral("GroupMaster"));
    const QList<qint64> scrips{a, b};
    groups.addNew();
    EXPECT_THROW(saveGroup(db(), groups, QStringLiteral("NEW"), QStringLiteral("New"), &scrips), store::StoreError);
    EXPECT_EQ(fixture::count(db(), QStringLiteral("GroupMaster")), 0);
    EXPECT_EQ(fixture::count(db(), QStringLiteral("LinkDetails")), 0);
    EXPECT_EQ(groups.editMode(), store::Recordset::EditMode::Adding);  // still pending, can be saved again
}

TEST_F(MastersLogicTest, DeletingAGroupTakesItsLinksInOneTransaction)
{
    const qint64 a = fixture::addScrip(db(), QStringLiteral("A"), {}, {});
    fixture::addGroup(db(), QStringLiteral("Derivative"), QStringLiteral("Derivatives"));
    fixture::addGroup(db(), QStringLiteral("KEEP"), QStringLiteral("Kept"));
    fixture::link(db(), QStringLiteral("Derivative"), a);
    fixture::link(db(), QStringLiteral("KEEP"), a);
    auto groups = store::Recordset::fromTable(db(), QStringLiteral("GroupMaster"), QStringLiteral("ORDER BY GroupName"));
    ASSERT_TRUE(groups.find(QStringLiteral("GroupCode"), QStringLiteral("derivative")));
    deleteCurrentGroup(db(), groups);
    EXPECT_TRUE(fixture::members(db(), QStringLiteral("Derivative")).isEmpty());
    EXPECT_EQ(fixture::members(db(), QStringLiteral("KEEP")), QList<qint64>{a});
    EXPECT_EQ(groups.recordCount(), 1);

    // A delete that fails half-way leaves the group and its links.
    db().exec(QStringLiteral("CREATE TRIGGER keep_groups BEFORE DELETE ON GroupMaster BEGIN SELECT RAISE(ABORT, 'locked'); END"));
    groups.moveFirst();
    EXPECT_THROW(deleteCurrentGroup(db(), groups), store::StoreError);
    EXPECT_EQ(fixture::members(db(), QStringLiteral("KEEP")), QList<qint64>{a});
    EXPECT_EQ(groups.recordCount(), 1);
}

TEST_F(MastersLogicTest, MembershipSaveReplacesTheGroupOrKeepsItWhole)
{
    const qint64 a = fixture::addScrip(db(), QStringLiteral("A"), {}, {});
    const qint64 b = fixture::addScrip(db(), QStringLiteral("B"), {}, {});
    const qint64 c = fixture::addScrip(db(), QStringLiteral("C"), {}, {});
    fixture::addGroup(db(), QStringLiteral("G"), QStringLiteral("Group"));
    fixture::addGroup(db(), QStringLiteral("H"), QStringLiteral("Other"));
    fixture::link(db(), QStringLiteral("G"), a);
    fixture::link(db(), QStringLiteral("H"), a);

    saveMembership(db(), QStringLiteral("G"), {b, 0, c, b});
    EXPECT_EQ(fixture::members(db(), QStringLiteral("G")), (QList<qint64>{b, c}));
    EXPECT_EQ(fixture::members(db(), QStringLiteral("H")), QList<qint64>{a});

    fixture::failLinksOf(db(), a);
    EXPECT_THROW(saveMembership(db(), QStringLiteral("G"), {a, b}), store::StoreError);
    EXPECT_EQ(fixture::members(db(), QStringLiteral("G")), (QList<qint64>{b, c}));
}

TEST_F(MastersLogicTest, LinkedAndUnlinkedListsByNameWithProgress)
{
    const qint64 zeta = fixture::addScrip(db(), QStringLiteral("Zeta"), {}, {});
    const qint64 alpha = fixture::addScrip(db(), QStringLiteral("alpha"), {}, {});
    const qint64 beta = fixture::addScrip(db(), QStringLiteral("Beta"), {}, {});
    fixture::addGroup(db(), QStringLiteral("G'1"), QStringLiteral("Quoted"));
    fixture::link(db(), QStringLiteral("G'1"), zeta);
    fixture::link(db(), QStringLiteral("G'1"), 999);  // a link to no scrip does not show

    QList<int> values;
    const LinkedScripts lists =
        getLinkedScripts(db(), QStringLiteral("G'1"), [&](int value, int) { values.append(value); });
    ASSERT_EQ(lists.linked.size(), 1);
    EXPECT_EQ(lists.linked[0].srno, zeta);
    ASSERT_EQ(lists.unlinked.size(), 2);
    EXPECT_EQ(lists.unlinked[0].srno, alpha);
    EXPECT_EQ(lists.unlinked[1].srno, beta);
    ASSERT_FALSE(values.isEmpty());
    EXPECT_EQ(values.first(), 10);
    EXPECT_EQ(values.last(), 0);

    const LinkedScripts empty = getLinkedScripts(db(), QStringLiteral("NONE"));
    EXPECT_TRUE(empty.linked.isEmpty());
    EXPECT_EQ(empty.unlinked.size(), 3);
    EXPECT_TRUE(getGrpCode(db()).size() == 1);
    EXPECT_EQ(getScripCode(db()).first().company, QStringLiteral("alpha"));
}

TEST_F(MastersLogicTest, LikePatternsAndPrefixes)
{
    EXPECT_TRUE(likeMatches(QStringLiteral("Abbott India"), QStringLiteral("ab*")));
    EXPECT_TRUE(likeMatches(QStringLiteral("aBc"), QStringLiteral("A?C")));
    EXPECT_FALSE(likeMatches(QStringLiteral("ac"), QStringLiteral("a?c")));
    EXPECT_TRUE(likeMatches(QStringLiteral("3M India"), QStringLiteral("#M*")));
    EXPECT_TRUE(likeMatches(QStringLiteral("Bata"), QStringLiteral("[a-c]*")));
    EXPECT_FALSE(likeMatches(QStringLiteral("Bata"), QStringLiteral("[!a-c]*")));
    EXPECT_TRUE(likeMatches(QStringLiteral("O'Neil (India)."), QStringLiteral("o'neil (*).")));
    EXPECT_FALSE(likeMatches(QStringLiteral("Alpha"), QStringLiteral("[al*")));
    EXPECT_TRUE(startsWithText(QStringLiteral("O'Neil"), QStringLiteral("o'n")));
}

TEST_F(MastersLogicTest, HeaderSortTogglesAndSkipsFillers)
{
    HeaderSortToggle toggle;
    EXPECT_TRUE(toggle.click(QStringLiteral("Nse Code"))->ascending);
    EXPECT_FALSE(toggle.click(QStringLiteral("Nse Code"))->ascending);
    EXPECT_TRUE(toggle.click(QStringLiteral("Nse Code"))->ascending);
    EXPECT_TRUE(toggle.click(QStringLiteral("Script"))->ascending);
    EXPECT_FALSE(toggle.click(QString(QChar(0x00A0))).has_value());
}

TEST_F(MastersLogicTest, ScripSearchFilters)
{
    fixture::addScrip(db(), QStringLiteral("ABC Mills"), QStringLiteral("ABCM"), QStringLiteral("500100"));
    fixture::addScrip(db(), QStringLiteral("abcd Tech"), QStringLiteral("ABCD"), QStringLiteral("500200"));
    fixture::addScrip(db(), QStringLiteral("O'Neil"), QStringLiteral("ONEIL"), QStringLiteral("500300"));
    auto scrips = store::Recordset::fromQuery(db(), scripSearchSql());
    const auto countWith = [&](ScripSearchField field, const QString& text) {
        scrips.setFilter(scripSearchFilter(scrips, field, text));
        return scrips.recordCount();
    };
    EXPECT_EQ(countWith(ScripSearchField::Script, QStringLiteral(" abc ")), 2);
    EXPECT_EQ(countWith(ScripSearchField::Script, QStringLiteral("o'n")), 1);
    EXPECT_EQ(countWith(ScripSearchField::NseCode, QStringLiteral("abcm ")), 1);
    EXPECT_EQ(countWith(ScripSearchField::BseCode, QStringLiteral("500100")), 1);
    EXPECT_EQ(countWith(ScripSearchField::BseCode, QStringLiteral("500100 ")), 0);
}

TEST_F(MastersLogicTest, TypeAheadFollowsTheColumnKind)
{
    fixture::addScrip(db(), QStringLiteral("Beta"), {}, {});
    fixture::addScrip(db(), QStringLiteral("O'Neil"), {}, {});
    auto scrips = store::Recordset::fromTable(db(), QStringLiteral("ScripMaster"), QStringLiteral("ORDER BY company"));
    const int company = scrips.fieldIndex(QStringLiteral("company"));
    const int srno = scrips.fieldIndex(QStringLiteral("srno"));
    ASSERT_TRUE(typeAheadCriterion(scrips, company, QStringLiteral("o'")));
    EXPECT_TRUE(scrips.find(*typeAheadCriterion(scrips, company, QStringLiteral("o'"))));
    EXPECT_EQ(scrips.value(QStringLiteral("company")).toString(), QStringLiteral("O'Neil"));
    EXPECT_FALSE(typeAheadCriterion(scrips, srno, QStringLiteral("be")).has_value());
    EXPECT_TRUE(scrips.find(*typeAheadCriterion(scrips, srno, QStringLiteral("1"))));
    EXPECT_EQ(scrips.value(QStringLiteral("company")).toString(), QStringLiteral("Beta"));
    EXPECT_FALSE(typeAheadCriterion(scrips, company, QString()).has_value());
}

}  // namespace
