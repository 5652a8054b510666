#include "import/bhavcopyfixture.h"
#include "import/bhavcopypanel.h"
#include "import/dailyfilesscreen.h"
#include "import/nnfpanel.h"
#include "support/fakeservices.h"
#include "support/scriptedprompt.h"

#include <QDateEdit>
#include <QGroupBox>
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

void click(QWidget& screen, const char* button)
{
    QTest::mouseClick(control<QPushButton>(screen, button), Qt::LeftButton);
}

class RostanePanels : public ::testing::Test {
protected:
    FakeServices services;
    ScriptedPrompt prompt;
    DailyFilesScreen screen{services};
    const QDate day{2024, 2, 1};
};

}  // namespace

TEST_F(RostanePanels, CarryTheirCaptionsAndControls)
{
    QStringList boxes;
    for (const QGroupBox* box : screen.findChildren<QGroupBox*>())
        boxes.append(box->title());
    EXPECT_EQ(boxes, (QStringList{"Select Updation File", "Cash Market Bhavcopy Updation", "Import NNF Security"}));
    EXPECT_EQ(control<QPushButton>(screen, "CmdCMUpdate")->text(), "Update &Cash Market Bhavcopy");
    EXPECT_EQ(control<QPushButton>(screen, "Command5")->text(), "...");
    EXPECT_EQ(control<QPushButton>(screen, "CmdNNFSecurityImport")->text(), "Import NNF Security");
    EXPECT_EQ(control<QPushButton>(screen, "Command4")->text(), "...");
    EXPECT_EQ(control<QDateEdit>(screen, "DTPicker2")->date(), QDate::currentDate());
    EXPECT_NE(control<QProgressBar>(screen, "ProgressBar2"), nullptr);
    EXPECT_NE(control<QProgressBar>(screen, "ProgressBar3"), nullptr);
}

TEST_F(RostanePanels, BhavcopyImportThenEmaUpdateAndTheReplaceQuestion)
{
    click(screen, "CmdCMUpdate");
    EXPECT_EQ(prompt.texts(), QStringList{"Please Select A Cash Market File"});

    const QString path = writeBhavcopy(services.dataFolder(), day, {bhavRow("ACME", "EQ", 10), bhavRow("BOLT", "EQ", 20)});
    control<QLineEdit>(screen, "TxtCMFile")->setText(path);
    prompt.messages.clear();
    click(screen, "CmdCMUpdate");
    EXPECT_EQ(prompt.texts(), (QStringList{"Cash Market Bhavcopy Importing Done", "EMA Processing Done !!!"}));
    // Rows done out of the line ends plus one: 2 of 4.
    EXPECT_EQ(control<QStatusBar>(screen, "StatusBar1")->currentMessage(), "50");
    EXPECT_EQ(services.database().scalar("SELECT count(*) FROM allbhavcopy").toInt(), 2);

    // The same day again: No keeps it without a further word.
    prompt.messages.clear();
    prompt.answers.enqueue(ui::Answer::No);
    click(screen, "CmdCMUpdate");
    ASSERT_EQ(prompt.messages.size(), 1);
    const ui::Message question = prompt.messages[0];
    EXPECT_EQ(question.text, "Records For 01-FEB-2024 Already Processed ... Delete Records and Update Again");
    EXPECT_EQ(question.buttons, ui::Buttons::YesNo);
    EXPECT_EQ(question.icon, ui::Icon::Critical);
    EXPECT_EQ(question.title, "Tarvenix");

    writeBhavcopy(services.dataFolder(), day, {bhavRow("ACME", "EQ", 11)});
    prompt.messages.clear();
    prompt.answers.enqueue(ui::Answer::Yes);
    click(screen, "CmdCMUpdate");
    EXPECT_EQ(prompt.texts().mid(1),
              (QStringList{"Cash Market Bhavcopy Importing Done", "EMA Processing Done !!!"}));
    EXPECT_EQ(services.database().scalar("SELECT group_concat(symbol) FROM allbhavcopy").toString(), "ACME");
}

TEST_F(RostanePanels, BhavcopyChooserOffersThePickersDay)
{
    control<QDateEdit>(screen, "DTPicker2")->setDate(QDate(2007, 1, 5));
    prompt.files.enqueue(services.dataFolder() + "/picked.csv");
    click(screen, "Command5");
    ASSERT_EQ(prompt.fileRequests.size(), 1);
    EXPECT_EQ(prompt.fileRequests[0].directory, services.dataFolder() + "/cm05Jan2007bhav.dbf");
    EXPECT_EQ(prompt.fileRequests[0].filter, "*.csv (*.csv)");
    EXPECT_EQ(control<QLineEdit>(screen, "TxtCMFile")->text(), services.dataFolder() + "/picked.csv");

    // A cancelled chooser keeps the path.
    click(screen, "Command5");
    EXPECT_EQ(control<QLineEdit>(screen, "TxtCMFile")->text(), services.dataFolder() + "/picked.csv");
}

TEST_F(RostanePanels, NnfImportMessages)
{
    click(screen, "CmdNNFSecurityImport");
    control<QLineEdit>(screen, "TxtNNFSecurity")->setText(services.dataFolder() + "/none.csv");
    click(screen, "CmdNNFSecurityImport");
    const QString path = writeText(services.dataFolder(), "Security.csv", "Header|\n1|ACME|EQ|\n2|ACME|BE|\n");
    control<QLineEdit>(screen, "TxtNNFSecurity")->setText(path);
    click(screen, "CmdNNFSecurityImport");
    EXPECT_EQ(prompt.texts(), (QStringList{"Please Select NNF Security File", "File not found",
                                           "NNF Security Import Completed Successfully"}));
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::None);
    EXPECT_EQ(prompt.messages[1].icon, ui::Icon::Critical);
    EXPECT_EQ(services.database().scalar("SELECT count(*) FROM nnf_security").toInt(), 1);
    EXPECT_EQ(control<QStatusBar>(screen, "StatusBar1")->currentMessage(), "50");  // 2 lines of 4 (line ends plus one)

    click(screen, "Command4");
    ASSERT_EQ(prompt.fileRequests.size(), 1);
    EXPECT_EQ(prompt.fileRequests[0].directory, services.dataFolder() + "/Security.csv");
}
