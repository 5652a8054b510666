#include "shell/startup.h"
#include "shell/inifile.h"
#include "store/database.h"
#include "store/schema.h"
#include "support/filepermissions.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

using Status = shell::StartupResult::Status;

namespace {

class Startup : public ::testing::Test {
protected:
    shell::StartupResult start() { return shell::openMainStore(dir.path(), db, prompt); }
    QString file(const char* name) const { return dir.filePath(name); }
    QString pathSetting() const
    {
        return shell::readIni(shell::iniFileName(dir.path()), "Settings", "Path", QString());
    }
    void setPathSetting(const QString& path) const
    {
        shell::writeIni(shell::iniFileName(dir.path()), "Settings", "Path", path);
    }
    QTemporaryDir dir;
    ScriptedPrompt prompt;
    store::Database db;
};

TEST_F(Startup, FirstStartCreatesTheDefaultStoresWithEveryTable)
{
    const auto result = start();
    ASSERT_EQ(result.status, Status::Opened);
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_EQ(result.databasePath, file("mto.db"));
    for (const QString& table : store::mainTableNames())
        EXPECT_TRUE(db.tableExists(table)) << table.toStdString();
    store::Database options;
    options.openExisting(result.optionPath);
    EXPECT_TRUE(options.tableExists("allscript"));
    EXPECT_TRUE(pathSetting().isEmpty());
}

TEST_F(Startup, AMissingStoreIsLocatedAndItsPathWrittenOrCancellingChangesNothing)
{
    setPathSetting(file("gone.db"));
    EXPECT_EQ(start().status, Status::Cancelled);
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(pathSetting(), file("gone.db"));
    EXPECT_FALSE(QFile::exists(file("gone.db")));
    EXPECT_FALSE(QFile::exists(file("mto.db")));

    const QString located = file("elsewhere.db");
    {
        store::Database other;
        other.open(located);
        other.exec("CREATE TABLE keep (x)");
    }
    prompt.files.enqueue(located);
    ASSERT_EQ(start().status, Status::Opened);
    EXPECT_EQ(prompt.texts(), QStringList(2, "The Database File Is Missing Please Locate It"));
    EXPECT_EQ(prompt.messages[1].icon, ui::Icon::Information);
    EXPECT_EQ(pathSetting(), located);
    EXPECT_EQ(db.path(), located);
    EXPECT_TRUE(db.tableExists("keep"));
    EXPECT_TRUE(db.tableExists("mto"));
}

TEST_F(Startup, AFileThatIsNotADatabaseIsReportedWithTheReason)
{
    QFile junk(file("junk.db"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(2048, 'j'));
    junk.close();
    setPathSetting(junk.fileName());
    const auto result = start();
    EXPECT_EQ(result.status, Status::Failed);
    EXPECT_TRUE(result.error.contains("junk.db") && result.error.contains("not a database"))
        << result.error.toStdString();
    EXPECT_FALSE(db.isOpen());
}

TEST_F(Startup, AStoreThatLostATableOrCanOnlyBeReadIsToldAndLeftAsItIs)
{
    ASSERT_EQ(start().status, Status::Opened);
    const QString path = file("mto.db");
    db.exec("INSERT INTO ScripMaster (srno, company) VALUES (7, 'Abcde Ltd')");
    db.exec("DROP TABLE mto");
    db.close();

    // The lost table is damage: named with the file, and not made again empty.
    auto result = start();
    ASSERT_EQ(result.status, Status::Opened);
    ASSERT_EQ(result.notices.size(), 1);
    EXPECT_EQ(result.notices[0].icon, ui::Icon::Critical);
    EXPECT_EQ(result.notices[0].text, shell::damagedStoreMessage(path, {"the table \"mto\" is missing"}));
    EXPECT_FALSE(db.tableExists("mto"));
    EXPECT_EQ(db.scalar("SELECT company FROM ScripMaster").toString(), QStringLiteral("Abcde Ltd"));
    store::createMainSchema(db);
    db.close();

    // A sound store opens without a word; one that can only be read says so.
    EXPECT_TRUE(start().notices.isEmpty());
    db.close();
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    {
        PermissionsBind bind;
        result = start();
        ASSERT_EQ(result.status, Status::Opened) << result.error.toStdString();
        EXPECT_TRUE(db.isReadOnly());
        ASSERT_EQ(result.notices.size(), 1);
        EXPECT_EQ(result.notices[0].icon, ui::Icon::Warning);
        EXPECT_EQ(result.notices[0].text, shell::readOnlyStoreMessage(path));
        EXPECT_TRUE(result.notices[0].text.startsWith(QStringLiteral("The database \"%1\" is read-only").arg(path)));
        EXPECT_EQ(db.scalar("SELECT company FROM ScripMaster").toString(), QStringLiteral("Abcde Ltd"));
        db.close();
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

TEST(StoreCheck, NamesADamagedStoreAndPassesASoundOne)
{
    TestStore store;
    store.db().exec(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
        "INSERT INTO mto (TransDate, scriptcode) SELECT '2024-01-02', i FROM n");
    ScriptedPrompt prompt;
    for (const bool damaged : {false, true}) {
        if (damaged)
            store.damage("mto_day_scrip");
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
    EXPECT_LE(prompt.lastText().count('\n'), 10);  // a few findings, not pages of them
}

}  // namespace
