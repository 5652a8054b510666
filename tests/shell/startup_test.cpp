#include "shell/inifile.h"
#include "shell/startup.h"
#include "store/database.h"
#include "store/schema.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using Status = shell::StartupResult::Status;

namespace {

QString settingPath(const QString& folder)
{
    return shell::readIni(shell::iniFileName(folder), QStringLiteral("Settings"), QStringLiteral("Path"), QString());
}

}  // namespace

TEST(Startup, FirstStartCreatesTheDefaultStoresWithEveryTable)
{
    QTemporaryDir dir;
    ScriptedPrompt prompt;
    store::Database db;
    const auto result = shell::openMainStore(dir.path(), db, prompt);
    ASSERT_EQ(result.status, Status::Opened);
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_EQ(result.databasePath, dir.filePath(QStringLiteral("mto.db")));
    for (const QString& table : store::mainTableNames())
        EXPECT_TRUE(db.tableExists(table)) << table.toStdString();

    store::Database options;
    options.openExisting(result.optionPath);
    EXPECT_TRUE(options.tableExists(QStringLiteral("allscript")));
    EXPECT_TRUE(settingPath(dir.path()).isEmpty());
}

TEST(Startup, AMissingStoreIsLocatedAndItsPathWritten)
{
    QTemporaryDir dir;
    const QString located = dir.filePath(QStringLiteral("elsewhere.db"));
    {
        store::Database other;
        other.open(located);
        other.exec(QStringLiteral("CREATE TABLE keep (x)"));
    }
    shell::writeIni(shell::iniFileName(dir.path()), QStringLiteral("Settings"), QStringLiteral("Path"),
                    dir.filePath(QStringLiteral("gone.db")));

    ScriptedPrompt prompt;
    prompt.files.enqueue(located);
    store::Database db;
    const auto result = shell::openMainStore(dir.path(), db, prompt);
    ASSERT_EQ(result.status, Status::Opened);
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].text, QStringLiteral("The Database File Is Missing Please Locate It"));
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Information);
    EXPECT_EQ(settingPath(dir.path()), located);
    EXPECT_EQ(db.path(), located);
    EXPECT_TRUE(db.tableExists(QStringLiteral("keep")));
    EXPECT_TRUE(db.tableExists(QStringLiteral("mto")));
}

TEST(Startup, CancellingTheLocateDialogGivesUpAndChangesNothing)
{
    QTemporaryDir dir;
    const QString gone = dir.filePath(QStringLiteral("gone.db"));
    shell::writeIni(shell::iniFileName(dir.path()), QStringLiteral("Settings"), QStringLiteral("Path"), gone);
    ScriptedPrompt prompt;
    store::Database db;
    const auto result = shell::openMainStore(dir.path(), db, prompt);
    EXPECT_EQ(result.status, Status::Cancelled);
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(settingPath(dir.path()), gone);
    EXPECT_FALSE(QFile::exists(gone));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("mto.db"))));
}

TEST(Startup, AFileThatIsNotADatabaseIsReportedWithTheReason)
{
    QTemporaryDir dir;
    const QString junk = dir.filePath(QStringLiteral("junk.db"));
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(2048, 'j'));
    file.close();
    shell::writeIni(shell::iniFileName(dir.path()), QStringLiteral("Settings"), QStringLiteral("Path"), junk);
    ScriptedPrompt prompt;
    store::Database db;
    const auto result = shell::openMainStore(dir.path(), db, prompt);
    EXPECT_EQ(result.status, Status::Failed);
    EXPECT_TRUE(result.error.contains(QStringLiteral("junk.db")));
    EXPECT_TRUE(result.error.contains(QStringLiteral("not a database")));
    EXPECT_FALSE(db.isOpen());
}

TEST(Startup, TheStoreCheckNamesADamagedStoreAndPassesASoundOne)
{
    TestStore store;
    store.db().exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                                   "INSERT INTO mto (TransDate, scriptcode) SELECT '2024-01-02', i FROM n"));
    ScriptedPrompt prompt;
    for (const bool damaged : {false, true}) {
        if (damaged)
            store.damage(QStringLiteral("mto_day_scrip"));
        shell::StoreCheck check(store.path(), prompt);
        QSignalSpy finished(&check, &shell::StoreCheck::finished);
        ASSERT_TRUE(finished.wait(10000));
        EXPECT_EQ(finished.at(0).at(0).toStringList().isEmpty(), !damaged);
        QCoreApplication::processEvents();
    }
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Critical);
    EXPECT_TRUE(prompt.lastText().startsWith(QStringLiteral("The database \"%1\" is damaged.").arg(store.path())))
        << prompt.lastText().toStdString();
    EXPECT_LE(prompt.lastText().count(QLatin1Char('\n')), 10);  // a few findings, not pages of them
}
