#include "import/bhavcopyfile.h"
#include "import/bhavcopyfixture.h"
#include "import/bhavcopyimporter.h"
#include "import/nnfimporter.h"
#include "support/teststore.h"

#include <gtest/gtest.h>

using namespace import;

// Every line of every series lands under the file's day, each figure in its
// column; padded fields, UTF-8 symbols, the day written either way and blank
// lines after the last row are read as meant.
TEST(BhavcopyImport, StoresEveryLineOfEverySeriesUnderTheFilesDay)
{
    TestStore store;
    const QByteArray text = QByteArray(bhavcopyfile::kHeader.data()) +
                            "\r\n ÄCME , EQ ,1,2,0.5,1.5,1.6,1.25,100,150.5,05/Jan/2024,"
                            "\r\nZETA,BE,7,8,6,7.5,7.45,7,2000,15000,05-JAN-2024,\r\n\r\n\r\n";
    ASSERT_TRUE(BhavcopyImporter(store.db()).importFile(writeText(store.folder(), "a.csv", text)).imported());
    EXPECT_EQ(bhavcopyTable(store.db()),
              (QStringList{"ZETA|BE|7.0|8.0|6.0|7.5|7.45|7.0|2000.0|15000.0|2024-01-05|<null>|<null>",
                           "ÄCME|EQ|1.0|2.0|0.5|1.5|1.6|1.25|100.0|150.5|2024-01-05|<null>|<null>"}));

    // The names of a day's file and the day as the file writes it.
    const QDate day(2007, 1, 5);
    EXPECT_EQ(bhavcopyfile::offeredFileName(day), QStringLiteral("cm05Jan2007bhav.dbf"));
    EXPECT_EQ(bhavcopyfile::fileName(day), QStringLiteral("cm05JAN2007bhav.csv"));
    EXPECT_EQ(bhavcopyfile::dayText(day), QStringLiteral("05-JAN-2007"));
    EXPECT_EQ(bhavcopyfile::parseDay(QStringLiteral("05-jan-2007")), day);
    EXPECT_EQ(bhavcopyfile::parseDay(QStringLiteral("5/Jan/2007")), day);
    EXPECT_FALSE(bhavcopyfile::parseDay(QStringLiteral("2007-01-05")).has_value());
    EXPECT_EQ(bhavcopyfile::kHeader, "SYMBOL,SERIES,OPEN,HIGH,LOW,CLOSE,LAST,PREVCLOSE,TOTTRDQTY,TOTTRDVAL,TIMESTAMP,");
}

// Each import replaces the table with the equity lines of the file.
TEST(NnfImport, StoresTheEquityLinesOfTheFileInPlaceOfTheTable)
{
    TestStore store;
    auto nnfTable = [&] {
        return store.db()
            .scalar("SELECT group_concat(srno || '|' || symbol || '|' || segment, ' ') FROM "
                    "(SELECT * FROM nnf_security ORDER BY srno)")
            .toString();
    };
    QList<std::pair<qint64, qint64>> progress;
    NnfImporter importer(store.db());
    importer.setProgress([&](qint64 done, qint64 maximum) { progress.append({done, maximum}); });
    QByteArray text = "Header|\n11|ACME|EQ|Acme Ltd|\n12|ACME|BE|Acme Ltd|\n13|BÖLT|EQ|\n";
    ASSERT_TRUE(importer.importFile(writeText(store.folder(), "Security.csv", text)).imported());
    EXPECT_EQ(nnfTable(), "11|ACME|EQ 13|BÖLT|EQ");  // UTF-8 as written
    EXPECT_EQ(progress.last(), std::make_pair(qint64(3), qint64(5)));  // lines read of the line ends plus one
    text = "Header|\r\n21|ZETA|EQ|Zeta Ltd|\r\n";
    ASSERT_TRUE(NnfImporter(store.db()).importFile(writeText(store.folder(), "Security.csv", text)).imported());
    EXPECT_EQ(nnfTable(), "21|ZETA|EQ");
}

// A file that holds its header and no row is refused, never reported as
// imported, and leaves the table as it was.
TEST(BhavcopyImport, HeaderWithoutRowsIsNotAnImport)
{
    TestStore store;
    const QByteArray header(bhavcopyfile::kHeader.data(), qsizetype(bhavcopyfile::kHeader.size()));
    ASSERT_TRUE(BhavcopyImporter(store.db())
                    .importFile(writeText(store.folder(), "day.csv", header + "\r\nZETA,EQ,1,2,0.5,1.5,1.5,1,100,150,"
                                                                       "05-JAN-2024,\r\n"))
                    .imported());
    const QStringList before = bhavcopyTable(store.db());
    for (const QByteArray& text : {header, header + "\r\n", header + "\n\n\r\n"}) {
        const BhavcopyImportOutcome outcome =
            BhavcopyImporter(store.db()).importFile(writeText(store.folder(), "cm.csv", text));
        EXPECT_FALSE(outcome.imported()) << text.toStdString();
        EXPECT_EQ(outcome.status, BhavcopyImportOutcome::Status::NoRows) << text.toStdString();
        EXPECT_EQ(outcome.message, "The file holds no rows after its header.\nNothing was imported from the file.");
        EXPECT_EQ(bhavcopyTable(store.db()), before);
    }
}
