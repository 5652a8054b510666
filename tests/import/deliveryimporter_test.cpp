#include "import/deliverycodec.h"
#include "import/deliveryfile.h"
#include "import/deliveryimporter.h"
#include "import/mtotestrows.h"
#include "marketgenerator.h"
#include "support/teststore.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace import;
using Status = DeliveryImportOutcome::Status;

namespace {

// A store holding the scrip master and one imported day, and the generator
// that makes the next days' files.
class DeliveryImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        marketgen::GeneratorOptions options;
        options.seed = 7;
        options.scripCount = 40;
        options.bseListedShare = 0.7;
        options.firstDay = QDate(2024, 1, 1);
        generator = std::make_unique<marketgen::MarketGenerator>(options);
        generator->writeScripMaster(store.db());
        firstDay = generator->nextDay();
        const auto outcome = DeliveryImporter(store.db()).importFile(writeDay(firstDay));
        ASSERT_TRUE(outcome.imported()) << outcome.message.toStdString();
        before = storedMtoRows(store.db());
    }

    QString writeDay(const marketgen::MarketDay& day) { return generator->writeDeliveryFile(store.folder(), day); }

    QString writeFile(const QString& name, const QByteArray& content)
    {
        const QString path = QDir(store.folder()).filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }

    DeliveryImportOutcome import(const QString& path) { return DeliveryImporter(store.db()).importFile(path); }

    // Checks that a refused import left every row as it was.
    void expectUnchanged() { EXPECT_EQ(firstDifference(storedMtoRows(store.db()), before), QString()); }

    TestStore store;
    std::unique_ptr<marketgen::MarketGenerator> generator;
    marketgen::MarketDay firstDay;
    QList<QVariantList> before;
};

QByteArray encodedLines(const QList<QByteArray>& texts, const QByteArray& lineEnd = "\r\n")
{
    QByteArray out;
    for (qsizetype i = 0; i < texts.size(); ++i)
        out += deliverycodec::encode(i == 0 ? QByteArray(deliverycodec::kHeaderTag) : QByteArray("<Detail>"),
                                     QString::fromLatin1(texts[i])) +
               lineEnd;
    return out;
}

}  // namespace

TEST_F(DeliveryImport, StoresEveryScripOfTheDayAsTheFileGivesIt)
{
    // Set up imported the first day; compare it field by field, then add a second.
    EXPECT_EQ(firstDifference(before, expectedMtoRows(*generator, firstDay)), QString());
    const auto second = generator->nextDay();
    const auto outcome = import(writeDay(second));
    ASSERT_TRUE(outcome.imported()) << outcome.message.toStdString();
    EXPECT_EQ(outcome.rowsImported, 40);
    EXPECT_EQ(outcome.day, QDate(2024, 1, 2));
    EXPECT_EQ(outcome.dayText, QStringLiteral("02/Jan/2024"));
    auto expected = expectedMtoRows(*generator, firstDay) + expectedMtoRows(*generator, second);
    EXPECT_EQ(firstDifference(storedMtoRows(store.db()), expected), QString());

    // Scrips without a BSE listing keep an empty (not missing) code and 0 figures.
    EXPECT_GT(store.db().scalar("SELECT count(*) FROM mto WHERE BSEScriptCode = '' AND BSETrdQty = 0 AND "
                                "BSEClPrice = 0").toInt(), 0);
    EXPECT_EQ(store.db().scalar("SELECT count(*) FROM mto WHERE BSEScriptCode IS NULL OR NSETrdQty IS NULL OR "
                                "BSEClPrice IS NULL").toInt(), 0);
}

TEST_F(DeliveryImport, RefusesFilesBeforeWritingAnything)
{
    const auto second = generator->nextDay();
    const QByteArray secondFile = generator->deliveryFile(second);

    auto outcome = import(QString());
    EXPECT_EQ(outcome.status, Status::NoFile);
    EXPECT_EQ(outcome.message, QStringLiteral("Please Select A File"));

    outcome = import(QDir(store.folder()).filePath(QStringLiteral("NB02Jan.csv")));
    EXPECT_EQ(outcome.status, Status::Unreadable);
    EXPECT_TRUE(outcome.message.contains(QStringLiteral("NB02Jan.csv")));

    // Plain text with the right name and content, but not encoded.
    outcome = import(writeFile("NB02Jan.csv", "Tarvenix 02/Jan/2024\r\n1,1,ABC,,1,1,1,1,100,0,10,0\r\n"));
    EXPECT_EQ(outcome.status, Status::Invalid);
    EXPECT_EQ(outcome.message, QStringLiteral("The File You Selected Is Invalid"));

    outcome = import(writeFile("NB02Jan.csv", QByteArray()));
    EXPECT_EQ(outcome.status, Status::Invalid);

    // Another product's header: the literal matches but the text differs after it.
    outcome = import(writeFile("NB02Jan.csv", encodedLines({"Tarvenix02/Jan/2024"})));
    EXPECT_EQ(outcome.status, Status::Invalid);
    outcome = import(writeFile("NB02Jan.csv", encodedLines({"Tarvenix xx/Jan/2024"})));
    EXPECT_EQ(outcome.status, Status::Incorrect);
    EXPECT_EQ(outcome.message, QStringLiteral("The File You Selected Is Incorrect"));

    // A correct file under another day's name.
    outcome = import(writeFile("NB03Jan.csv", secondFile));
    EXPECT_EQ(outcome.status, Status::Incorrect);
    EXPECT_EQ(outcome.message, QStringLiteral("The File You Selected Is Incorrect"));

    // The same day again.
    outcome = import(writeDay(firstDay));
    EXPECT_EQ(outcome.status, Status::DayPresent);
    EXPECT_EQ(outcome.message, QStringLiteral("The Database Already Contains The Data Of 01/Jan/2024"));
    EXPECT_EQ(outcome.day, QDate(2024, 1, 1));

    expectUnchanged();
    // The letter case of the name does not matter.
    outcome = import(writeFile("nb02JAN.csv", secondFile));
    EXPECT_TRUE(outcome.imported()) << outcome.message.toStdString();
}

TEST_F(DeliveryImport, ABadLineRefusesTheWholeFileAndNamesTheLine)
{
    const QByteArray header = "Tarvenix 02/Jan/2024";
    const QByteArray good2 = "1,1,AAA,500001,100,10,50,5,50,50,10.5,10.55";
    const QByteArray good4 = "3,3,CCC,,100,,50,,50,,20,";
    const QByteArray good5 = "4,4,DDD,500004,100,10,50,5,50,50,30,30.05";
    struct Case {
        QByteArray line3;
        QString reason;
    };
    const QList<Case> cases{
        {"2,2,BBB,500002,100,10,50,5,50,50,10.5", "it has 11 fields instead of 12"},
        {"2,2,BBB,500002,1OO,10,50,5,50,50,10.5,10", "\"1OO\" in field 5 (NSETrdQty) is not a number"},
        {"2,two,BBB,500002,100,10,50,5,50,50,10.5,10", "the scrip number \"two\" in field 2 is not a whole number"},
        {"2,1,BBB,500002,100,10,50,5,50,50,10.5,10", "the scrip 1 appears on an earlier line already"},
    };
    for (const Case& c : cases) {
        const auto outcome = import(writeFile("NB02Jan.csv", encodedLines({header, good2, c.line3, good4, good5})));
        EXPECT_EQ(outcome.status, Status::BadLine) << c.line3.constData();
        EXPECT_EQ(outcome.badLine, 3);
        EXPECT_EQ(outcome.message, QStringLiteral("Line 3 of the file cannot be imported: %1.\n"
                                                  "Nothing was imported from the file.")
                                       .arg(c.reason));
        expectUnchanged();
    }

    // Lines cut or damaged in their codes.
    QByteArray file = encodedLines({header, good2, "2,2,BBB,500002,100,10,50,5,50,50,10.5,10", good4, good5});
    const QList<QByteArray> damages{"<Detail> 50 44 50 5\r\n", "<Detail> 50 44 50 500\r\n", "<Detail>\r\n", "\r\n"};
    const QList<QByteArray> lines = file.split('\n');
    for (const QByteArray& damage : damages) {
        QByteArray damaged = lines[0] + '\n' + lines[1] + '\n' + damage + lines[3] + '\n' + lines[4] + '\n';
        const auto outcome = import(writeFile("NB02Jan.csv", damaged));
        EXPECT_EQ(outcome.status, Status::BadLine) << damage.constData();
        EXPECT_EQ(outcome.badLine, 3);
        EXPECT_TRUE(outcome.message.startsWith(QStringLiteral("Line 3 of the file cannot be imported: ")));
        expectUnchanged();
    }
}

TEST_F(DeliveryImport, ReadsBothLineEndsAndAFileOfOnlyTheHeader)
{
    marketgen::GeneratorOptions lfOptions = generator->options();
    lfOptions.windowsLineEnds = false;
    marketgen::MarketGenerator lf(lfOptions);
    lf.nextDay();
    const auto day = lf.nextDay();
    const QByteArray lfFile = lf.deliveryFile(day);
    ASSERT_FALSE(lfFile.contains('\r'));
    auto outcome = import(writeFile("NB02Jan.csv", lfFile));
    ASSERT_TRUE(outcome.imported()) << outcome.message.toStdString();
    EXPECT_EQ(firstDifference(storedMtoRows(store.db()), before + expectedMtoRows(lf, day)), QString());

    // Without a final line end, and with blank lines after the last row.
    const QByteArray header = "Tarvenix 03/Jan/2024";
    outcome = import(writeFile("NB03Jan.csv", encodedLines({header, "1,1,AAA,,5,,5,,100,,1.5,"}).chopped(2)));
    EXPECT_EQ(outcome.rowsImported, 1);
    outcome = import(writeFile("NB04Jan.csv", encodedLines({"Tarvenix 04/Jan/2024", "1,1,AAA,,5,,5,,100,,1.5,"}) +
                                                  "\r\n\r\n"));
    EXPECT_EQ(outcome.rowsImported, 1);

    // The header alone loads the day with no rows.
    outcome = import(writeFile("NB05Jan.csv", encodedLines({"Tarvenix 05/Jan/2024"})));
    EXPECT_TRUE(outcome.imported());
    EXPECT_EQ(outcome.rowsImported, 0);
}

TEST_F(DeliveryImport, ReportsProgressAndCountsPastSixteenBits)
{
    // 40,000 rows: more than a 16-bit counter holds.
    QList<QByteArray> texts{"Tarvenix 02/Jan/2024"};
    for (int i = 1; i <= 40000; ++i)
        texts.append(QByteArray::number(i) + ',' + QByteArray::number(1000 + i) + ",S" + QByteArray::number(i) +
                     ",,10,,5,,50,,1.25,");
    const QString path = writeFile("NB02Jan.csv", encodedLines(texts));

    DeliveryImporter importer(store.db());
    QList<std::pair<qint64, qint64>> reports;
    importer.setProgress([&](qint64 rows, qint64 maximum) { reports.append({rows, maximum}); });
    const auto outcome = importer.importFile(path);
    ASSERT_TRUE(outcome.imported()) << outcome.message.toStdString();
    EXPECT_EQ(outcome.rowsImported, 40000);
    EXPECT_EQ(store.db().scalar("SELECT count(*) FROM mto WHERE TransDate = '2024-01-02'").toInt(), 40000);

    // The scale is the line ends plus one; rows only grow, and end at the row count.
    ASSERT_GE(reports.size(), 2);
    EXPECT_EQ(reports.first(), std::make_pair(qint64(0), qint64(40002)));
    EXPECT_EQ(reports.last(), std::make_pair(qint64(40000), qint64(40002)));
    for (qsizetype i = 1; i < reports.size(); ++i)
        EXPECT_LE(reports[i - 1].first, reports[i].first);
    EXPECT_LE(reports.size(), 110);
}
