// The import screens driven through their controls: the two delivery import
// screens, the bhavcopy and NNF panels of the multiple updation screen, the
// deletion, the Excel import and the SQL script screens, and the scripts
// themselves.
#include "import/bhavcopyfixture.h"
#include "import/deliveryfile.h"
#include "import/sqlscriptscreen.h"
#include "import/rangedownloadscreen.h"
#include "import/dailyfilesscreen.h"
#include "import/importscreens.h"
#include "import/mtodeletion.h"
#include "import/mtotestrows.h"
#include "import/sqlscriptgenerator.h"
#include "import/xlsfixture.h"
#include "marketgenerator.h"
#include "shell/screenregistry.h"
#include "store/datetext.h"
#include "support/fakeservices.h"
#include "support/scriptedprompt.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace import;

namespace {

template <typename T = QPushButton>
T* control(QWidget& screen, const char* name)
{
    T* found = screen.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void click(QWidget& screen, const char* button)
{
    QTest::mouseClick(control(screen, button), Qt::LeftButton);
}

class ImportScreen : public ::testing::Test {
protected:
    // The screen its menu item opens.
    std::unique_ptr<QWidget> open(const QString& menuItem)
    {
        shell::ScreenRegistry registry;
        registerImportScreens(registry);
        EXPECT_TRUE(registry.contains(menuItem)) << menuItem.toStdString();
        return std::unique_ptr<QWidget>(registry.factory(menuItem)(services));
    }

    static void process(QWidget& screen, const QString& file)
    {
        control<QLineEdit>(screen, "txtBSE")->setText(file);
        click(screen, "Command1");
    }

    static QString status(QWidget& screen) { return control<QStatusBar>(screen, "StatusBar1")->currentMessage(); }

    FakeServices services;
    ScriptedPrompt prompt;
};

}  // namespace

TEST_F(ImportScreen, MenuItemsOpenTheScreensWithTheirCaptionsAndDays)
{
    for (const auto& [item, caption] :
         {std::pair{"DatabaseTesting", "Data Updation"}, {"MnuMul_DataUpd", "Multiple Data Updation"}}) {
        const auto screen = open(item);
        EXPECT_EQ(screen->windowTitle(), caption);
        EXPECT_EQ(control(*screen, "Command1")->text(), QStringLiteral("&Process"));
        EXPECT_EQ(control(*screen, "Command2")->text(), QStringLiteral("..."));
        EXPECT_EQ(control<QDateEdit>(*screen, "DTPicker1")->text(), datetext::toDisplay(QDate::currentDate()));
    }
    DailyFilesScreen screen(services);
    QStringList boxes;
    for (const QGroupBox* box : screen.findChildren<QGroupBox*>())
        boxes.append(box->title());
    EXPECT_EQ(boxes, (QStringList{"Select Updation File", "Cash Market Bhavcopy Updation", "Import NNF Security"}));
    for (const auto& [name, caption] : {std::pair{"CmdCMUpdate", "Update &Cash Market Bhavcopy"}, {"Command5", "..."},
                                        {"CmdNNFSecurityImport", "Import NNF Security"}, {"Command4", "..."}})
        EXPECT_EQ(control(screen, name)->text(), caption);
    EXPECT_EQ(control<QDateEdit>(screen, "DTPicker2")->date(), QDate::currentDate());

    // Leaving the first day of the range carries it into the last day.
    RangeDownloadScreen single(services);
    single.show();
    QApplication::setActiveWindow(&single);
    auto* from = control<QDateEdit>(single, "DTPicker1");
    auto* to = control<QDateEdit>(single, "DTPicker2");
    const QDate today = QDate::currentDate();
    from->setFocus();
    from->setDate(today.addDays(-10));
    EXPECT_EQ(to->date(), today);  // changing the first day alone does not move the last
    control<QLineEdit>(single, "txtBSE")->setFocus();
    EXPECT_EQ(to->date(), today.addDays(-10));
}

TEST_F(ImportScreen, DataUpdationLoadsAGeneratedDayQuietly)
{
    marketgen::GeneratorOptions options;
    options.seed = 11;
    options.scripCount = 25;
    marketgen::MarketGenerator generator(options);
    generator.writeScripMaster(services.database());
    const marketgen::MarketDay day = generator.nextDay();
    const QString path = generator.writeDeliveryFile(services.dataFolder(), day);
    RangeDownloadScreen screen(services);
    process(screen, path);
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.lastText().toStdString();
    EXPECT_EQ(firstDifference(storedMtoRows(services.database()), expectedMtoRows(generator, day)), QString());
    // 25 rows of a file with 26 line ends: the scale is 27.
    auto* bar = control<QProgressBar>(screen, "ProgressBar1");
    EXPECT_EQ(bar->maximum(), 27);
    EXPECT_EQ(bar->value(), 25);
    EXPECT_EQ(status(screen), QStringLiteral("93"));

    // The same day again is refused with the day, and nothing changes.
    process(screen, path);
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].text, "The Database Already Contains The Data Of " + datetext::toDisplay(day.day));
    EXPECT_EQ(prompt.messages[0].title, QStringLiteral("Tarvenix"));
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::None);
    EXPECT_EQ(prompt.messages[0].buttons, ui::Buttons::Ok);
    EXPECT_EQ(services.database().scalar("SELECT count(*) FROM mto").toInt(), 25);

    // A file refused part-way (a blank line before its last row) shows no
    // progress left over, as if work were still under way.
    services.database().exec("DELETE FROM mto");
    QByteArray text = generator.deliveryFile(day);
    text.insert(text.lastIndexOf("\r\n", text.size() - 3) + 2, "\r\n");
    process(screen, writeText(services.dataFolder(), path.section('/', -1), text));
    EXPECT_TRUE(prompt.lastText().startsWith("Line 26 ")) << prompt.lastText().toStdString();
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(status(screen), QString());
}

// Each chooser offers its file in the data folder, or in the folder chosen
// last; a cancelled chooser keeps the path.
TEST_F(ImportScreen, ChoosersOfferTheirFileAndACancelKeepsThePath)
{
    RangeDownloadScreen single(services);
    DailyFilesScreen multiple(services);
    const auto excel = open("importfromexcel");
    control<QDateEdit>(multiple, "DTPicker2")->setDate(QDate(2007, 1, 5));
    const QString folder = services.dataFolder(), downloads = folder + "/downloads";
    QDir(folder).mkpath(QStringLiteral("downloads"));
    const QList<std::tuple<QWidget*, const char*, const char*, QString, QString>> choosers{
        {&single, "Command2", "txtBSE", deliveryfile::fileStem(QDate::currentDate()),
         "*.csv (*.csv);;*.txt (*.txt);;*.csv;*.txt (*.csv *.txt)"},
        {&multiple, "Command5", "TxtCMFile", "cm05Jan2007bhav.dbf", "*.csv (*.csv)"},
        {&multiple, "Command4", "TxtNNFSecurity", "Security.csv", "*.csv (*.csv)"},
    };
    for (const auto& [screen, button, box, offered, filter] : choosers) {
        const QString chosen = downloads + "/" + button + ".csv";
        prompt.files.enqueue(chosen);
        prompt.fileRequests.clear();
        click(*screen, button);
        click(*screen, button);  // cancelled
        EXPECT_EQ(control<QLineEdit>(*screen, box)->text(), chosen);
        ASSERT_EQ(prompt.fileRequests.size(), 2);
        EXPECT_EQ(prompt.fileRequests[0].directory, folder + "/" + offered) << button;
        EXPECT_EQ(prompt.fileRequests[1].directory, downloads + "/" + offered) << button;
        EXPECT_EQ(prompt.fileRequests[0].filter, filter) << button;
    }
    prompt.files.enqueue(downloads + "/day.xls");
    click(*excel, "Command1");
    EXPECT_EQ(prompt.fileRequests.last().filter, "Excel Files(*.xls)");
    EXPECT_EQ(control<QLineEdit>(*excel, "Text1")->text(), downloads + "/day.xls");
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(ImportScreen, BhavcopyImportThenEmaUpdateAndTheReplaceQuestion)
{
    DailyFilesScreen screen(services);
    click(screen, "CmdCMUpdate");
    const QDate day{2024, 2, 1};
    const QString folder = services.dataFolder();
    const QString file =
        marketgen::BhavcopyWriter::writeFile(folder, day, {bhavRow("ACME", "EQ", 10), bhavRow("BOLT", "EQ", 20)});
    control<QLineEdit>(screen, "TxtCMFile")->setText(file);
    click(screen, "CmdCMUpdate");
    EXPECT_EQ(prompt.texts(), (QStringList{"Please Select A Cash Market File", "Cash Market Bhavcopy Importing Done",
                                           "EMA Processing Done !!!"}));
    EXPECT_EQ(status(screen), "50");  // rows done out of the line ends plus one: 2 of 4
    auto stored = [&] {
        return services.database().scalar("SELECT group_concat(symbol || ' ' || closeprice, ', ') FROM allbhavcopy");
    };
    EXPECT_EQ(stored(), "ACME 10.0, BOLT 20.0");

    // The same day again: No keeps it without a further word.
    prompt.messages.clear();
    prompt.answers.enqueue(ui::Answer::No);
    marketgen::BhavcopyWriter::writeFile(folder, day, {bhavRow("ACME", "EQ", 11), bhavRow("ZETA", "EQ", 5)});
    click(screen, "CmdCMUpdate");
    ASSERT_EQ(prompt.messages.size(), 1);
    const QString question = "Records For 01-FEB-2024 Already Processed ... Delete Records and Update Again";
    EXPECT_EQ(prompt.messages[0].text, question);
    EXPECT_EQ(prompt.messages[0].buttons, ui::Buttons::YesNo);
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Critical);
    EXPECT_EQ(prompt.messages[0].title, "Tarvenix");
    EXPECT_EQ(stored(), "ACME 10.0, BOLT 20.0");

    // A damaged file of the day is refused before the question; Yes replaces the day.
    control<QLineEdit>(screen, "TxtCMFile")
        ->setText(writeText(folder, "d.csv",
                            marketgen::BhavcopyWriter::file(day, {bhavRow("ACME", "EQ", 5)}) + "ACME,EQ,x\r\n"));
    click(screen, "CmdCMUpdate");
    EXPECT_TRUE(prompt.lastText().startsWith("Line 3 of the file cannot be imported: "));
    EXPECT_EQ(stored(), "ACME 10.0, BOLT 20.0");
    control<QLineEdit>(screen, "TxtCMFile")->setText(file);
    prompt.answers.enqueue(ui::Answer::Yes);
    click(screen, "CmdCMUpdate");
    EXPECT_EQ(prompt.texts().mid(2),
              (QStringList{question, "Cash Market Bhavcopy Importing Done", "EMA Processing Done !!!"}));
    EXPECT_EQ(stored(), "ACME 11.0, ZETA 5.0");
}

TEST_F(ImportScreen, NnfImportMessages)
{
    DailyFilesScreen screen(services);
    auto* path = control<QLineEdit>(screen, "TxtNNFSecurity");
    click(screen, "CmdNNFSecurityImport");
    path->setText(services.dataFolder() + "/none.csv");
    click(screen, "CmdNNFSecurityImport");
    path->setText(writeText(services.dataFolder(), "Security.csv", "Header|\n1|ACME|EQ|\n2|ACME|BE|\n"));
    click(screen, "CmdNNFSecurityImport");
    EXPECT_EQ(prompt.texts(), (QStringList{"Please Select NNF Security File", "File not found",
                                           "NNF Security Import Completed Successfully"}));
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::None);
    EXPECT_EQ(prompt.messages[1].icon, ui::Icon::Critical);
    EXPECT_EQ(services.database().scalar("SELECT count(*) FROM nnf_security").toInt(), 1);
    EXPECT_EQ(status(screen), "50");  // 2 lines of 4 (line ends plus one)
}

// Exactly the days of the range go, and only after the user agreed: five
// trading days of eight scrips, Thursday 4 January 2024 to Wednesday 10
// January.
TEST_F(ImportScreen, DeletionAsksBeforeDeletingTheDaysOfTheRange)
{
    marketgen::GeneratorOptions options;
    options.seed = 9;
    options.scripCount = 8;
    options.firstDay = QDate(2024, 1, 4);
    marketgen::MarketGenerator generator(options);
    generator.writeScripMaster(services.database());
    generator.fillMto(services.database(), 5);
    const auto before = storedMtoRows(services.database());
    const auto screen = open("DeleteRecords");
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("Delete Record"));
    auto* from = control<QComboBox>(*screen, "ComboDate");
    auto* to = control<QComboBox>(*screen, "Combo1");
    ASSERT_EQ(from->count(), 5);
    EXPECT_EQ(from->itemText(0), QStringLiteral("04/Jan/2024"));
    EXPECT_TRUE(from->currentText().isEmpty());

    // Each pair of texts is refused or asked about; the user says No.
    const QList<std::tuple<QString, QString, QString>> cases{
        {"", "", "Select A Valid Date "},
        {"09/Jan/2024", "", "Select A Valid Date "},
        {"4 January", "04/Jan/2024", "Select A Valid Date "},
        {"09/Jan/2024", "05/Jan/2024", "First Date < Second Date"},
        {" 10/jan/2024 ", "10/Jan/2024", "Delete all records of 10/Jan/2024?"},
        {"05/Jan/2024", "09/Jan/2024", "Delete all records from 05/Jan/2024 to 09/Jan/2024?"},
    };
    for (const auto& [fromText, toText, message] : cases) {
        from->setEditText(fromText);
        to->setEditText(toText);
        click(*screen, "cmddelete");
        EXPECT_EQ(prompt.lastText(), message) << fromText.toStdString() << " " << toText.toStdString();
    }
    EXPECT_EQ(prompt.messages.size(), cases.size());
    EXPECT_EQ(prompt.messages.last().buttons, ui::Buttons::YesNo);
    EXPECT_EQ(storedMtoRows(services.database()), before);

    // Friday to Tuesday, over the weekend, takes those three days and nothing else.
    prompt.answers.enqueue(ui::Answer::Yes);
    click(*screen, "cmddelete");
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Delete Successfully Completed ..... "));
    EXPECT_EQ(mtoTradingDays(services.database()), (QList<QDate>{QDate(2024, 1, 4), QDate(2024, 1, 10)}));
    EXPECT_EQ(services.database().scalar("SELECT count(*) FROM mto").toInt(), 16);
    EXPECT_FALSE(control(*screen, "cmddelete")->isEnabled());
    // The lists still show the deleted days until the screen is opened again.
    EXPECT_EQ(to->count(), 5);
}

TEST_F(ImportScreen, ExcelImportAsksForAFileThenImportsTheDayPicked)
{
    const auto screen = open("importfromexcel");
    EXPECT_EQ(screen->windowTitle(), "Import From Excel");
    auto* picker = control<QDateEdit>(*screen, "DTPicker1");
    EXPECT_EQ(control(*screen, "cmdOpen")->text(), "Process");
    EXPECT_EQ(picker->date(), QDate::currentDate());
    click(*screen, "cmdOpen");

    services.database().exec("INSERT INTO ScripMaster (srno, nsescrip) VALUES (1, 'ABCDE')");
    const QString path = services.dataFolder() + "/day.xls";
    const QVariantList row = QVariantList{QVariant(), "ABCDE-EQ1"} + QVariantList(9) + QVariantList{5, 1};
    ASSERT_TRUE(writeXlsFixture(path, {{"Sheet1", {{"Heading"}, row}}}));
    control<QLineEdit>(*screen, "Text1")->setText(path);
    picker->setDate(QDate(2024, 4, 3));
    click(*screen, "cmdOpen");
    ASSERT_EQ(prompt.messages.size(), 2);
    EXPECT_EQ(prompt.messages[0].text, "Please Select The Excel File To Import From ");
    EXPECT_EQ(prompt.messages[0].icon, ui::Icon::Critical);
    EXPECT_EQ(prompt.messages[0].title, "Import From Excel");
    EXPECT_EQ(prompt.messages[1].text, "Updation Over\n1 row written.");
    EXPECT_EQ(prompt.messages[1].title, "Tarvenix");
    EXPECT_EQ(services.database().scalar("SELECT NSETrdQty FROM mto WHERE TransDate = '2024-04-03'").toDouble(), 1000);
}

// Each button fills the box with its script, after its message; the picked
// day chooses the GainLoss rows.
TEST_F(ImportScreen, SqlScriptButtonsFillTheBoxAfterTheirMessage)
{
    services.database().execScript("INSERT INTO LinkDetails (GrpCode, ScrCode) VALUES ('Derivative', 5), ('ALL', 12);"
                                   "INSERT INTO hilo VALUES ('ACME', 210.5, 99, 150.25);"
                                   "INSERT INTO GainLoss VALUES ('2024-03-04', 'ACME', 110, 100, 10, 'Gain'), "
                                   "('2024-03-05', 'BOLT', 90, 100, -10, 'Loss')");
    SqlScriptScreen screen(services);
    EXPECT_EQ(screen.windowTitle(), "Generate SQL Script");
    auto* box = control<QPlainTextEdit>(screen, "Text1");
    const QList<std::tuple<const char*, const char*, QDate, QString>> buttons{
        {"Command1", "MTO", QDate(),
         " insert into linkdetails values ('Derivative',5);\n insert into linkdetails values ('ALL',12);\n"},
        {"Command2", "GainLoss", QDate::currentDate(), ""},
        {"Command2", "GainLoss", QDate(2024, 3, 4),
         " insert into gainloss values ('2024-03-04','ACME',110,100,10,'Gain');\n"},
        {"Command3", "HiLo", QDate(), "delete from hilo; insert into hilo values ('ACME',210.5,99,150.25);\n"},
    };
    for (const auto& [name, caption, day, script] : buttons) {
        EXPECT_EQ(control(screen, name)->text(), caption);
        if (day.isValid())
            control<QDateEdit>(screen, "DTPicker1")->setDate(day);
        box->setPlainText("old");
        click(screen, name);
        EXPECT_EQ(prompt.lastText(), QString(caption) + " - Data Exported");
        EXPECT_EQ(box->toPlainText(), script) << name;
    }
}

// Scripts run line by line in another copy of the database rebuild the same
// rows, whatever texts and numbers they hold.
TEST(SqlScript, ScriptsRebuildTheSameRowsWhateverTheyHold)
{
    TestStore source, copy;
    const QString hostile = QStringLiteral("X'); DROP TABLE mto; --");
    source.db().exec("INSERT INTO LinkDetails (GrpCode, ScrCode) VALUES ('O''Brien''s', 3), (?, 4)", {hostile});
    source.db().exec("INSERT INTO GainLoss VALUES ('2024-03-04', ?, 0.1, NULL, 1e-7, NULL), "
                     "('2024-03-04', 'ZETA', 123456789.125, 2, -3.5, 'Loss')",
                     {hostile});
    source.db().exec("INSERT INTO hilo VALUES (?, NULL, 1.0, 2.75)", {hostile});

    // One line per row, each ending in CR LF; the HiLo script deletes first on its first line.
    for (const auto& [script, lineCount] : {std::pair{sqlscript::linkDetailsScript(source.db()), 2},
                                            {sqlscript::gainLossScript(source.db(), QDate(2024, 3, 4)), 2},
                                            {sqlscript::hiloScript(source.db()), 1}}) {
        const QStringList lines = script.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        EXPECT_EQ(lines.size(), lineCount) << script.toStdString();
        for (const QString& line : lines)
            copy.db().execScript(line);
    }

    EXPECT_TRUE(copy.db().tableExists("mto"));
    for (const char* select : {"SELECT GrpCode, ScrCode FROM LinkDetails ORDER BY rowid",
                               "SELECT trndate, Script, ClosePrice, PrevClose, perc, gainloss, typeof(trndate) FROM "
                               "GainLoss ORDER BY rowid",
                               "SELECT Script, Hi52Week, Lo52week, ClosePrice FROM hilo ORDER BY rowid"})
        EXPECT_EQ(copy.db().query(select).rows, source.db().query(select).rows) << select;
}
