#include "shell/startup.h"
#include "shell/application.h"
#include "shell/inifile.h"
#include "shell/screenregistry.h"
#include "shell/singleinstance.h"
#include "store/database.h"
#include "store/schema.h"
#include "store/storecheck.h"
#include "support/filepermissions.h"
#include "support/scriptedprompt.h"
#include "support/storechecksum.h"
#include "support/teststore.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QScopeGuard>
#include <QFile>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using Status = shell::StartupResult::Status;

namespace {

// A scripted prompt that also lets the test look around as each message shows.
class WatchedPrompt : public ScriptedPrompt {
public:
    std::function<void(const ui::Message&)> onShow;
    ui::Answer show(const ui::Message& message) override
    {
        if (onShow)
            onShow(message);
        return ScriptedPrompt::show(message);
    }
};

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
    void writeFile(const QString& path, const QByteArray& bytes) const
    {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    QByteArray readFile(const QString& path) const
    {
        QFile in(path);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    // A store with every table at `path` as the program leaves it (in WAL
    // mode), holding a few thousand rows over many pages; returns its digest.
    std::string makeFilledStore(const QString& path)
    {
        store::Database filled;
        filled.open(path);
        store::createMainSchema(filled);
        filled.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                    "INSERT INTO mto (TransDate, scriptcode, NSEDelyQty) SELECT '2024-01-02', i, i * 1.5 FROM n");
        filled.exec("INSERT INTO ScripMaster (srno, company) VALUES (7, 'Abcde Ltd')");
        return storeChecksum(filled);
    }
    // The start opened the store at `path` read-only, told only that, and
    // every row of it is read as it was (`digest`).
    void expectOpenedReadOnlyWithEveryRow(const shell::StartupResult& result, const QString& path,
                                          const std::string& digest)
    {
        ASSERT_EQ(result.status, Status::Opened) << result.error.toStdString();
        EXPECT_TRUE(db.isReadOnly());
        EXPECT_TRUE(prompt.messages.isEmpty());
        ASSERT_EQ(result.notices.size(), 1);
        EXPECT_EQ(result.notices[0].text, shell::readOnlyStoreMessage(path));
        EXPECT_EQ(storeChecksum(db), digest);
        EXPECT_TRUE(store::quickCheck(path).isEmpty());  // the check after the start finds nothing wrong
    }
    QTemporaryDir dir;
    WatchedPrompt prompt;
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
    db.close();

    // A settings file saved by a Windows editor keeps its CR LF line ends.
    const QString ini = shell::iniFileName(dir.path());
    writeFile(ini, "[Settings]\r\nPath=" + file("gone.db").toUtf8() + "\r\nsottpath=/o.db\r\n");
    prompt.files.enqueue(located);
    ASSERT_EQ(start().status, Status::Opened);
    EXPECT_EQ(readFile(ini), "[Settings]\r\nPath=" + located.toUtf8() + "\r\nsottpath=/o.db\r\n");
}

// ... naming the file; a folder's name holding an ESC, a direction override
// and a line break is quoted with them written as codes.
TEST_F(Startup, AFileThatIsNotADatabaseIsReportedWithTheReason)
{
    const QString odd = file("odd\x1B[2J\u202Edb.\nx");
    ASSERT_TRUE(QDir().mkdir(odd));
    const QString oddShown = dir.path() + "/odd\\x1B[2J\\u202Edb.\\x0Ax";
    for (const auto& [folder, shown] : {std::pair(dir.path(), dir.path()), std::pair(odd, oddShown)}) {
        writeFile(folder + "/mto.db", QByteArray(2048, 'j'));
        const auto result = shell::openMainStore(folder, db, prompt);
        EXPECT_EQ(result.status, Status::Failed);
        EXPECT_EQ(result.error, "The database \"" + shown + "/mto.db\" could not be opened: file is not a database");
        EXPECT_FALSE(db.isOpen());
    }
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

// A settings or store file that is not what it seems is told to the user,
// naming it, before anything is created; a settings file saved as UTF-16 is
// read.
TEST_F(Startup, SettingsAndStoreFilesThatAreNotWhatTheySeemAreToldBeforeAnythingIsMade)
{
    const QString ini = shell::iniFileName(dir.path());
    const QString mto = file("mto.db"), options = file("option.db"), elsewhere = file("elsewhere.db");
    {
        store::Database other;
        other.open(elsewhere);
        other.exec("CREATE TABLE keep (x)");
    }
    auto startOver = [&] {
        db.close();
        prompt.messages.clear();
        QFile::remove(mto);
        QFile::remove(options);
        QFile::remove(ini);
    };

    // A named pipe in the settings file's place is refused without waiting
    // on it, and the start goes on as without settings.
    ASSERT_EQ(mkfifo(QFile::encodeName(ini).constData(), 0644), 0);
    auto started = std::async(std::launch::async, [this] { return start(); });
    if (started.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ADD_FAILURE() << "the start waits on the pipe";
        while (started.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready)
            ::close(::open(QFile::encodeName(ini).constData(), O_WRONLY | O_NONBLOCK));  // lets the reader go
    }
    auto result = started.get();
    EXPECT_EQ(result.status, Status::Opened);
    EXPECT_EQ(prompt.texts(), QStringList("The settings file \"" + ini +
                                          "\" cannot be read: it is not a regular file (a pipe, socket or device)."
                                          "\n\nThe program starts with its default settings."));
    EXPECT_EQ(prompt.messages.value(0).icon, ui::Icon::Warning);
    EXPECT_EQ(db.path(), mto);
    EXPECT_TRUE(QFile::exists(options));
    EXPECT_TRUE(QFileInfo::exists(ini) && !QFileInfo(ini).isFile());  // the pipe is left as it is
    startOver();

    // One that cannot be read may name a store elsewhere: the user hears why
    // and locates the store, and nothing is created or rewritten.
    const QByteArray settings = "[Settings]\nPath=" + elsewhere.toUtf8() + "\nsottpath=/opt/o.db\n";
    writeFile(ini, settings);
    ASSERT_TRUE(QFile::setPermissions(ini, QFileDevice::WriteOwner));
    {
        PermissionsBind bind;
        EXPECT_EQ(start().status, Status::Cancelled);
        prompt.files.enqueue(elsewhere);
        result = start();
    }
    const QString unreadable = "The settings file \"" + ini +
                               "\" cannot be read: Permission denied.\n\nIt may name the database to open: nothing "
                               "is opened or created until you locate the database.";
    const QString locate = "The Database File Is Missing Please Locate It";
    const QString notSaved = "The location of the database could not be saved in the settings file \"" + ini +
                             "\": it cannot be read (Permission denied), and writing it anew would lose the settings "
                             "it holds.\n\nThe database you chose is used for this start only: the next start asks "
                             "for it again.";
    EXPECT_EQ(prompt.texts(), QStringList({unreadable, locate, unreadable, locate, notSaved}));
    EXPECT_EQ(prompt.messages.last().icon, ui::Icon::Warning);
    ASSERT_EQ(result.status, Status::Opened);
    EXPECT_EQ(db.path(), elsewhere);
    EXPECT_TRUE(db.tableExists("keep"));
    EXPECT_FALSE(QFile::exists(mto));
    EXPECT_FALSE(QFile::exists(options));
    ASSERT_TRUE(QFile::setPermissions(ini, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QFile kept(ini);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), settings);
    kept.close();
    startOver();

    // Saved by a Windows editor: UTF-16 with a byte-order mark.
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    writeFile(ini, utf16.encode("[Settings]\r\nPath=" + elsewhere + "\r\n"));
    result = start();
    EXPECT_EQ(result.status, Status::Opened);
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_EQ(db.path(), elsewhere);
    EXPECT_FALSE(QFile::exists(mto));
    startOver();

    // An empty store file is no first start: it is told, naming it, before
    // its tables are made.
    writeFile(mto, {});
    qint64 sizeWhenTold = -1;
    prompt.onShow = [&](const ui::Message&) { sizeWhenTold = QFileInfo(mto).size(); };
    result = start();
    prompt.onShow = nullptr;
    ASSERT_EQ(result.status, Status::Opened);
    EXPECT_EQ(prompt.texts(), QStringList("The database \"" + mto +
                                          "\" is an empty file (0 bytes): it holds no tables and no data.\n\nIf it "
                                          "held your data, restore it from a backup. Otherwise it becomes a new "
                                          "database: its tables are made now."));
    EXPECT_EQ(sizeWhenTold, 0);
    for (const QString& table : store::mainTableNames())
        EXPECT_TRUE(db.tableExists(table)) << table.toStdString();
    startOver();

    // A folder where the store should be is called what it is.
    const QString folder = file("stores");
    ASSERT_TRUE(QDir().mkdir(folder));
    setPathSetting(folder);
    result = start();
    EXPECT_EQ(result.status, Status::Failed);
    EXPECT_EQ(result.error,
              "The database \"" + folder + "\" could not be opened: it is a folder, not a database file.");
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_TRUE(QDir(folder).isEmpty());
    EXPECT_FALSE(QFile::exists(mto));
}

// A socket in the settings file's place is no file, as a pipe is; a link to a
// settings file on a drive that is not attached is told, naming where it
// points, and the user locates the store, which cannot be saved through the
// link; a link in the default store's place is a missing store, not a first
// start.
TEST_F(Startup, ASocketOrALinkToNowhereInTheSettingsFilesPlaceIsToldBeforeAnythingIsMade)
{
    const QString ini = shell::iniFileName(dir.path());
    const QString mto = file("mto.db"), options = file("option.db"), elsewhere = file("elsewhere.db");
    const std::string elsewhereDigest = makeFilledStore(elsewhere);

    const QByteArray socketName = QFile::encodeName(ini);
    const int socketHandle = socket(AF_UNIX, SOCK_STREAM, 0);
    const auto closeSocket = qScopeGuard([socketHandle] { ::close(socketHandle); });
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketName.size(), qsizetype(sizeof(address.sun_path)));
    std::copy(socketName.begin(), socketName.end(), address.sun_path);
    ASSERT_EQ(bind(socketHandle, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    auto result = start();
    ASSERT_EQ(result.status, Status::Opened);
    EXPECT_EQ(prompt.texts(), QStringList("The settings file \"" + ini +
                                          "\" cannot be read: it is not a regular file (a pipe, socket or device)."
                                          "\n\nThe program starts with its default settings."));
    EXPECT_EQ(db.path(), mto);
    db.close();
    QFile::remove(ini);
    QFile::remove(mto);
    QFile::remove(options);
    prompt.messages.clear();

    // Nothing is made before the user hears of the link, nor after a cancel.
    // The drive's folder is there, empty, as when the drive is not attached.
    ASSERT_TRUE(QDir().mkdir(file("drive")));
    const QString target = file("drive/Tarvenix.ini");
    ASSERT_TRUE(QFile::link(target, ini));
    QStringList madeWhenTold;
    prompt.onShow = [&](const ui::Message&) {
        madeWhenTold.append(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot).join(','));
    };
    EXPECT_EQ(start().status, Status::Cancelled);
    prompt.files.enqueue(elsewhere);
    result = start();
    prompt.onShow = nullptr;
    const QString linkTold = "The settings file \"" + ini + "\" cannot be read: it is a link to \"" + target +
                             "\", which does not exist.\n\nIt may name the database to open: nothing is opened or "
                             "created until you locate the database.";
    const QString locate = "The Database File Is Missing Please Locate It";
    const QString notSaved = "The location of the database could not be saved in the settings file \"" + ini +
                             "\": it is a link to \"" + target + "\", which does not exist.\n\nThe database you "
                             "chose is used for this start only: the next start asks for it again.";
    EXPECT_EQ(prompt.texts(), QStringList({linkTold, locate, linkTold, locate, notSaved}));
    EXPECT_EQ(madeWhenTold, QStringList(5, "elsewhere.db,Tarvenix.ini"));
    ASSERT_EQ(result.status, Status::Opened);
    EXPECT_EQ(db.path(), elsewhere);
    EXPECT_EQ(storeChecksum(db), elsewhereDigest);
    EXPECT_FALSE(QFile::exists(mto) || QFile::exists(options));
    EXPECT_TRUE(QDir(file("drive")).isEmpty());
    EXPECT_EQ(QFileInfo(ini).symLinkTarget(), target);
    db.close();
    QFile::remove(ini);
    prompt.messages.clear();

    // The default store as a link to a drive that is not attached.
    ASSERT_TRUE(QFile::link(file("drive/mto.db"), mto));
    EXPECT_EQ(start().status, Status::Cancelled);
    EXPECT_EQ(prompt.texts(), QStringList(locate));
    EXPECT_TRUE(QDir(file("drive")).isEmpty());
    EXPECT_FALSE(QFile::exists(options) || QFile::exists(ini));
}

// A store that the program left in WAL mode in a folder that this user
// cannot write, on a file system that others can write. While no writer
// shares it, the files through which its readers see each other's changes
// cannot be made, and a reader without them would read the pages of the
// store before and after another's changes as one: the start is refused,
// saying why and what to do. While a writer shares it, it opens read-only
// with its notice, and what the writer deletes and vacuums meanwhile is read
// as the writer left it. An empty store there is told once, and nothing is
// made.
TEST_F(Startup, AStoreInAFolderThatCannotBeWrittenIsReadWhileAWriterSharesItAndRefusedOtherwise)
{
    const QString mto = file("mto.db");
    const std::string digest = makeFilledStore(mto);
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup;
    const QFile::Permissions writable = readOnly | QFile::WriteOwner;
    const auto restore = qScopeGuard([&] {
        QFile::setPermissions(dir.path(), writable);
        QFile::setPermissions(mto, writable);
    });
    ASSERT_TRUE(QFile::setPermissions(mto, QFile::ReadOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), readOnly));
    {
        PermissionsBind bind;
        const auto refused = start();
        EXPECT_EQ(refused.status, Status::Failed);
        EXPECT_EQ(refused.error,
                  "The database \"" + mto + "\" could not be opened: its folder \"" + dir.path() + "\" cannot be "
                  "written. The database keeps its changes in a journal (WAL) that readers share through files made "
                  "beside it, and without them another user could change the database while it is read, unseen, and "
                  "the program would show figures that are no longer there.\n\nGet the right to write the folder, or "
                  "copy the database into a folder you can write and open the copy.");
    }
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList("mto.db"));

    // A writer opens it with the right to write it and its folder.
    store::Database writer;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), writable) && QFile::setPermissions(mto, writable));
    writer.openExisting(mto);
    ASSERT_TRUE(QFile::setPermissions(mto, QFile::ReadOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), readOnly));
    shell::StartupResult result;
    {
        PermissionsBind bind;
        result = start();
    }
    expectOpenedReadOnlyWithEveryRow(result, mto, digest);
    writer.execScript("DELETE FROM mto WHERE scriptcode > 10; VACUUM");
    EXPECT_EQ(storeChecksum(db), storeChecksum(writer));
    EXPECT_EQ(db.scalar("SELECT count(*) FROM mto").toInt(), 10);
    db.close();
    ASSERT_TRUE(QFile::setPermissions(dir.path(), writable));  // where the writer leaves no journal files
    writer.close();

    // An empty store, read-only itself or only by its folder.
    for (const bool fileWritable : {false, true}) {
        ASSERT_TRUE(QFile::setPermissions(dir.path(), writable));
        QFile::remove(mto);
        writeFile(mto, {});
        ASSERT_TRUE(QFile::setPermissions(mto, fileWritable ? writable : QFile::ReadOwner));
        ASSERT_TRUE(QFile::setPermissions(dir.path(), readOnly));
        prompt.messages.clear();
        PermissionsBind bind;
        const auto result = start();
        EXPECT_EQ(result.status, Status::Failed);
        EXPECT_EQ(result.error,
                  "The database \"" + mto + "\" is an empty file (0 bytes): it holds no tables and no data. It is "
                  "read-only too (the file or its folder cannot be written), so its tables cannot be made, and the "
                  "program cannot start on it.\n\nIf it held your data, restore it from a backup. Otherwise make the "
                  "file and its folder writable: the next start makes its tables.");
        EXPECT_TRUE(prompt.messages.isEmpty());
        EXPECT_TRUE(result.notices.isEmpty());
        EXPECT_EQ(QFileInfo(mto).size(), 0);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList("mto.db"));
    }
}

// The same store on read-only media, which refuses even the owner.
TEST_F(Startup, AStoreOnReadOnlyMediaOpensReadOnlyWithItsNotice)
{
    const QString disk = file("disk"), media = file("media");
    ASSERT_TRUE(QDir().mkdir(disk) && QDir().mkdir(media));
    const std::string digest = makeFilledStore(QDir(disk).filePath("mto.db"));
    if (mount(QFile::encodeName(disk).constData(), QFile::encodeName(media).constData(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "a read-only medium cannot be made here: the bind mount is not permitted ("
                     << std::strerror(errno) << ")";
    const auto unmount = qScopeGuard([&] { umount2(QFile::encodeName(media).constData(), MNT_DETACH); });
    ASSERT_EQ(mount(nullptr, QFile::encodeName(media).constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr),
              0)
        << std::strerror(errno);

    expectOpenedReadOnlyWithEveryRow(shell::openMainStore(media, db, prompt), QDir(media).filePath("mto.db"), digest);
    db.close();
}

// A second copy starts as any copy does, with the splash; the start-up after
// it refuses the copy and brings the running one forward.
TEST(SecondCopy, ShowsTheSplashBeforeItIsRefused)
{
    const QByteArray user = qgetenv("USER");
    const auto restoreUser = qScopeGuard([user] { qputenv("USER", user); });
    qputenv("USER", "second-copy-test-" + QByteArray::number(QCoreApplication::applicationPid()));
    shell::SingleInstance running;
    ASSERT_TRUE(running.listen());
    QSignalSpy activated(&running, &shell::SingleInstance::activationRequested);

    // What the user sees, in order; a key press on the splash hands over at once.
    QStringList seen;
    struct SplashWatch : QObject {
        QStringList& seen;
        explicit SplashWatch(QStringList& list) : seen(list) {}
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (event->type() == QEvent::Show && widget && widget->objectName() == "frmSplash") {
                seen.append("splash");
                QTimer::singleShot(50, this, [widget] { QTest::keyClick(widget, Qt::Key_Space); });
            }
            return false;
        }
    } watch(seen);
    qApp->installEventFilter(&watch);
    WatchedPrompt prompt;
    prompt.onShow = [&](const ui::Message& message) { seen.append(message.text); };

    // A copy that went on to its main window would wait for the user.
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, qApp, [] { QApplication::exit(2); });
    deadline.start(10000);
    const int code = shell::runApplication(*qApp, shell::ScreenRegistry());
    qApp->removeEventFilter(&watch);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(seen, QStringList({"splash", "Another Instance Is Already Running ...!"}));
    EXPECT_TRUE(activated.count() == 1 || activated.wait(2000));
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
        // A small store is checked before the caller looks: the outcome
        // still reaches whoever connected before events were next handled.
        QThread::msleep(300);
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
