// The master files and the range and one-day downloads against a web server
// on 127.0.0.1: each day's outcome is logged as what it was, a failed download
// falls back on the copy an earlier run left, and a file of an earlier year is
// never imported as the day asked for.
#include "import/bhavcopyfixture.h"
#include "import/deliveryfile.h"
#include "import/deliveryfilepanel.h"
#include "import/deliveryimporter.h"
#include "import/rangedownloadscreen.h"
#include "import/dailyfilesscreen.h"
#include "import/masterrefresh.h"
#include "import/mtodeletion.h"
#include "import/mtotestrows.h"
#include "import/rostanedownloadpanel.h"
#include "marketgenerator.h"
#include "masterfiles.h"
#include "support/fakeservices.h"
#include "support/localhttpserver.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"
#include "shell/downloadservice.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace import;

namespace {

// The scrips, then each group's size, lowest and highest member.
QString masters(store::Database& db)
{
    return db.scalar("SELECT group_concat(quote(srno) || ',' || quote(company) || ',' || quote(nsescrip) || ',' || "
                     "quote(bsescrip), ' / ') FROM (SELECT * FROM ScripMaster ORDER BY srno)").toString() + " | " +
           db.scalar("SELECT group_concat(GrpCode || ' ' || n, ', ') FROM (SELECT GrpCode, count(*) || '/' || "
                     "count(DISTINCT ScrCode) || ':' || min(ScrCode) || '-' || max(ScrCode) AS n FROM LinkDetails "
                     "GROUP BY GrpCode ORDER BY GrpCode)").toString();
}

// Trading days of 2024 from Monday 1 January, a scrip master in the store,
// and last year's file of 2 January.
class RangeDownload : public ::testing::Test {
protected:
    void SetUp() override
    {
        marketgen::GeneratorOptions options;
        options.seed = 21;
        options.scripCount = 15;
        options.firstDay = QDate(2024, 1, 1);
        generator = std::make_unique<marketgen::MarketGenerator>(options);
        generator->writeScripMaster(services.database());
        for (int i = 0; i < 4; ++i)
            days.push_back(generator->nextDay());
        options.firstDay = QDate(2023, 1, 2);
        marketgen::MarketGenerator lastYear(options);
        lastYearsFile = lastYear.deliveryFile(lastYear.nextDay());
        server.configure(services.dataFolder());
    }

    FakeServices services;
    ScriptedPrompt prompt;
    LocalHttpServer server;
    std::unique_ptr<marketgen::MarketGenerator> generator;
    std::vector<marketgen::MarketDay> days;
    QByteArray lastYearsFile;
};

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

}  // namespace

TEST(MasterRefreshFile, ScripMasterReplacesTheScripsAndDerivativeFileOnlyItsGroup)
{
    TestStore store;
    store::Database& db = store.db();
    db.execScript("INSERT INTO ScripMaster (srno, company) VALUES (1, 'Old Ltd'), (12, 'Gone Ltd');"
                  "INSERT INTO LinkDetails VALUES ('Derivative', 3), ('NIFTY', 4), ('ALL', 9000)");
    const QString scrips = writeText(store.folder(), "newscript.txt",
                                     "\r\ninsert into scripmaster values(7,'Dr. Reddy''s Lab','DRREDDY',500124)\r\n"
                                     "  INSERT INTO ScripMaster ( nsescrip , srno )\tVALUES ( 'ABB' , 9 ) ; \r\n\r\n");
    EXPECT_TRUE(refreshFromFile(db, MasterFile::ScripMaster, scrips).updated());
    EXPECT_EQ(masters(db), "7,'Dr. Reddy''s Lab','DRREDDY','500124' / 9,NULL,'ABB',NULL | "
                           "ALL 8000/8000:1-8000, Derivative 1/1:3-3, NIFTY 1/1:4-4");

    const QString derivatives = writeText(store.folder(), "DerivativesGroup.txt",
                                          "insert into LinkDetails (ScrCode, GrpCode) values (12, 'Derivative')\r\n" +
                                              marketgen::derivativeGroupFile({1, 5}));
    EXPECT_TRUE(refreshFromFile(db, MasterFile::DerivativeGroup, derivatives).updated());
    EXPECT_EQ(masters(db), "7,'Dr. Reddy''s Lab','DRREDDY','500124' / 9,NULL,'ABB',NULL | "
                           "ALL 8000/8000:1-8000, Derivative 3/3:1-12, NIFTY 1/1:4-4");
}

TEST_F(RangeDownload, DataUpdationScreenLogsEachDayThenRunsTheMasters)
{
    // 1 January is served; 2 January is missing, with last year's file of
    // that name in the folder; the server still holds last year's file as
    // 3 January; 4 January is in the store already. The scrip master is
    // served, the derivative group is not: its earlier copy, adding scrip
    // 11, is used in its place.
    server.serve("/updates/NB01Jan.csv", generator->deliveryFile(days[0]));
    const QString stale = writeText(services.dataFolder(), "NB02Jan.csv", lastYearsFile);
    server.serve("/updates/NB03Jan.csv", lastYearsFile);
    server.serve("/updates/NB04Jan.csv", generator->deliveryFile(days[3]));
    ASSERT_TRUE(DeliveryImporter(services.database())
                    .importFile(generator->writeDeliveryFile(services.dataFolder(), days[3]))
                    .imported());
    server.serve("/utilities/newscript.txt", marketgen::scripMasterFile(generator->scrips()));
    const QString earlierGroup =
        writeText(services.dataFolder(), "DerivativesGroup.txt", "insert into linkdetails values('Derivative',11)");

    RangeDownloadScreen screen(services);
    screen.fromPicker()->setDate(days[0].day);
    screen.toPicker()->setDate(days[3].day);
    screen.scripMasterCheck()->setChecked(true);
    screen.derivativeGroupCheck()->setChecked(true);
    QTest::mouseClick(screen.downloadButton(), Qt::LeftButton);

    const QString staleCopy =
        "The earlier copy of the file for 02/Jan/2024 holds the data of 02/Jan/2023; it was not imported.";
    const QString wrongDay = "The file downloaded for 03/Jan/2024 holds the data of 02/Jan/2023; it was not imported.";
    const QString loaded = "The Database Already Contains The Data Of 04/Jan/2024";
    EXPECT_EQ(prompt.texts().join(" | ").toStdString(),
              (QStringList{"Error downloading!", staleCopy, wrongDay, loaded, "Error downloading!", "Done"})
                  .join(" | ")
                  .toStdString());
    EXPECT_EQ(prompt.messages[5].icon, ui::Icon::Information);
    EXPECT_EQ(screen.logBox()->toPlainText(), "\n The File Was Updated Successfully for date : 01/Jan/2024"
                                              "\n The File Was Not Updated for date : 02/Jan/2024 : " + staleCopy +
                                                  "\n The File Was Not Updated for date : 03/Jan/2024 : " + wrongDay +
                                                  "\n The File Was Not Updated for date : 04/Jan/2024 : " + loaded +
                                                  "\n Scrip Master Updated Successfully "
                                                  "\n Derivatives Group Updated Successfully ");
    // The scrip master is rebuilt before the derivative group.
    EXPECT_EQ(server.requested, (QStringList{"/updates/NB01Jan.csv", "/updates/NB02Jan.csv", "/updates/NB03Jan.csv",
                                             "/updates/NB04Jan.csv", "/utilities/newscript.txt",
                                             "/utilities/DerivativesGroup.txt"}));
    EXPECT_EQ(screen.fromPicker()->date(), QDate(2024, 1, 5));
    // Earlier copies stay; a file just fetched for the wrong day does not.
    EXPECT_EQ(readBytes(stale), lastYearsFile);
    EXPECT_TRUE(QFile::exists(earlierGroup));
    EXPECT_FALSE(QFile::exists(services.dataFolder() + "/NB03Jan.csv"));
    EXPECT_EQ(firstDifference(storedMtoRows(services.database()),
                              expectedMtoRows(*generator, days[0]) + expectedMtoRows(*generator, days[3])),
              QString());
    EXPECT_TRUE(masters(services.database()).endsWith(" | ALL 8000/8000:1-8000, Derivative 1/1:11-11"));
    EXPECT_TRUE(screen.isEnabled());

    // Again, now 5 to 4 January: no day is fetched; the scrip master is
    // refused, the derivative group is served.
    server.serve("/utilities/newscript.txt", marketgen::scripMasterFile(generator->scrips()) + "DROP TABLE mto\r\n");
    server.serve("/utilities/DerivativesGroup.txt", marketgen::derivativeGroupFile({2, 3, 5}));
    prompt.messages.clear();
    server.requested.clear();
    QTest::mouseClick(screen.downloadButton(), Qt::LeftButton);
    ASSERT_EQ(prompt.messages.size(), 2);
    EXPECT_TRUE(prompt.messages[0].text.startsWith("Line 16 of ")) << prompt.messages[0].text.toStdString();
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Critical);
    EXPECT_TRUE(screen.logBox()->toPlainText().endsWith("\n Derivatives Group Updated Successfully \n Scrip Master Was "
                                                        "Not Updated \n Derivatives Group Updated Successfully "));
    EXPECT_EQ(server.requested, (QStringList{"/utilities/newscript.txt", "/utilities/DerivativesGroup.txt"}));
    EXPECT_TRUE(masters(services.database()).endsWith(" | ALL 8000/8000:1-8000, Derivative 3/3:2-5"));
}

TEST_F(RangeDownload, OneDayDownloadOnTheMultipleUpdationScreen)
{
    server.serve("/updates/NB01Jan.csv", generator->deliveryFile(days[0]));
    // The panel as the screen holds it, beside its file panel and day picker.
    DailyFilesScreen screen(services);
    RostaneDownloadPanel panel(services, screen.deliveryPanel(), screen.dayPicker(), &screen);

    screen.dayPicker()->setDate(days[0].day);
    QTest::mouseClick(panel.downloadButton(), Qt::LeftButton);
    EXPECT_EQ(prompt.texts(), (QStringList{"Done", "Done"}));
    EXPECT_EQ(prompt.messages.last().icon, ui::Icon::Information);
    EXPECT_EQ(screen.deliveryPanel()->pathBox()->text(),
              QDir::toNativeSeparators(QDir(services.dataFolder()).filePath(QStringLiteral("NB01Jan.csv"))));
    EXPECT_EQ(mtoTradingDays(services.database()), QList<QDate>{days[0].day});

    // A missing day without an earlier copy: nothing to import.
    const QString notDownloaded = "The File Was Not Downloaded\nEither The File Does Not Exist For That Date\n"
                                  "Or There May Be Some Fault In You Internet Connection";
    prompt.messages.clear();
    screen.dayPicker()->setDate(days[1].day);
    EXPECT_EQ(panel.downloadDay().status, DeliveryDayOutcome::Status::NotDownloaded);
    EXPECT_EQ(prompt.texts(), (QStringList{"Error downloading!", notDownloaded}));

    // With last year's file of that day left in the folder: refused by its
    // header's day, and kept.
    prompt.messages.clear();
    const QString stale = writeText(services.dataFolder(), "NB02Jan.csv", lastYearsFile);
    EXPECT_EQ(panel.downloadDay().status, DeliveryDayOutcome::Status::WrongDay);
    EXPECT_EQ(prompt.texts(), (QStringList{"Error downloading!", "The earlier copy of the file for 02/Jan/2024 holds "
                                                                 "the data of 02/Jan/2023; it was not imported."}));
    EXPECT_EQ(mtoTradingDays(services.database()), QList<QDate>{days[0].day});
    EXPECT_EQ(readBytes(stale), lastYearsFile);

    // With this year's file left there: imported in place of the download.
    prompt.messages.clear();
    const QString copy = generator->writeDeliveryFile(services.dataFolder(), days[1]);
    const QByteArray copied = readBytes(copy);
    EXPECT_EQ(panel.downloadDay().status, DeliveryDayOutcome::Status::Imported);
    EXPECT_EQ(prompt.texts(), (QStringList{"Error downloading!", "Done", "Done"}));
    EXPECT_EQ(mtoTradingDays(services.database()), (QList<QDate>{days[0].day, days[1].day}));
    EXPECT_EQ(readBytes(copy), copied);

    // The same day again: the import's refusal, and no "Done".
    prompt.messages.clear();
    screen.dayPicker()->setDate(days[0].day);
    EXPECT_EQ(panel.downloadDay().status, DeliveryDayOutcome::Status::Refused);
    EXPECT_EQ(prompt.texts(), QStringList{"The Database Already Contains The Data Of 01/Jan/2024"});
    EXPECT_EQ(mtoTradingDays(services.database()), (QList<QDate>{days[0].day, days[1].day}));
}

// A good download takes the place of the earlier copy; one broken off half
// way leaves the earlier copy whole, and it is imported instead.
TEST_F(RangeDownload, OnlyAWholeDownloadReplacesTheEarlierCopy)
{
    shell::DownloadService service;
    service.setTimeout(std::chrono::milliseconds(300));
    DeliveryDownload download(service, server.base(), services.dataFolder(),
                              [&](const QString& path) { return DeliveryImporter(services.database()).importFile(path); });
    QStringList failures;
    download.setDownloadFailed([&](const QDate&, const QString& error) { failures.append(error); });

    // Last year's copy of 1 January, this year's file on the server.
    const QString path = writeText(services.dataFolder(), "NB01Jan.csv", lastYearsFile);
    server.serve("/updates/NB01Jan.csv", generator->deliveryFile(days[0]));
    EXPECT_EQ(download.fetchDay(days[0].day).status, DeliveryDayOutcome::Status::Imported);
    EXPECT_EQ(readBytes(path), generator->deliveryFile(days[0]));
    EXPECT_TRUE(failures.isEmpty());

    // A good copy of 2 January; the server stops sending half way.
    const QString copy = generator->writeDeliveryFile(services.dataFolder(), days[1]);
    const QByteArray whole = readBytes(copy);
    server.serveStalled("/updates/NB02Jan.csv", lastYearsFile.left(lastYearsFile.size() / 2));
    const DeliveryDayOutcome outcome = download.fetchDay(days[1].day);
    EXPECT_EQ(outcome.status, DeliveryDayOutcome::Status::Imported) << outcome.reason.toStdString();
    EXPECT_EQ(failures.size(), 1);
    EXPECT_EQ(readBytes(copy), whole);
    EXPECT_EQ(firstDifference(storedMtoRows(services.database()),
                              expectedMtoRows(*generator, days[0]) + expectedMtoRows(*generator, days[1])),
              QString());
    EXPECT_EQ(QDir(services.dataFolder()).entryList({"NB*"}), (QStringList{"NB01Jan.csv", "NB02Jan.csv"}));
}

// Each day's line is in the log once the day is stored, before a later
// day's message asks for the user's attention.
TEST_F(RangeDownload, EachDaysLineShowsBeforeTheNextDayIsFetched)
{
    // 1 January is served, 2 January is not (and has no earlier copy), 3
    // January is in the store already.
    server.serve("/updates/NB01Jan.csv", generator->deliveryFile(days[0]));
    server.serve("/updates/NB03Jan.csv", generator->deliveryFile(days[2]));
    ASSERT_TRUE(DeliveryImporter(services.database())
                    .importFile(generator->writeDeliveryFile(services.dataFolder(), days[2]))
                    .imported());

    RangeDownloadScreen screen(services);
    screen.fromPicker()->setDate(days[0].day);
    screen.toPicker()->setDate(days[2].day);
    // What the log box showed while each message was up.
    struct LogWatch : ScriptedPrompt {
        QPlainTextEdit* box = nullptr;
        QStringList logs;
        ui::Answer show(const ui::Message& message) override
        {
            logs.append(box->toPlainText());
            return ScriptedPrompt::show(message);
        }
    } watch;
    watch.box = screen.logBox();
    QTest::mouseClick(screen.downloadButton(), Qt::LeftButton);

    const QString first = "\n The File Was Updated Successfully for date : 01/Jan/2024";
    const QString second = "\n The File Was Not Downloaded for date : 02/Jan/2024";
    EXPECT_EQ(watch.texts(), (QStringList{"Error downloading!", "The Database Already Contains The Data Of 03/Jan/2024",
                                          "Done"}));
    ASSERT_EQ(watch.logs.size(), 3);
    EXPECT_EQ(watch.logs[0], first);
    EXPECT_EQ(watch.logs[1], first + second);
    EXPECT_EQ(mtoTradingDays(services.database()), (QList<QDate>{days[0].day, days[2].day}));
}
