// The range and one-day downloads against a web server on 127.0.0.1: each
// day's outcome is logged as what it was, and a file left from an earlier
// year is never imported in place of a failed download.
#include "import/deliverydownload.h"
#include "import/deliveryfile.h"
#include "import/deliveryfilepanel.h"
#include "import/rangedownloadscreen.h"
#include "import/dailyfilesscreen.h"
#include "import/mtotestrows.h"
#include "import/rostanedownloadpanel.h"
#include "marketgenerator.h"
#include "masterfiles.h"
#include "shell/downloadservice.h"
#include "store/datetext.h"
#include "support/fakeservices.h"
#include "support/localhttpserver.h"
#include "support/scriptedprompt.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace import;
using Status = DeliveryDayOutcome::Status;

namespace {

QString display(const QDate& day)
{
    return datetext::toDisplay(day);
}

QString updatedLine(const QDate& day)
{
    return QStringLiteral(" The File Was Updated Successfully for date : ") + display(day);
}

QString notDownloadedLine(const QDate& day)
{
    return QStringLiteral(" The File Was Not Downloaded for date : ") + display(day);
}

QList<QDate> storedDays(store::Database& db)
{
    QList<QDate> days;
    for (const auto& row : db.query(QStringLiteral("SELECT DISTINCT TransDate FROM mto ORDER BY TransDate")).rows)
        days.append(row[0].toDate());
    return days;
}

// Three trading days of 2024 (Monday 1 to Wednesday 3 January) on the
// server, a scrip master in the store, and last year's file of 2 January.
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
        for (int i = 0; i < 3; ++i)
            days.push_back(generator->nextDay());

        options.firstDay = QDate(2023, 1, 2);
        marketgen::MarketGenerator lastYear(options);
        lastYearsDay = lastYear.nextDay();
        lastYearsFile = lastYear.deliveryFile(lastYearsDay);
    }

    void serveDay(int index)
    {
        server.serve(QStringLiteral("/updates/") + deliveryfile::fileName(days[index].day),
                     generator->deliveryFile(days[index]));
    }

    // Leaves last year's NB02Jan.csv in the data folder.
    QString leaveLastYearsFile()
    {
        const QString path = QDir(services.dataFolder()).filePath(deliveryfile::fileName(lastYearsDay.day));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(lastYearsFile);
        return path;
    }

    DeliveryDownload plainDownload(shell::DownloadService& service)
    {
        return DeliveryDownload(service, server.base(), services.dataFolder(), [this](const QString& path) {
            return DeliveryImporter(services.database()).importFile(path);
        });
    }

    FakeServices services;
    ScriptedPrompt prompt;
    LocalHttpServer server;
    std::unique_ptr<marketgen::MarketGenerator> generator;
    std::vector<marketgen::MarketDay> days;
    marketgen::MarketDay lastYearsDay;
    QByteArray lastYearsFile;
};

}  // namespace

TEST_F(RangeDownload, MissingMiddleDayIsLoggedAndLastYearsCopyIsNotImported)
{
    serveDay(0);
    serveDay(2);
    const QString stale = leaveLastYearsFile();
    shell::DownloadService service;
    DeliveryDownload download = plainDownload(service);
    QList<QDate> failedDays;
    download.setDownloadFailed([&](const QDate& day, const QString&) { failedDays.append(day); });

    DownloadLog log;
    const auto outcomes = download.fetchRange(days[0].day, days[2].day, [&](const DeliveryDayOutcome& outcome) {
        log.append(downloadmessages::logLine(outcome));
    });

    ASSERT_EQ(outcomes.size(), 3);
    EXPECT_EQ(outcomes[0].status, Status::Imported);
    EXPECT_EQ(outcomes[1].status, Status::NotDownloaded);
    EXPECT_EQ(outcomes[2].status, Status::Imported);
    EXPECT_EQ(failedDays, QList<QDate>{days[1].day});
    EXPECT_EQ(log.text(), QLatin1Char('\n') + updatedLine(days[0].day) + QLatin1Char('\n') +
                              notDownloadedLine(days[1].day) + QLatin1Char('\n') + updatedLine(days[2].day));
    EXPECT_EQ(server.requested, (QStringList{"/updates/NB01Jan.csv", "/updates/NB02Jan.csv", "/updates/NB03Jan.csv"}));

    EXPECT_EQ(storedDays(services.database()), (QList<QDate>{days[0].day, days[2].day}));
    EXPECT_FALSE(QFile::exists(stale));
    QList<QVariantList> expected = expectedMtoRows(*generator, days[0]) + expectedMtoRows(*generator, days[2]);
    EXPECT_EQ(firstDifference(storedMtoRows(services.database()), expected), QString());
}

TEST_F(RangeDownload, FilesThatAreNotLoadedAreLoggedAsRefused)
{
    // The server still holds last year's file under this year's name, and
    // the first day is in the store already.
    server.serve(QStringLiteral("/updates/NB02Jan.csv"), lastYearsFile);
    serveDay(0);
    ASSERT_TRUE(DeliveryImporter(services.database()).importFile(generator->writeDeliveryFile(services.dataFolder(), days[0])).imported());
    const auto before = storedMtoRows(services.database());

    shell::DownloadService service;
    DeliveryDownload download = plainDownload(service);
    const auto outcomes = download.fetchRange(days[0].day, days[1].day);
    ASSERT_EQ(outcomes.size(), 2);
    EXPECT_EQ(outcomes[0].status, Status::Refused);
    EXPECT_EQ(downloadmessages::logLine(outcomes[0]),
              QStringLiteral(" The File Was Not Updated for date : 01/Jan/2024 : "
                             "The Database Already Contains The Data Of 01/Jan/2024"));
    EXPECT_EQ(outcomes[1].status, Status::WrongDay);
    EXPECT_EQ(downloadmessages::logLine(outcomes[1]),
              QStringLiteral(" The File Was Not Updated for date : 02/Jan/2024 : The file downloaded for "
                             "02/Jan/2024 holds the data of 02/Jan/2023; it was not imported."));
    EXPECT_FALSE(QFile::exists(outcomes[1].path));
    EXPECT_EQ(storedMtoRows(services.database()), before);
}

TEST(RangeDays, CoversBothEndsAndNothingWhenReversed)
{
    const QDate day(2024, 3, 30);
    EXPECT_EQ(rangeDays(day, day), QList<QDate>{day});
    EXPECT_EQ(rangeDays(day, day.addDays(2)), (QList<QDate>{day, day.addDays(1), day.addDays(2)}));
    EXPECT_TRUE(rangeDays(day, day.addDays(-1)).isEmpty());
}

TEST_F(RangeDownload, DataUpdationScreenRunsTheRangeThenBothMasters)
{
    serveDay(0);
    serveDay(2);
    server.serve(QStringLiteral("/utilities/newscript.txt"), marketgen::scripMasterFile(generator->scrips()));
    server.serve(QStringLiteral("/utilities/DerivativesGroup.txt"), marketgen::derivativeGroupFile({2, 3, 5}));
    server.configure(services.dataFolder());

    RangeDownloadScreen screen(services);
    screen.fromPicker()->setDate(days[0].day);
    screen.toPicker()->setDate(days[2].day);
    screen.scripMasterCheck()->setChecked(true);
    screen.derivativeGroupCheck()->setChecked(true);
    QTest::mouseClick(screen.downloadButton(), Qt::LeftButton);

    EXPECT_EQ(prompt.texts(), (QStringList{"Error downloading!", "Done"}));
    EXPECT_EQ(prompt.messages.last().icon, ui::Icon::Information);
    EXPECT_EQ(screen.logBox()->toPlainText(),
              QLatin1Char('\n') + updatedLine(days[0].day) + QLatin1Char('\n') + notDownloadedLine(days[1].day) +
                  QLatin1Char('\n') + updatedLine(days[2].day) +
                  QStringLiteral("\n Scrip Master Updated Successfully \n Derivatives Group Updated Successfully "));
    // The scrip master is rebuilt before the derivative group.
    EXPECT_EQ(server.requested.mid(3), (QStringList{"/utilities/newscript.txt", "/utilities/DerivativesGroup.txt"}));
    EXPECT_EQ(screen.fromPicker()->date(), days[2].day.addDays(1));
    EXPECT_EQ(storedDays(services.database()), (QList<QDate>{days[0].day, days[2].day}));
    EXPECT_EQ(services.database().scalar("SELECT count(*) FROM LinkDetails WHERE GrpCode = 'ALL'").toInt(), 8000);
    EXPECT_EQ(services.database().scalar("SELECT count(*) FROM LinkDetails WHERE GrpCode = 'Derivative'").toInt(), 3);
    EXPECT_TRUE(screen.isEnabled());
}

TEST_F(RangeDownload, ReversedRangeStillRefreshesAndRefusedMasterIsReported)
{
    server.serve(QStringLiteral("/utilities/newscript.txt"),
                 marketgen::scripMasterFile(generator->scrips().mid(0, 2)) + "DROP TABLE mto\r\n");
    server.configure(services.dataFolder());
    const auto scripsBefore = services.database().query("SELECT * FROM ScripMaster ORDER BY srno").rows;

    RangeDownloadScreen screen(services);
    screen.fromPicker()->setDate(days[2].day);
    screen.toPicker()->setDate(days[0].day);
    screen.scripMasterCheck()->setChecked(true);
    screen.derivativeGroupCheck()->setChecked(true);
    QTest::mouseClick(screen.downloadButton(), Qt::LeftButton);

    const QString derivativePath = QDir::toNativeSeparators(QDir(services.dataFolder()).filePath("DerivativesGroup.txt"));
    ASSERT_EQ(prompt.messages.size(), 4) << prompt.texts().join(" | ").toStdString();
    EXPECT_TRUE(prompt.messages[0].text.startsWith(QStringLiteral("Line 3 of "))) << prompt.messages[0].text.toStdString();
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Critical);
    EXPECT_EQ(prompt.messages[1].text, QStringLiteral("Error downloading!"));
    EXPECT_EQ(prompt.messages[2].text, derivativePath + QStringLiteral(" Does Not Exists"));
    EXPECT_EQ(prompt.messages[2].icon, ui::Icon::Critical);
    EXPECT_EQ(prompt.messages[3].text, QStringLiteral("Done"));
    EXPECT_EQ(screen.logBox()->toPlainText(),
              QStringLiteral("\n Scrip Master Was Not Updated \n Derivatives Group Was Not Updated "));
    EXPECT_EQ(services.database().query("SELECT * FROM ScripMaster ORDER BY srno").rows, scripsBefore);
    EXPECT_TRUE(services.database().tableExists(QStringLiteral("mto")));
    EXPECT_EQ(server.requested, (QStringList{"/utilities/newscript.txt", "/utilities/DerivativesGroup.txt"}));
}

TEST_F(RangeDownload, OneDayDownloadOnTheMultipleUpdationScreen)
{
    serveDay(0);
    server.configure(services.dataFolder());
    // The panel as the screen holds it, beside its file panel and day picker.
    DailyFilesScreen screen(services);
    RostaneDownloadPanel panel(services, screen.deliveryPanel(), screen.dayPicker(), &screen);

    screen.dayPicker()->setDate(days[0].day);
    QTest::mouseClick(panel.downloadButton(), Qt::LeftButton);
    EXPECT_EQ(prompt.texts(), (QStringList{"Done", "Done"}));
    EXPECT_EQ(prompt.messages.last().icon, ui::Icon::Information);
    EXPECT_EQ(screen.deliveryPanel()->pathBox()->text(),
              QDir::toNativeSeparators(QDir(services.dataFolder()).filePath(QStringLiteral("NB01Jan.csv"))));
    EXPECT_EQ(storedDays(services.database()), QList<QDate>{days[0].day});

    // A missing day, with last year's file of that day left in the folder.
    prompt.messages.clear();
    leaveLastYearsFile();
    screen.dayPicker()->setDate(days[1].day);
    EXPECT_EQ(panel.downloadDay().status, Status::NotDownloaded);
    EXPECT_EQ(prompt.texts(), (QStringList{"Error downloading!",
                                           "The File Was Not Downloaded\nEither The File Does Not Exist For That Date\n"
                                           "Or There May Be Some Fault In You Internet Connection"}));

    // The same day again: the import's refusal, and no "Done".
    prompt.messages.clear();
    screen.dayPicker()->setDate(days[0].day);
    EXPECT_EQ(panel.downloadDay().status, Status::Refused);
    EXPECT_EQ(prompt.texts(), QStringList{"The Database Already Contains The Data Of 01/Jan/2024"});
    EXPECT_EQ(storedDays(services.database()), QList<QDate>{days[0].day});
}
