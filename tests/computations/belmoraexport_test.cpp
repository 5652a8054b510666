#include "computations/belmoraexport.h"
#include "openinterestfixture.h"
#include "query/clientbranches.h"
#include "store/datetext.h"
#include "support/scriptedprompt.h"
#include "viewer/workbook.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using query::RangeMeasure;
using query::RunStatus;

namespace {

const QString kLabel = QStringLiteral("Belmora - Price Query");
const QString kQuestion = QStringLiteral("Export To Excel Query Screen");
const QDate kDay{2024, 1, 5};
const QDate kPrevious{2024, 1, 4};

// Six BSE scrips whose close rose (deliveries 660000 down to 610000, closes
// up by 1 to 6 per cent) and one NSE scrip whose close fell.
class BelmoraExport : public ::testing::Test {
protected:
    openinterest_test::TwoStores stores;
    QTemporaryDir home;
    ScriptedPrompt prompt;

    void SetUp() override
    {
        for (int i = 1; i <= 6; ++i) {
            stores.addScrip(i, QStringLiteral("Bse %1").arg(i), QString(), QStringLiteral("50000%1").arg(i));
            stores.addDay(i, kPrevious, 0, 0, 0, 1000000, 500000, 100);
            stores.addDay(i, kDay, 0, 0, 0, 1234600, 600000 + (7 - i) * 10000, 100 + i);
        }
        stores.addScrip(7, QStringLiteral("Nova Ltd"), QStringLiteral("NOVA"), QString());
        stores.addDay(7, kPrevious, 200000, 100000, 80, 0, 0, 0);
        stores.addDay(7, kDay, 300000, 150000, 70, 0, 0, 0);
    }

    QString folder() const { return home.filePath(QStringLiteral("data/tarvenix")); }
    QString workbookPath() const { return computations::queryFormatPath(folder()); }
    QString csvPath() const { return QDir(folder()).filePath(query::belmoraCsvFileName(kDay)); }

    query::RunOutcome run(ui::Answer answer, const QString& dataFolder = QString())
    {
        prompt.answers.enqueue(answer);
        query::RunInputs in = stores.inputs(kLabel, kDay, 6);
        in.numberText = QStringLiteral("2");
        in.range(RangeMeasure::Price) = {false, 50, 0};
        in.range(RangeMeasure::TradedQty) = {false, 25000, 0};
        in.range(RangeMeasure::DeliveryPercent) = {false, 30, 0};
        in.dataFolder = dataFolder.isEmpty() ? folder() : dataFolder;
        return stores.run(in);
    }

    viewer::WorkbookSheet exportSheet() const
    {
        const viewer::Workbook book = viewer::Workbook::read(workbookPath());
        const viewer::WorkbookSheet* sheet = book.sheet(QStringLiteral("Sheet2"));
        return sheet ? *sheet : viewer::WorkbookSheet();
    }

    QVariantList rowValues(const viewer::WorkbookSheet& sheet, int row, int column) const
    {
        QVariantList values;
        for (int c = column; c < column + 6; ++c)
            values.append(sheet.value(row, c));
        return values;
    }
};

TEST_F(BelmoraExport, NoWritesNothingAndYesWritesTheBlocksAndTheCsvWithoutAResult)
{
    // No shows the query result and writes nothing.
    auto outcome = run(ui::Answer::No);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(outcome.rows.size(), 7);
    ASSERT_EQ(prompt.texts(), QStringList{kQuestion});
    EXPECT_EQ(prompt.messages.first().title, QStringLiteral("Delivery Details"));
    EXPECT_EQ(prompt.messages.first().buttons, ui::Buttons::YesNo);
    EXPECT_FALSE(QFile::exists(workbookPath()));
    EXPECT_FALSE(QFile::exists(csvPath()));

    prompt.messages.clear();
    outcome = run(ui::Answer::Yes);
    EXPECT_EQ(outcome.status, RunStatus::Stopped) << outcome.message.toStdString();
    EXPECT_TRUE(outcome.resultTable.isEmpty());
    EXPECT_EQ(prompt.texts(), (QStringList{kQuestion, "Exported to QueryFormat (Excel File ) : " + workbookPath(),
                                           ".csv file generated " + csvPath()}));
    for (int i : {1, 2})
        EXPECT_EQ((std::pair{prompt.messages.at(i).buttons, prompt.messages.at(i).icon}),
                  (std::pair{ui::Buttons::Ok, ui::Icon::None}));
    // A data folder named with an ESC and a direction override: quoted with their codes.
    prompt.messages.clear();
    run(ui::Answer::Yes, home.filePath("odd\x1B[2J\u202Ex"));
    const QString shown = home.path() + "/odd\\x1B[2J\\u202Ex/";
    EXPECT_EQ(prompt.texts(),
              (QStringList{kQuestion, "Exported to QueryFormat (Excel File ) : " + shown + "QueryFormat.xlsx",
                           ".csv file generated " + shown + query::belmoraCsvFileName(kDay)}));

    // The template is made in the missing data folder.
    const viewer::WorkbookSheet sheet = exportSheet();
    ASSERT_EQ(sheet.name(), QStringLiteral("Sheet2"));
    EXPECT_EQ(sheet.value(1, 1).toString(), QStringLiteral("Delivery Report For ") + datetext::toDisplay(kDay) +
                                                QStringLiteral(" / ") + datetext::toDisplay(kPrevious));
    EXPECT_EQ(sheet.value(1, 10).toDate(), kDay);
    EXPECT_EQ(sheet.value(1, 11).toDate(), kPrevious);
    // Rising BSE closes: the five largest deliveries in lakhs, 12.346 shown as
    // 12.35; the sixth stays out, nothing below the block. No rising NSE
    // close, no falling BSE close; the NSE fall from row 21, column 8.
    EXPECT_EQ(rowValues(sheet, 8, 1), (QVariantList{"Bse 1", 12.35, 10.0, 6.6, 101.0, 1.0}));
    EXPECT_EQ(rowValues(sheet, 12, 1), (QVariantList{"Bse 5", 12.35, 10.0, 6.2, 105.0, 5.0}));
    for (const auto& [row, column] : {std::pair{13, 1}, {8, 8}, {21, 1}})
        EXPECT_FALSE(sheet.value(row, column).isValid()) << row << ", " << column;
    EXPECT_EQ(rowValues(sheet, 21, 8), (QVariantList{"Nova Ltd", 3.0, 2.0, 1.5, 70.0, -12.5}));

    QFile csv(csvPath());
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines.first(), QStringLiteral("company,groupcode,query,tvol,pvol,tdely,pdely,tdelyperc,TPrice,PPrice,"
                                            "todays date,previous date"));
    EXPECT_EQ(lines.last(), "Nova Ltd,NSE,2,3,2,1.5,1,50,70,80," + datetext::toDisplay(kDay) + QLatin1Char(',') +
                                datetext::toDisplay(kPrevious));
}

TEST_F(BelmoraExport, AnExistingWorkbookKeepsItsOwnCellsAndLosesStaleRows)
{
    ASSERT_TRUE(QDir().mkpath(folder()));
    viewer::Workbook book;
    book.addSheet(QStringLiteral("Notes")).setValue(2, 2, QStringLiteral("keep me"));
    viewer::WorkbookSheet& sheet = book.addSheet(QStringLiteral("Sheet2"));
    sheet.setValue(7, 1, QStringLiteral("My heading"));
    sheet.setValue(20, 8, QStringLiteral("Falls"));
    sheet.setValue(10, 8, QStringLiteral("stale rise"));
    sheet.setValue(25, 6, 99.0);
    book.save(workbookPath());

    run(ui::Answer::Yes);
    const viewer::Workbook after = viewer::Workbook::read(workbookPath());
    ASSERT_NE(after.sheet(QStringLiteral("Notes")), nullptr);
    EXPECT_EQ(after.sheet(QStringLiteral("Notes"))->value(2, 2).toString(), QStringLiteral("keep me"));
    const viewer::WorkbookSheet* exported = after.sheet(QStringLiteral("Sheet2"));
    ASSERT_NE(exported, nullptr);
    EXPECT_EQ(exported->value(7, 1).toString(), QStringLiteral("My heading"));
    EXPECT_EQ(exported->value(20, 8).toString(), QStringLiteral("Falls"));
    EXPECT_FALSE(exported->value(10, 8).isValid());
    EXPECT_FALSE(exported->value(25, 6).isValid());
    EXPECT_EQ(exported->value(8, 1).toString(), QStringLiteral("Bse 1"));
}

TEST_F(BelmoraExport, AWorkbookWithoutTheSheetIsReportedAndTheCsvStillWritten)
{
    ASSERT_TRUE(QDir().mkpath(folder()));
    viewer::Workbook book;
    book.addSheet(QStringLiteral("Sheet1")).setValue(1, 1, QStringLiteral("other"));
    book.save(workbookPath());

    const auto outcome = run(ui::Answer::Yes);
    EXPECT_EQ(outcome.status, RunStatus::Stopped);
    ASSERT_EQ(prompt.messages.size(), 3);
    EXPECT_TRUE(prompt.messages.at(1).text.startsWith(QStringLiteral("QueryFormat could not be written: ")));
    EXPECT_EQ(prompt.messages.at(1).icon, ui::Icon::Critical);
    EXPECT_EQ(prompt.messages.at(2).text, ".csv file generated " + csvPath());
    EXPECT_TRUE(QFile::exists(csvPath()));
    EXPECT_EQ(viewer::workbookSheetNames(workbookPath()), QStringList{QStringLiteral("Sheet1")});
}

}  // namespace
