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

#include <stdexcept>

using namespace masters;

namespace {

class MastersLogicTest : public ::testing::Test {
protected:
    TestStore store;
    store::Database& db() { return store.db(); }
    qint64 scrip(const QString& company) { return fixture::addScrip(db(), company, {}, {}); }
    QList<qint64> members(const QString& code) { return fixture::members(db(), code); }
};

// "U" unique, "D" duplicate, "F" failed, as the check's own questions answer.
QString outcome(const DuplicateCheck& check)
{
    return QString(check.isUnique() ? "U" : "") + (check.isDuplicate() ? "D" : "") + (check.failed() ? "F" : "");
}

TEST_F(MastersLogicTest, DuplicateCheckCountsByModeBindsTheValueAndFailsWhenItCannotRun)
{
    fixture::addScrip(db(), "O'Neil Industries", "ONEIL", "500001");
    fixture::addScrip(db(), "Alpha", "ALPHA", "500002");
    fixture::addScrip(db(), "alpha", "ALPHA2", "500003");
    db().exec("INSERT INTO BulkDeals (DealDate, Symbol) VALUES ('2026-12-05', 'ABC')");
    const struct {
        const char *table, *field, *type, *value, *mode, *outcome;
    } cases[] = {
        {"ScripMaster", "company", "T", "O'Neil Industries", "I", "D"},
        {"ScripMaster", "company", "T", "Beta", "i", "U"},
        {"ScripMaster", "company", "T", "O'Neil Industries", "U", "U"},  // the edited row itself holds it
        {"ScripMaster", "company", "t", "ALPHA", "u", "D"},              // two rows, compared without case
        {"ScripMaster", "srno", "N", " 2 ", "I", "D"},
        {"ScripMaster", "company", "T", "Alpha", "X", "U"},
        {"ScripMaster", "company", "T", "x' OR '1'='1", "I", "U"},  // only a value
        {"NoSuchTable", "x", "T", "a", "I", "F"},
        {"ScripMaster", "company = company OR 1", "T", "a", "I", "F"},
        {"ScripMaster", "srno", "N", "1 OR 1=1", "I", "F"},
        {"ScripMaster", "company", "Q", "a", "I", "F"},
        {"BulkDeals", "DealDate", "D", "31/Feb/2026", "I", "F"},
        {"BulkDeals", "DealDate", "D", "05/dec/2026", "I", "D"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(outcome(checkDuplicate(db(), c.table, c.field, c.type, c.value, c.mode)), c.outcome)
            << c.field << " " << c.value << " " << c.mode;
    EXPECT_EQ(fixture::count(db(), "ScripMaster"), 3);

    // The reporting form tells the user, with its own title.
    ScriptedPrompt prompt;
    EXPECT_EQ(outcome(CheckDuplicateData(db(), "NoSuchTable", "x", "T", "a", "I")), "F");
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].title, "Error In CheckDuplicateData Function ... ");
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Critical);
}

TEST_F(MastersLogicTest, NullToZeroProtectedGroupsLikePatternsAndHeaderSort)
{
    for (const QVariant& empty : {QVariant(), QVariant(QString()), QVariant(""), db().scalar("SELECT NULL")})
        EXPECT_EQ(NullToZero(empty), 0);
    EXPECT_DOUBLE_EQ(NullToZero(QVariant("12.5")), 12.5);
    EXPECT_DOUBLE_EQ(NullToZero(QVariant(qint64(7))), 7);
    EXPECT_THROW(NullToZero(QVariant("abc")), std::invalid_argument);

    for (const char* code : {"ALL", " nifty ", "NiftyJun", "banks", "  TOP 100 TO", "software  "})
        EXPECT_TRUE(isProtectedGroup(code)) << code;
    for (const char* code : {"Derivative", "BSE100", "TOP 100", "NIFTY50", ""})
        EXPECT_FALSE(isProtectedGroup(code)) << code;

    const struct {
        const char *text, *pattern;
        bool matches;
    } likes[] = {{"Abbott India", "ab*", true}, {"aBc", "A?C", true},
                 {"ac", "a?c", false},          {"3M India", "#M*", true},
                 {"Bata", "[a-c]*", true},      {"Bata", "[!a-c]*", false},
                 {"Alpha", "[al*", false},      {"O'Neil (India).", "o'neil (*).", true},
                 {"AM India", "#M*", false}};
    for (const auto& like : likes)
        EXPECT_EQ(likeMatches(like.text, like.pattern), like.matches) << like.text << " " << like.pattern;
    EXPECT_TRUE(startsWithText("O'Neil", "o'n"));

    // Ascending, descending, ascending on one column is the search grid's test.
    HeaderSortToggle toggle;
    EXPECT_TRUE(toggle.click("Nse Code")->ascending);
    EXPECT_TRUE(toggle.click("Script")->ascending);
    EXPECT_FALSE(toggle.click(QString(QChar(0x00A0))).has_value());
}

TEST_F(MastersLogicTest, GroupSaveWritesTheLinksItIsHandedWithTheGroup)
{
    const qint64 a = scrip("A"), b = scrip("B");
    fixture::addGroup(db(), "OLD", "Old group");
    auto groups = store::Recordset::fromTable(db(), "GroupMaster", "ORDER BY GroupName");

    // Zero slots (names that matched no scrip) and repeats are not written.
    const QList<qint64> scrips{a, 0, b, a, 0};
    groups.addNew();
    groups.setValue("GroupCode", "NEW");
    groups.setValue("GroupName", "New group");
    EXPECT_EQ(saveGroup(db(), groups, "NEW", "New group", &scrips), 2);
    EXPECT_EQ(members("NEW"), (QList<qint64>{a, b}));
    EXPECT_EQ(groups.value("GroupCode").toString(), "NEW");

    // An edited group takes the scrips it is handed too (a group made from
    // a result is written at the next save of any group).
    ASSERT_TRUE(groups.find("GroupCode", "OLD"));
    groups.edit();
    groups.setValue("GroupName", "Renamed");
    EXPECT_EQ(saveGroup(db(), groups, "OLD", "Renamed", &scrips), 2);
    EXPECT_EQ(members("OLD"), (QList<qint64>{a, b}));
    EXPECT_EQ(db().scalar("SELECT GroupName FROM GroupMaster WHERE GroupCode = 'OLD'").toString(), "Renamed");
}

// A delete that fails half-way leaves the group and its links (the group
// master's test deletes one that goes).
TEST_F(MastersLogicTest, AFailedGroupDeleteLeavesTheGroupAndItsLinks)
{
    fixture::addGroup(db(), "KEEP", "Kept");
    fixture::link(db(), "KEEP", 1);
    db().exec("CREATE TRIGGER keep_groups BEFORE DELETE ON GroupMaster BEGIN SELECT RAISE(ABORT, 'locked'); END");
    auto groups = store::Recordset::fromTable(db(), "GroupMaster");
    EXPECT_THROW(deleteCurrentGroup(db(), groups), store::StoreError);
    EXPECT_EQ(members("KEEP"), QList<qint64>{1});
    EXPECT_EQ(groups.recordCount(), 1);
}

TEST_F(MastersLogicTest, MembershipSaveReplacesTheGroupWithoutBlanksOrRepeats)
{
    const qint64 a = scrip("A"), b = scrip("B"), c = scrip("C");
    fixture::addGroup(db(), "G", "Group");
    fixture::addGroup(db(), "H", "Other");
    fixture::link(db(), "G", a);
    fixture::link(db(), "H", a);
    saveMembership(db(), "G", {b, 0, c, b});
    EXPECT_EQ(members("G"), (QList<qint64>{b, c}));
    EXPECT_EQ(members("H"), QList<qint64>{a});
}

TEST_F(MastersLogicTest, LinkedAndUnlinkedListsByNameWithProgress)
{
    const qint64 zeta = scrip("Zeta"), alpha = scrip("alpha"), beta = scrip("Beta");
    fixture::addGroup(db(), "G'1", "Quoted");
    fixture::link(db(), "G'1", zeta);
    fixture::link(db(), "G'1", 999);  // a link to no scrip does not show
    QList<int> values;
    const LinkedScripts lists = getLinkedScripts(db(), "G'1", [&](int value, int) { values.append(value); });
    const auto numbers = [](const QList<ScripEntry>& entries) {
        QList<qint64> result;
        for (const ScripEntry& entry : entries)
            result.append(entry.srno);
        return result;
    };
    EXPECT_EQ(numbers(lists.linked), QList<qint64>{zeta});
    EXPECT_EQ(numbers(lists.unlinked), (QList<qint64>{alpha, beta}));
    ASSERT_FALSE(values.isEmpty());
    EXPECT_EQ(values.first(), 10);
    EXPECT_EQ(values.last(), 0);
    const LinkedScripts empty = getLinkedScripts(db(), "NONE");
    EXPECT_TRUE(empty.linked.isEmpty());
    EXPECT_EQ(empty.unlinked.size(), 3);
    EXPECT_EQ(getGrpCode(db()).size(), 1);
    EXPECT_EQ(getScripCode(db()).first().company, "alpha");
}

// Text and number type-ahead are walked by the browse window's test.
TEST_F(MastersLogicTest, NoTypeAheadForAnEmptyText)
{
    const auto table = store::Recordset::fromTable(db(), "ScripMaster");
    EXPECT_FALSE(typeAheadCriterion(table, table.fieldIndex("company"), QString()).has_value());
}

}  // namespace
