// The folder batch: every "NB" file of the folder is imported in name order,
// a refused file is listed with its reason and the batch goes on.
#include "import/batchimport.h"
#include "import/deliverydownload.h"
#include "import/deliveryfile.h"
#include "import/deliveryfilepanel.h"
#include "import/folderimportscreen.h"
#include "import/mtotestrows.h"
#include "marketgenerator.h"
#include "shell/downloadservice.h"
#include "store/datetext.h"
#include "support/fakeservices.h"
#include "support/filepermissions.h"
#include "support/localhttpserver.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace import;

namespace {

class FolderBatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        marketgen::GeneratorOptions options;
        options.seed = 33;
        options.scripCount = 10;
        options.firstDay = QDate(2024, 2, 5);
        generator = std::make_unique<marketgen::MarketGenerator>(options);
        generator->writeScripMaster(services.database());
        folder = batchFolder(services.dataFolder());
    }

    // Writes the next `count` days into the batch folder.
    void writeDays(int count)
    {
        QDir().mkpath(folder);
        for (int i = 0; i < count; ++i) {
            days.push_back(generator->nextDay());
            generator->writeDeliveryFile(folder, days.back());
        }
    }

    void writeOther(const QString& name, const QByteArray& content)
    {
        QFile file(QDir(folder).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    FakeServices services;
    ScriptedPrompt prompt;
    std::unique_ptr<marketgen::MarketGenerator> generator;
    std::vector<marketgen::MarketDay> days;
    QString folder;
};

}  // namespace

TEST_F(FolderBatch, ListsOnlyNBFilesAndImportsThemAll)
{
    writeDays(3);
    writeOther(QStringLiteral("nb09Feb.csv"), "lower case");
    writeOther(QStringLiteral("readme.txt"), "not a delivery file");
    QDir(folder).mkdir(QStringLiteral("NBfolder"));

    FolderImportScreen screen(services);
    QTest::mouseClick(screen.findChild<QPushButton*>("CmdLoadFIles"), Qt::LeftButton);
    QStringList listed;
    for (int i = 0; i < screen.fileList()->count(); ++i)
        listed.append(screen.fileList()->itemText(i));
    EXPECT_EQ(listed, (QStringList{"NB05Feb.csv", "NB06Feb.csv", "NB07Feb.csv"}));
    EXPECT_EQ(screen.deliveryPanel()->pathBox()->text(), QDir::toNativeSeparators(QDir(folder).filePath("NB05Feb.csv")));

    QTest::mouseClick(screen.findChild<QPushButton*>("CmdUploadAll"), Qt::LeftButton);
    EXPECT_EQ(prompt.texts(), QStringList{"Success"});
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Information);
    ASSERT_EQ(screen.outcomeList()->count(), 3);
    EXPECT_EQ(screen.outcomeList()->item(0)->text(), QStringLiteral("NB05Feb.csv: 10 rows of 05/Feb/2024 imported"));
    QList<QVariantList> expected;
    for (const auto& day : days)
        expected += expectedMtoRows(*generator, day);
    EXPECT_EQ(firstDifference(storedMtoRows(services.database()), expected), QString());
}

TEST_F(FolderBatch, RefusedFilesAreListedAndTheBatchGoesOn)
{
    writeDays(3);
    // The first day is loaded already, and the second file is damaged; a
    // damaged file whose name holds an ESC, a direction override and a line
    // break is listed on one line with them written as codes. The third
    // day's file, named with markers, is listed with its name as it is.
    ASSERT_TRUE(DeliveryImporter(services.database()).importFile(QDir(folder).filePath("NB05Feb.csv")).imported());
    writeOther(QStringLiteral("NB06Feb.csv"), "plain text");
    writeOther(QStringLiteral("NB\x1B[2J\u202Egsm.\nx.csv"), "plain text");
    ASSERT_TRUE(QDir(folder).rename("NB07Feb.csv", "NBx%1x%2NB07Feb.csv"));

    const auto outcomes = importBatch(services.database(), folder, batchFileNames(folder));
    ASSERT_EQ(outcomes.size(), 4);
    EXPECT_EQ(batchOutcomeLine(outcomes[0]),
              QStringLiteral("NB\\x1B[2J\\u202Egsm.\\x0Ax.csv: not imported - The File You Selected Is Invalid"));
    EXPECT_EQ(batchOutcomeLine(outcomes[1]),
              QStringLiteral("NB05Feb.csv: not imported - The Database Already Contains The Data Of 05/Feb/2024"));
    EXPECT_EQ(batchOutcomeLine(outcomes[2]), QStringLiteral("NB06Feb.csv: not imported - The File You Selected Is Invalid"));
    EXPECT_TRUE(outcomes[3].outcome.imported());
    EXPECT_EQ(batchOutcomeLine(outcomes[3]), QStringLiteral("NBx%1x%2NB07Feb.csv: 10 rows of 07/Feb/2024 imported"));
    EXPECT_EQ(firstDifference(storedMtoRows(services.database()),
                              expectedMtoRows(*generator, days[0]) + expectedMtoRows(*generator, days[2])),
              QString());

    // The screen lists the same and does not call the run a success.
    FolderImportScreen screen(services);
    screen.loadFiles();
    screen.uploadAll();
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].text, QStringLiteral("0 of 4 files were imported.\nThe list shows why the others were not."));
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Warning);
    EXPECT_EQ(screen.outcomeList()->count(), 4);
}

TEST_F(FolderBatch, FilesThatCannotBeReadAreListedAndReportedWithTheReason)
{
    writeDays(3);
    const QString locked = QDir(folder).filePath("NB06Feb.csv");
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::Permissions()));
    const QString pipe = QDir(folder).filePath("NB08Feb.csv");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);

    PermissionsBind bind;
    FolderImportScreen screen(services);
    screen.loadFiles();
    QStringList listed;
    for (int i = 0; i < screen.fileList()->count(); ++i)
        listed.append(screen.fileList()->itemText(i));
    EXPECT_EQ(listed, (QStringList{"NB05Feb.csv", "NB06Feb.csv", "NB07Feb.csv", "NB08Feb.csv"}));

    screen.uploadAll();
    ASSERT_EQ(screen.outcomeList()->count(), 4);
    EXPECT_EQ(screen.outcomeList()->item(1)->text(),
              "NB06Feb.csv: not imported - The file " + locked + " could not be opened: Permission denied");
    EXPECT_EQ(screen.outcomeList()->item(3)->text(), "NB08Feb.csv: not imported - The file " + pipe +
                                                         " could not be opened: it is not a regular file (a pipe, "
                                                         "socket or device)");
    EXPECT_EQ(prompt.lastText(), QStringLiteral("2 of 4 files were imported.\nThe list shows why the others were not."));
    EXPECT_EQ(firstDifference(storedMtoRows(services.database()),
                              expectedMtoRows(*generator, days[0]) + expectedMtoRows(*generator, days[2])),
              QString());
}

TEST_F(FolderBatch, MissingOrEmptyFolderImportsNothing)
{
    FolderImportScreen screen(services);
    screen.loadFiles();
    EXPECT_EQ(prompt.texts(), QStringList{batchmessages::noFiles(folder)});
    EXPECT_EQ(screen.fileList()->count(), 0);
    EXPECT_TRUE(screen.deliveryPanel()->pathBox()->text().isEmpty());

    screen.uploadAll();
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Success"));
    EXPECT_EQ(services.database().scalar("SELECT count(*) FROM mto").toInt(), 0);
}

// The batch gathers many files into few transactions, and makes the
// (scrip, day) index afresh when it adds many rows to a small table; what it
// stores and reports must be what importing the files one by one gives.
TEST(BatchAgainstPlainImport, StoresAndReportsWhatFileByFileImportDoes)
{
    struct Case {
        const char* what;
        int daysAlreadyStored;  // many: the batch keeps the indexes; none: it makes one afresh
    };
    for (const Case& c : {Case{"into an empty store", 0}, Case{"into a store of many days", 60}}) {
        SCOPED_TRACE(c.what);
        marketgen::GeneratorOptions options;
        options.seed = 5;
        options.scripCount = 25;
        TestStore batchStore, plainStore;
        std::vector<marketgen::MarketGenerator> generators(2, marketgen::MarketGenerator(options));
        for (int i = 0; i < 2; ++i) {
            TestStore& store = i == 0 ? batchStore : plainStore;
            generators[static_cast<size_t>(i)].writeScripMaster(store.db());
            generators[static_cast<size_t>(i)].fillMto(store.db(), c.daysAlreadyStored);
        }
        // Six new days, the fourth file damaged halfway, the fifth with a scrip
        // twice, and a second copy of the second day's file under a name that
        // still names its day.
        const QString folder = batchStore.folder() + QStringLiteral("/qe");
        QDir().mkpath(folder);
        QList<QDate> newDays;
        for (int i = 0; i < 6; ++i) {
            const marketgen::MarketDay day = generators[0].nextDay();
            newDays.append(day.day);
            QByteArray content = generators[0].deliveryFile(day);
            if (i == 3)
                content.insert(content.size() / 2, "\r\n");
            if (i == 4) {
                // The third scrip's line once more, after the fourth.
                QList<QByteArray> lines = content.split('\n');
                lines.insert(5, lines[3]);
                content = lines.join('\n');
            }
            QFile file(QDir(folder).filePath(deliveryfile::fileName(day.day)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        const QString second = deliveryfile::fileName(newDays[1]);
        QFile::copy(QDir(folder).filePath(second), QDir(folder).filePath(QStringLiteral("NB0") + second.mid(2)));

        const QStringList names = batchFileNames(folder);
        const auto outcomes = importBatch(batchStore.db(), folder, names);
        QStringList batchLines, plainLines;
        for (const auto& outcome : outcomes)
            batchLines.append(batchOutcomeLine(outcome));
        for (const QString& name : names)
            plainLines.append(batchOutcomeLine(
                {name, DeliveryImporter(plainStore.db()).importFile(QDir(folder).filePath(name))}));
        EXPECT_EQ(batchLines, plainLines);
        EXPECT_EQ(std::count_if(outcomes.begin(), outcomes.end(), [](const auto& o) { return o.outcome.imported(); }), 4) << batchLines.join("\n").toStdString();

        EXPECT_EQ(firstDifference(storedMtoRows(batchStore.db()), storedMtoRows(plainStore.db())), QString());
        const QString indexes = QStringLiteral("SELECT name, sql FROM sqlite_master WHERE tbl_name = 'mto' ORDER BY name");
        EXPECT_EQ(batchStore.db().query(indexes).rows, plainStore.db().query(indexes).rows);
        EXPECT_EQ(batchStore.db().scalar("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        // The connection's own settings are back.
        EXPECT_EQ(batchStore.db().scalar("PRAGMA cache_size"), plainStore.db().scalar("PRAGMA cache_size"));
        EXPECT_EQ(batchStore.db().scalar("PRAGMA wal_autocheckpoint"),
                  plainStore.db().scalar("PRAGMA wal_autocheckpoint"));
    }
}

// A store that fills up part way through a batch or a range download: a day
// is reported as imported only when it is in the store, whole, afterwards.
TEST(BatchAgainstPlainImport, AFullStoreNeverReportsUnsavedDaysAsImported)
{
    struct Case {
        const char* path;
        int daysAlreadyStored;
    };
    for (const Case& c : {Case{"folder batch", 0}, Case{"folder batch", 200}, Case{"range download", 0}}) {
        SCOPED_TRACE(QStringLiteral("%1 after %2 days").arg(c.path).arg(c.daysAlreadyStored).toStdString());
        marketgen::GeneratorOptions options;
        options.seed = 9;
        options.scripCount = 40;
        marketgen::MarketGenerator generator(options);
        TestStore store;
        generator.writeScripMaster(store.db());
        generator.fillMto(store.db(), c.daysAlreadyStored);
        const QString folder = store.folder() + QStringLiteral("/qe");
        QDir().mkpath(folder);
        LocalHttpServer server;
        QList<QDate> days;
        for (int i = 0; i < 30; ++i) {
            const marketgen::MarketDay day = generator.nextDay();
            days.append(day.day);
            server.serve(QStringLiteral("/updates/") + deliveryfile::fileName(day.day), generator.deliveryFile(day));
            generator.writeDeliveryFile(folder, day);
        }
        // Room for about half of the new rows.
        const qint64 pages = store.db().scalar("PRAGMA page_count").toLongLong();
        store.db().scalar(QStringLiteral("PRAGMA max_page_count = %1").arg(pages + 12));

        QList<DeliveryImportOutcome> outcomes;
        if (QLatin1String(c.path) == QLatin1String("folder batch")) {
            for (const auto& file : importBatch(store.db(), folder, batchFileNames(folder)))
                outcomes.append(file.outcome);
        } else {
            shell::DownloadService service;
            DeliveryDownload download(service, server.base(), store.folder(), [&store](const QString& path) {
                return DeliveryImporter(store.db()).importFile(path);
            });
            download.gatherImportsIn(store.db());
            QList<QDate> told;
            for (const auto& day : download.fetchRange(days.first(), days.last(), [&](const DeliveryDayOutcome& o) {
                     told.append(o.day);
                     EXPECT_EQ(o.imported(), downloadmessages::logLine(o).contains("Successfully"));
                 })) {
                if (day.status != DeliveryDayOutcome::Status::NotDownloaded)
                    outcomes.append(day.import);
            }
            EXPECT_EQ(told, rangeDays(days.first(), days.last()));
        }
        ASSERT_EQ(outcomes.size(), 30);
        int imported = 0;
        for (const auto& outcome : outcomes) {
            const qint64 rows =
                store.db().scalar("SELECT count(*) FROM mto WHERE TransDate = ?", {outcome.day}).toLongLong();
            EXPECT_EQ(rows, outcome.imported() ? 40 : 0) << outcome.message.toStdString();
            imported += outcome.imported() ? 1 : 0;
        }
        EXPECT_LT(imported, 30);
        EXPECT_EQ(store.db().scalar("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
    }
}
