// The date-range deletion: exactly the days of the range go, in one
// transaction, and only after the user agreed.
#include "import/daterangedeletionscreen.h"
#include "import/importscreens.h"
#include "import/mtodeletion.h"
#include "import/mtotestrows.h"
#include "marketgenerator.h"
#include "shell/screenregistry.h"
#include "store/datetext.h"
#include "support/fakeservices.h"
#include "support/scriptedprompt.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace import;

namespace {

// Five trading days: Thursday 4 January 2024 to Wednesday 10 January, the
// weekend between them holding no data.
class DateRangeDeletion : public ::testing::Test {
protected:
    void SetUp() override
    {
        marketgen::GeneratorOptions options;
        options.seed = 9;
        options.scripCount = 8;
        options.firstDay = QDate(2024, 1, 4);
        generator = std::make_unique<marketgen::MarketGenerator>(options);
        generator->writeScripMaster(services.database());
        generator->fillMto(services.database(), 5);
        days = marketgen::MarketGenerator::tradingDays(options.firstDay, 5);
    }

    qint64 rowsOf(const QDate& from, const QDate& to)
    {
        return services.database()
            .scalar(QStringLiteral("SELECT count(*) FROM mto WHERE TransDate BETWEEN ? AND ?"), {from, to})
            .toLongLong();
    }

    FakeServices services;
    ScriptedPrompt prompt;
    std::unique_ptr<marketgen::MarketGenerator> generator;
    QList<QDate> days;
};

}  // namespace

TEST_F(DateRangeDeletion, DeletesExactlyTheDaysOfTheRange)
{
    // A range that spans no data deletes nothing.
    const auto before = storedMtoRows(services.database());
    EXPECT_EQ(deleteMtoRange(services.database(), {QDate(2024, 1, 6), QDate(2024, 1, 7)}), 0);
    EXPECT_EQ(storedMtoRows(services.database()), before);

    // Friday to Monday takes those two days and nothing else.
    EXPECT_EQ(deleteMtoRange(services.database(), {days[1], days[2]}), 16);
    EXPECT_EQ(mtoTradingDays(services.database()), (QList<QDate>{days[0], days[3], days[4]}));

    EXPECT_EQ(deleteMtoRange(services.database(), {days[4], days[4]}), 8);
    EXPECT_EQ(mtoTradingDays(services.database()), (QList<QDate>{days[0], days[3]}));
}

TEST(DeletionRange, ReadsTheTwoDatesOrSaysWhy)
{
    QString message;
    EXPECT_FALSE(readDeletionRange(QString(), QStringLiteral("04/Jan/2024"), &message));
    EXPECT_EQ(message, QStringLiteral("Select A Valid Date "));
    EXPECT_FALSE(readDeletionRange(QStringLiteral("4 January"), QStringLiteral("04/Jan/2024"), &message));
    EXPECT_EQ(message, QStringLiteral("Select A Valid Date "));
    EXPECT_FALSE(readDeletionRange(QStringLiteral("05/Jan/2024"), QStringLiteral("04/Jan/2024"), &message));
    EXPECT_EQ(message, QStringLiteral("First Date < Second Date"));
    const auto range = readDeletionRange(QStringLiteral("04/jan/2024"), QStringLiteral(" 04/Jan/2024 "), &message);
    ASSERT_TRUE(range);
    EXPECT_EQ(range->from, QDate(2024, 1, 4));
    EXPECT_EQ(range->to, QDate(2024, 1, 4));
}

TEST_F(DateRangeDeletion, ScreenAsksBeforeDeletingAndThenStaysDisabled)
{
    shell::ScreenRegistry registry;
    registerImportScreens(registry);
    ASSERT_TRUE(registry.contains(QStringLiteral("DeleteRecords")));
    std::unique_ptr<QWidget> widget(registry.factory(QStringLiteral("DeleteRecords"))(services));
    auto* screen = qobject_cast<DateRangeDeletionScreen*>(widget.get());
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("Delete Record"));
    ASSERT_EQ(screen->fromBox()->count(), 5);
    EXPECT_EQ(screen->fromBox()->itemText(0), QStringLiteral("04/Jan/2024"));
    EXPECT_TRUE(screen->fromBox()->currentText().isEmpty());
    QPushButton* button = screen->deleteButton();
    const auto before = storedMtoRows(services.database());

    // Nothing chosen, then only one day, then the days the wrong way round.
    QTest::mouseClick(button, Qt::LeftButton);
    screen->fromBox()->setCurrentIndex(3);
    QTest::mouseClick(button, Qt::LeftButton);
    screen->toBox()->setCurrentIndex(1);
    QTest::mouseClick(button, Qt::LeftButton);
    // The right way round, but the user says No.
    screen->fromBox()->setCurrentIndex(1);
    screen->toBox()->setCurrentIndex(3);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(prompt.texts(), (QStringList{"Select A Valid Date ", "Select A Valid Date ", "First Date < Second Date",
                                           "Delete all records from 05/Jan/2024 to 09/Jan/2024?"}));
    EXPECT_EQ(prompt.messages.last().buttons, ui::Buttons::YesNo);
    EXPECT_EQ(storedMtoRows(services.database()), before);
    EXPECT_TRUE(button->isEnabled());

    prompt.messages.clear();
    prompt.answers.enqueue(ui::Answer::Yes);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Delete Successfully Completed ..... "));
    EXPECT_EQ(mtoTradingDays(services.database()), (QList<QDate>{days[0], days[4]}));
    EXPECT_EQ(rowsOf(days[0], days[0]), 8);
    EXPECT_FALSE(button->isEnabled());
    // The lists still show the deleted days until the screen is opened again.
    EXPECT_EQ(screen->toBox()->count(), 5);
}
