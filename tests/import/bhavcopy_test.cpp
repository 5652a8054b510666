#include "bhavcopywriter.h"
#include "import/bhavcopyfile.h"
#include "import/bhavcopyfixture.h"
#include "import/bhavcopyimporter.h"
#include "marketgenerator.h"
#include "support/teststore.h"

#include <gtest/gtest.h>

using namespace import;
using Status = BhavcopyImportOutcome::Status;

namespace {

class BhavcopyImport : public ::testing::Test {
protected:
    BhavcopyImportOutcome importFile(const QString& path)
    {
        BhavcopyImporter importer(store.db());
        importer.setConfirmReplace([this](const QString& dayText) {
            asked.append(dayText);
            return replace;
        });
        return importer.importFile(path);
    }

    // A store holding one loaded day, to check that refusals change nothing.
    void loadOneDay()
    {
        const QString path = writeBhavcopy(store.folder(), day, {bhavRow("ACME", "EQ", 100), bhavRow("ACME", "BE", 99)});
        ASSERT_TRUE(importFile(path).imported());
        before = bhavcopyTable(store.db());
        ASSERT_EQ(before.size(), 2);
    }

    TestStore store;
    const QDate day{2024, 1, 5};
    QStringList asked;
    bool replace = false;
    QStringList before;
};

}  // namespace

TEST_F(BhavcopyImport, StoresEveryLineOfEverySeriesUnderTheFilesDay)
{
    marketgen::GeneratorOptions options;
    options.scripCount = 60;
    marketgen::MarketGenerator generator(options);
    marketgen::BhavcopyOptions bhavOptions;
    bhavOptions.otherSeriesShare = 0.2;
    marketgen::BhavcopyWriter writer(generator, bhavOptions);
    const marketgen::MarketDay marketDay = generator.nextDay();
    const QList<bhavcopyfile::Row> rows = writer.rows(marketDay);
    const QString path = marketgen::BhavcopyWriter::writeFile(store.folder(), marketDay.day, rows);
    EXPECT_TRUE(path.endsWith(QStringLiteral("cm01JAN2024bhav.csv")));

    const BhavcopyImportOutcome outcome = importFile(path);
    ASSERT_TRUE(outcome.imported()) << outcome.message.toStdString();
    EXPECT_EQ(outcome.day, marketDay.day);
    EXPECT_EQ(outcome.dayText, QStringLiteral("01-JAN-2024"));
    EXPECT_EQ(outcome.rowsImported, rows.size());
    EXPECT_TRUE(asked.isEmpty());

    QStringList expected;
    for (const auto& row : rows) {
        QStringList values{row.symbol, row.series};
        for (double figure : row.figures)
            values.append(QVariant(figure).toString());
        values << QVariant(marketDay.day).toString() << "<null>" << "<null>";
        expected.append(values.join(QLatin1Char('|')));
    }
    std::sort(expected.begin(), expected.end());
    QStringList stored = bhavcopyTable(store.db());
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ(stored, expected);
    EXPECT_GT(store.db().scalar("SELECT count(*) FROM allbhavcopy WHERE series = 'BE'").toInt(), 0);
}

TEST_F(BhavcopyImport, RefusedFilesLeaveTheStoreUnchanged)
{
    loadOneDay();
    const QByteArray header = QByteArray(bhavcopyfile::kHeader.data(), qsizetype(bhavcopyfile::kHeader.size()));
    const QByteArray good = "ZETA,EQ,1,2,0.5,1.5,1.5,1,100,150,08-JAN-2024,\r\n";
    struct Case {
        const char* name;
        QByteArray text;
        Status status;
        qint64 line;
    };
    const QList<Case> cases{
        {"empty file", "", Status::Invalid, 0},
        {"header with a further column", header + "TOTALTRADES,\r\n" + good, Status::Invalid, 0},
        {"header in lower case", header.toLower() + "\r\n" + good, Status::Invalid, 0},
        {"delivery file", "<Description> 84 97 114\r\n", Status::Invalid, 0},
        {"header only", header + "\r\n\r\n", Status::NoRows, 0},
        {"price not a number", header + "\r\n" + good + "YETA,EQ,1,2,0.5,abc,1.5,1,100,150,08-JAN-2024,\r\n",
         Status::BadLine, 3},
        {"empty quantity", header + "\r\n" + good + "YETA,EQ,1,2,0.5,1,1.5,1,,150,08-JAN-2024,\r\n", Status::BadLine,
         3},
        {"too few fields", header + "\r\n" + good + "YETA,EQ,1,2,0.5,1,1.5,1,100\r\n", Status::BadLine, 3},
        {"day not a date", header + "\r\nZETA,EQ,1,2,0.5,1.5,1.5,1,100,150,31-FEB-2024,\r\n", Status::BadLine, 2},
        {"no day", header + "\r\nZETA,EQ,1,2,0.5,1.5,1.5,1,100,150,\r\n", Status::BadLine, 2},
        {"blank line between rows", header + "\r\n" + good + "\r\n" + good, Status::BadLine, 3},
        {"symbol and series twice", header + "\r\n" + good + "zeta,eq,1,2,0.5,1.5,1.5,1,100,150,08-JAN-2024,\r\n",
         Status::BadLine, 3},
    };
    for (const Case& c : cases) {
        const QString path = writeText(store.folder(), QStringLiteral("cm08JAN2024bhav.csv"), c.text);
        const BhavcopyImportOutcome outcome = importFile(path);
        EXPECT_EQ(outcome.status, c.status) << c.name << ": " << outcome.message.toStdString();
        EXPECT_EQ(outcome.badLine, c.line) << c.name;
        EXPECT_FALSE(outcome.message.isEmpty()) << c.name;
        EXPECT_EQ(bhavcopyTable(store.db()), before) << c.name;
    }
    EXPECT_EQ(importFile(QStringLiteral(" ")).message, QStringLiteral("Please Select A Cash Market File"));
    EXPECT_EQ(importFile(store.folder() + "/missing.csv").status, Status::Unreadable);
    const QString invalid = writeText(store.folder(), "x.csv", header + "TOTALTRADES,\r\n" + good);
    EXPECT_EQ(importFile(invalid).message, QStringLiteral("The File You Selected Is Invalid"));
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(bhavcopyTable(store.db()), before);
}

TEST_F(BhavcopyImport, TrailingBlankLinesPaddedFieldsAndUtf8SymbolsAreAccepted)
{
    const QByteArray text = QByteArray(bhavcopyfile::kHeader.data()) + "\n ÄCME , EQ ,1,2,0.5,1.5,1.5,1,100,150,05/Jan/2024,\n\n\n";
    const BhavcopyImportOutcome outcome = importFile(writeText(store.folder(), "a.csv", text));
    ASSERT_TRUE(outcome.imported()) << outcome.message.toStdString();
    EXPECT_EQ(outcome.day, day);
    EXPECT_EQ(store.db().scalar("SELECT symbol || '/' || series FROM allbhavcopy").toString(), "ÄCME/EQ");
}

TEST_F(BhavcopyImport, ALoadedDayIsReplacedOnlyOnYes)
{
    loadOneDay();
    const QString again = writeBhavcopy(store.folder(), day, {bhavRow("ACME", "EQ", 120), bhavRow("BOLT", "EQ", 40)});

    replace = false;
    BhavcopyImportOutcome outcome = importFile(again);
    EXPECT_EQ(outcome.status, Status::KeptLoaded);
    EXPECT_TRUE(outcome.message.isEmpty());
    EXPECT_EQ(asked, QStringList{"05-JAN-2024"});
    EXPECT_EQ(bhavcopyTable(store.db()), before);

    // A damaged file is refused before the question, and the day stays.
    const QString damaged = writeText(store.folder(), "d.csv",
                                      marketgen::BhavcopyWriter::file(day, {bhavRow("ACME", "EQ", 1)}) + "ACME,EQ,x\r\n");
    replace = true;
    EXPECT_EQ(importFile(damaged).status, Status::BadLine);
    EXPECT_EQ(asked.size(), 1);
    EXPECT_EQ(bhavcopyTable(store.db()), before);

    outcome = importFile(again);
    EXPECT_TRUE(outcome.imported());
    EXPECT_TRUE(outcome.replacedDay);
    EXPECT_EQ(asked.size(), 2);
    EXPECT_EQ(store.db().scalar("SELECT group_concat(symbol || ' ' || series || ' ' || closeprice, ', ') FROM "
                                "(SELECT * FROM allbhavcopy ORDER BY symbol)")
                  .toString(),
              "ACME EQ 120.0, BOLT EQ 40.0");

    // Without anyone to ask, a loaded day is kept.
    BhavcopyImporter silent(store.db());
    EXPECT_EQ(silent.importFile(again).status, Status::KeptLoaded);
}

TEST(BhavcopyFile, NamesAndDayTexts)
{
    const QDate day(2007, 1, 5);
    EXPECT_EQ(bhavcopyfile::offeredFileName(day), QStringLiteral("cm05Jan2007bhav.dbf"));
    EXPECT_EQ(bhavcopyfile::fileName(day), QStringLiteral("cm05JAN2007bhav.csv"));
    EXPECT_EQ(bhavcopyfile::dayText(day), QStringLiteral("05-JAN-2007"));
    EXPECT_EQ(bhavcopyfile::parseDay(QStringLiteral("05-jan-2007")), day);
    EXPECT_EQ(bhavcopyfile::parseDay(QStringLiteral("5/Jan/2007")), day);
    EXPECT_FALSE(bhavcopyfile::parseDay(QStringLiteral("2007-01-05")).has_value());
    EXPECT_EQ(bhavcopyfile::kHeader.size(), 79u);
}
