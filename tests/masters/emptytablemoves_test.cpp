// The moves of every master form on an empty table and on a table with rows.
// With no row to stand on, the moves to the first and last row (Home, End,
// Ctrl+Up, Ctrl+Down, the First and Last buttons) are refused with what Edit
// says there; Down and Up are refused the same way on the forms that step
// without first asking for rows, and do nothing on the scrip master; Delete
// asks, and on Yes is refused likewise. With rows, the same keys move and say
// nothing.
#include "masters/groupmasterform.h"
#include "masters/mastersfixture.h"
#include "masters/scripmasterform.h"
#include "portfolio/portfoliomasterform.h"
#include "portfolio/singleentryform.h"

#include <functional>

namespace {

struct MoveKey {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};

const QList<MoveKey> kToFirstOrLast{{"Home", Qt::Key_Home, Qt::NoModifier},
                                    {"End", Qt::Key_End, Qt::NoModifier},
                                    {"Ctrl+Up", Qt::Key_Up, Qt::ControlModifier},
                                    {"Ctrl+Down", Qt::Key_Down, Qt::ControlModifier}};
const QList<MoveKey> kSteps{{"Down", Qt::Key_Down, Qt::NoModifier}, {"Up", Qt::Key_Up, Qt::NoModifier}};

struct FormUnderTest {
    const char* caption;
    std::function<masters::MasterForm*(store::Database&)> open;
    bool stepsRefusedWhenEmpty;
    // Writes three rows whose first and last in the form's order show
    // `first` and `last` in the box `box`.
    std::function<void(store::Database&)> addRows;
    const char* box;
    QString first;
    QString last;
};

void PrintTo(const FormUnderTest& under, std::ostream* out)
{
    *out << under.caption;
}

class EmptyTableMoves : public ::testing::TestWithParam<FormUnderTest> {
protected:
    void TearDown() override { delete form.data(); }

    // "title: text" of each message shown since the last call.
    QString said()
    {
        QStringList result;
        for (const ui::Message& message : prompt.messages)
            result.append(message.title + ": " + message.text +
                          (message.buttons == ui::Buttons::Ok ? QString() : QStringLiteral(" (not OK only)")));
        prompt.messages.clear();
        return result.join(" | ");
    }
    void pressKey(const MoveKey& key) { QTest::keyClick(form, key.key, key.modifiers); }
    QString shown() const { return form->findChild<QLineEdit*>(GetParam().box)->text(); }

    TestStore store;
    ScriptedPrompt prompt;
    QPointer<masters::MasterForm> form;
};

}  // namespace

TEST_P(EmptyTableMoves, RefusedLikeEditOnAnEmptyTableAndMovingWithRows)
{
    const FormUnderTest& under = GetParam();
    form = under.open(store.db());  // No to entering a row at once
    form->show();
    said();
    form->Toolbar1_ButtonClick("Edit");
    const QString refusal = said();
    ASSERT_TRUE(refusal.startsWith("Tarvenix: ")) << refusal;
    ASSERT_FALSE(refusal.contains(" | ")) << refusal;

    for (const MoveKey& key : kToFirstOrLast) {
        pressKey(key);
        EXPECT_EQ(said(), refusal) << key.name;
    }
    for (const char* button : {"First", "Last"}) {
        form->Toolbar1_ButtonClick(button);
        EXPECT_EQ(said(), refusal) << button;
    }
    for (const MoveKey& key : kSteps) {
        pressKey(key);
        EXPECT_EQ(said(), under.stepsRefusedWhenEmpty ? refusal : QString()) << key.name;
    }
    // Delete asks first: No says nothing more, Yes says what Edit says.
    const QString question = "Message: Delete this record? (not OK only)";
    form->Toolbar1_ButtonClick("Delete");
    EXPECT_EQ(said(), question);
    prompt.answers.enqueue(ui::Answer::Yes);
    form->Toolbar1_ButtonClick("Delete");
    EXPECT_EQ(said(), question + " | " + refusal);
    EXPECT_FALSE(form->isAddingNew() || form->isEditing());
    EXPECT_EQ(shown(), "");

    under.addRows(store.db());
    form->adoPrimaryRS().requery();
    const QList<QPair<MoveKey, QString>> movesWithRows{{kToFirstOrLast[1], under.last},
                                                       {kToFirstOrLast[0], under.first},
                                                       {kToFirstOrLast[3], under.last},
                                                       {kToFirstOrLast[2], under.first}};
    for (const auto& [key, expected] : movesWithRows) {
        pressKey(key);
        EXPECT_EQ(shown(), expected) << key.name;
    }
    EXPECT_EQ(said(), "");
}

INSTANTIATE_TEST_SUITE_P(
    EveryMasterForm, EmptyTableMoves,
    ::testing::Values(
        FormUnderTest{"StockMaster",
                      [](store::Database& db) { return new masters::ScripMasterForm(db); },
                      false,
                      [](store::Database& db) {
                          fixture::addScrip(db, "Bata India", "BATAINDIA", "500043");
                          fixture::addScrip(db, "Axis Bank", "AXISBANK", "532215");
                          fixture::addScrip(db, "Zee Ltd", "ZEEL", "505537");
                      },
                      "Text2", "Axis Bank", "Zee Ltd"},
        FormUnderTest{"GroupMaster",
                      [](store::Database& db) { return new masters::GroupMasterForm(db); },
                      true,
                      [](store::Database& db) {
                          fixture::addGroup(db, "PHARMA", "Pharma");
                          fixture::addGroup(db, "AUTO", "Automobiles");
                          fixture::addGroup(db, "TEXT", "Textiles");
                      },
                      "Text1", "AUTO", "TEXT"},
        FormUnderTest{"PortfolioMaster",
                      [](store::Database& db) { return new portfolio::PortfolioMasterForm(db); },
                      true,
                      [](store::Database& db) {
                          db.execScript("INSERT INTO PortfolioMaster (Code, Name) VALUES (1, 'Mid'), (2, 'Alpha'), "
                                        "(3, 'Zeta')");
                      },
                      "Text2", "Alpha", "Zeta"},
        FormUnderTest{"PortfolioManager",
                      [](store::Database& db) { return new portfolio::SingleEntryForm(db); },
                      true,
                      [](store::Database& db) {
                          db.execScript("INSERT INTO PortfolioManager (code, srno, Qty) VALUES (7, 1, 70), (3, 1, 30), "
                                        "(9, 1, 90)");
                      },
                      "Text1", "3", "9"}),
    [](const ::testing::TestParamInfo<FormUnderTest>& info) { return std::string(info.param.caption); });
