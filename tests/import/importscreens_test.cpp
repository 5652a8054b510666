#include "import/deliveryfile.h"
#include "import/rangedownloadscreen.h"
#include "import/dailyfilesscreen.h"
#include "import/importscreens.h"
#include "import/mtotestrows.h"
#include "marketgenerator.h"
#include "shell/screenregistry.h"
#include "support/fakeservices.h"
#include "store/datetext.h"
#include "support/scriptedprompt.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace import;

namespace {

template <typename T>
T* control(QWidget& screen, const char* name)
{
    T* found = screen.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// A store with a generated scrip master and the files of its first days.
class ImportScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        marketgen::GeneratorOptions options;
        options.seed = 11;
        options.scripCount = 25;
        generator = std::make_unique<marketgen::MarketGenerator>(options);
        generator->writeScripMaster(services.database());
        day = generator->nextDay();
        path = generator->writeDeliveryFile(services.dataFolder(), day);
    }

    static void process(QWidget& screen, const QString& file)
    {
        control<QLineEdit>(screen, "txtBSE")->setText(file);
        QTest::mouseClick(control<QPushButton>(screen, "Command1"), Qt::LeftButton);
    }

    FakeServices services;
    ScriptedPrompt prompt;
    std::unique_ptr<marketgen::MarketGenerator> generator;
    marketgen::MarketDay day;
    QString path;
};

}  // namespace

TEST(ImportScreens, MenuItemsOpenTheImportScreens)
{
    shell::ScreenRegistry registry;
    registerImportScreens(registry);
    FakeServices services;
    const QList<std::pair<QString, QString>> screens{{"DatabaseTesting", "Data Updation"},
                                                     {"MnuMul_DataUpd", "Multiple Data Updation"}};
    for (const auto& [item, caption] : screens) {
        ASSERT_TRUE(registry.contains(item)) << item.toStdString();
        std::unique_ptr<QWidget> screen(registry.factory(item)(services));
        EXPECT_EQ(screen->windowTitle(), caption);
        EXPECT_EQ(control<QPushButton>(*screen, "Command1")->text(), QStringLiteral("&Process"));
        EXPECT_EQ(control<QPushButton>(*screen, "Command2")->text(), QStringLiteral("..."));
        EXPECT_EQ(control<QDateEdit>(*screen, "DTPicker1")->date(), QDate::currentDate());
        EXPECT_EQ(control<QDateEdit>(*screen, "DTPicker1")->text(), datetext::toDisplay(QDate::currentDate()));
    }
}

TEST_F(ImportScreen, DataUpdationLoadsAGeneratedDayQuietly)
{
    RangeDownloadScreen screen(services);
    process(screen, path);
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.lastText().toStdString();
    EXPECT_EQ(firstDifference(storedMtoRows(services.database()), expectedMtoRows(*generator, day)), QString());

    // 25 rows of a file with 26 line ends: the scale is 27.
    auto* bar = control<QProgressBar>(screen, "ProgressBar1");
    EXPECT_EQ(bar->maximum(), 27);
    EXPECT_EQ(bar->value(), 25);
    EXPECT_EQ(control<QStatusBar>(screen, "StatusBar1")->currentMessage(), QStringLiteral("93"));

    // The same day again is refused with the day, and nothing changes.
    process(screen, path);
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].text, QStringLiteral("The Database Already Contains The Data Of %1")
                                           .arg(datetext::toDisplay(day.day)));
    EXPECT_EQ(prompt.messages[0].title, QStringLiteral("Tarvenix"));
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::None);
    EXPECT_EQ(prompt.messages[0].buttons, ui::Buttons::Ok);
    EXPECT_EQ(services.database().scalar("SELECT count(*) FROM mto").toInt(), 25);

    // A file refused part-way (a blank line before its last row) shows no
    // progress left over, as if work were still under way.
    services.database().exec("DELETE FROM mto");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray text = file.readAll();
    text.insert(text.lastIndexOf("\r\n", text.size() - 3) + 2, "\r\n");
    file.resize(0);
    file.write(text);
    file.close();
    process(screen, path);
    EXPECT_TRUE(prompt.lastText().startsWith("Line 26 ")) << prompt.lastText().toStdString();
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(control<QStatusBar>(screen, "StatusBar1")->currentMessage(), QString());
}

TEST_F(ImportScreen, MultipleDataUpdationConfirmsEachLoadedFile)
{
    DailyFilesScreen screen(services);
    process(screen, QString());
    process(screen, path);
    const QString headerOnly = QDir(services.dataFolder()).filePath(QStringLiteral("NB02Jan.csv"));
    {
        QFile file(headerOnly);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(generator->deliveryFile({QDate(2024, 1, 2), {}}));
    }
    process(screen, headerOnly);
    EXPECT_EQ(prompt.texts(), QStringList({"Please Select A File", "Done", "Done"}));
    EXPECT_EQ(services.database().scalar("SELECT count(*) FROM mto").toInt(), 25);
}

TEST_F(ImportScreen, ChooserOffersTodaysFileAndACancelKeepsThePath)
{
    RangeDownloadScreen screen(services);
    auto* box = control<QLineEdit>(screen, "txtBSE");
    auto* choose = control<QPushButton>(screen, "Command2");
    const QString stem = deliveryfile::fileStem(QDate::currentDate());

    QDir(services.dataFolder()).mkpath(QStringLiteral("downloads"));
    const QString chosen = QDir(services.dataFolder()).filePath(QStringLiteral("downloads/NB01Jan.csv"));
    prompt.files.enqueue(chosen);
    QTest::mouseClick(choose, Qt::LeftButton);
    EXPECT_EQ(box->text(), QDir::toNativeSeparators(chosen));

    QTest::mouseClick(choose, Qt::LeftButton);  // cancelled
    EXPECT_EQ(box->text(), QDir::toNativeSeparators(chosen));

    ASSERT_EQ(prompt.fileRequests.size(), 2);
    EXPECT_EQ(prompt.fileRequests[0].directory, QDir(services.dataFolder()).filePath(stem));
    EXPECT_EQ(prompt.fileRequests[1].directory,
              QDir(services.dataFolder()).filePath(QStringLiteral("downloads/") + stem));
    EXPECT_TRUE(prompt.fileRequests[0].filter.contains(QStringLiteral("*.csv")));
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(ImportScreen, LeavingTheFirstDayCarriesItIntoTheLastDay)
{
    RangeDownloadScreen screen(services);
    screen.show();
    QApplication::setActiveWindow(&screen);
    auto* from = control<QDateEdit>(screen, "DTPicker1");
    auto* to = control<QDateEdit>(screen, "DTPicker2");
    const QDate today = QDate::currentDate();

    from->setFocus();
    from->setDate(today.addDays(-10));
    EXPECT_EQ(to->date(), today);  // changing the first day alone does not move the last

    control<QLineEdit>(screen, "txtBSE")->setFocus();
    EXPECT_EQ(to->date(), today.addDays(-10));
}
