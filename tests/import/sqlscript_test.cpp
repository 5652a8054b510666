#include "import/sqlscriptscreen.h"
#include "import/sqlscriptgenerator.h"
#include "support/fakeservices.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"

#include <QDateEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace import;

namespace {

QStringList tableRows(store::Database& db, const QString& select)
{
    QStringList rows;
    for (const auto& row : db.query(select).rows) {
        QStringList values;
        for (const QVariant& value : row)
            values.append(value.isNull() ? QStringLiteral("<null>") : value.toString());
        rows.append(values.join(QLatin1Char('|')));
    }
    return rows;
}

// Runs a script line by line, as another copy of the database would.
void runScript(store::Database& db, const QString& script)
{
    for (const QString& line : script.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        db.execScript(line);
}

}  // namespace

TEST(SqlScript, LinesAsTheOtherCopyExpectsThem)
{
    TestStore store;
    store::Database& db = store.db();
    EXPECT_EQ(sqlscript::linkDetailsScript(db), QString());
    EXPECT_EQ(sqlscript::hiloScript(db), "delete from hilo;");

    db.exec("INSERT INTO LinkDetails (GrpCode, ScrCode) VALUES ('Derivative', 5), ('ALL', 12)");
    EXPECT_EQ(sqlscript::linkDetailsScript(db),
              " insert into linkdetails values ('Derivative',5);\r\n insert into linkdetails values ('ALL',12);\r\n");
    db.exec("INSERT INTO hilo VALUES ('ACME', 210.5, 99, 150.25)");
    EXPECT_EQ(sqlscript::hiloScript(db), "delete from hilo; insert into hilo values ('ACME',210.5,99,150.25);\r\n");
    db.exec("INSERT INTO GainLoss VALUES ('2024-03-04', 'ACME', 110, 100, 10, 'Gain'), "
            "('2024-03-05', 'BOLT', 90, 100, -10, 'Loss')");
    EXPECT_EQ(sqlscript::gainLossScript(db, QDate(2024, 3, 4)),
              " insert into gainloss values ('2024-03-04','ACME',110,100,10,'Gain');\r\n");
}

TEST(SqlScript, ScriptsRebuildTheSameRowsWhateverTheyHold)
{
    TestStore source, copy;
    const QString hostile = QStringLiteral("X'); DROP TABLE mto; --");
    source.db().exec("INSERT INTO LinkDetails (GrpCode, ScrCode) VALUES ('O''Brien''s', 3), (?, 4)", {hostile});
    source.db().exec("INSERT INTO GainLoss VALUES ('2024-03-04', ?, 0.1, NULL, 1e-7, NULL), "
                     "('2024-03-04', 'ZETA', 123456789.125, 2, -3.5, 'Loss')",
                     {hostile});
    source.db().exec("INSERT INTO hilo VALUES (?, NULL, 1.0, 2.75)", {hostile});

    runScript(copy.db(), sqlscript::linkDetailsScript(source.db()));
    runScript(copy.db(), sqlscript::gainLossScript(source.db(), QDate(2024, 3, 4)));
    runScript(copy.db(), sqlscript::hiloScript(source.db()));

    EXPECT_TRUE(copy.db().tableExists("mto"));
    for (const char* select : {"SELECT GrpCode, ScrCode FROM LinkDetails ORDER BY rowid",
                               "SELECT trndate, Script, ClosePrice, PrevClose, perc, gainloss, typeof(trndate) FROM "
                               "GainLoss ORDER BY rowid",
                               "SELECT Script, Hi52Week, Lo52week, ClosePrice FROM hilo ORDER BY rowid"})
        EXPECT_EQ(tableRows(copy.db(), select), tableRows(source.db(), select)) << select;
}

TEST(SqlScriptScreen, EachButtonFillsTheBoxAfterItsMessage)
{
    FakeServices services;
    ScriptedPrompt prompt;
    services.database().exec("INSERT INTO LinkDetails (GrpCode, ScrCode) VALUES ('Derivative', 5)");
    services.database().exec("INSERT INTO GainLoss VALUES ('2024-03-04', 'ACME', 110, 100, 10, 'Gain')");
    SqlScriptScreen screen(services);
    EXPECT_EQ(screen.windowTitle(), "Generate SQL Script");
    auto* box = screen.findChild<QPlainTextEdit*>("Text1");
    ASSERT_NE(box, nullptr);

    const QList<std::tuple<const char*, const char*, QString>> buttons{
        {"Command1", "MTO", " insert into linkdetails values ('Derivative',5);\r\n"},
        {"Command2", "GainLoss", QString()},
        {"Command3", "HiLo", "delete from hilo;"},
    };
    for (const auto& [name, caption, script] : buttons) {
        auto* button = screen.findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->text(), caption);
        box->setPlainText("old");
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(prompt.lastText(), QString(caption) + " - Data Exported");
        EXPECT_EQ(box->toPlainText(), QString(script).replace("\r\n", "\n")) << name;
    }
    // The picked day chooses the GainLoss rows.
    screen.findChild<QDateEdit*>("DTPicker1")->setDate(QDate(2024, 3, 4));
    QTest::mouseClick(screen.findChild<QPushButton*>("Command2"), Qt::LeftButton);
    EXPECT_TRUE(box->toPlainText().contains("'2024-03-04','ACME',110,100,10,'Gain'"));
}
