#include "import/deliverycodec.h"
#include "import/deliveryfile.h"

#include <gtest/gtest.h>

using namespace import;

// A line decodes to its text, or is refused with the reason, when it was cut
// or altered.
TEST(DeliveryCodec, DecodesCodesAfterTheTagOrSaysWhyNot)
{
    const QList<std::tuple<QByteArray, QString, QString>> cases{
        {"X 65 66 44 49", "AB,1", ""},
        {"", "", ""},
        {deliverycodec::kHeaderLiteral + QByteArray(" 48 53"), "Tarvenix 05", ""},
        {"t 233 49", "\u00e91", ""},  // single-byte codes above 127 are Latin-1 characters
        {"X 65 6", "", "the last code has 1 digits instead of 2"},
        {"X 65 101", "", "the last code has 3 digits instead of 2"},
        {"X 65 66 ", "", "there is a blank after the last code"},
        {"<Description>", "", "the line holds no character codes"},
        {"X 65  66", "", "two blanks stand between codes"},
        {"X 65 6a 66", "", "\"6a\" is not a character code"},
        {"X 65 300 66", "", "\"300\" is not a character code"},
        {"Tarvenix 05/Jan/2024", "", "\"05/Jan/2024\" is not a character code"},
    };
    for (const auto& [line, text, reason] : cases) {
        QString decoded, why;
        EXPECT_EQ(deliverycodec::decode(line, decoded, &why), reason.isEmpty()) << line.constData();
        EXPECT_EQ(decoded, text) << line.constData();
        EXPECT_EQ(why, reason) << line.constData();
    }

    // Lines are written the same way.
    EXPECT_EQ(deliveryfile::headerText(QDate(2024, 1, 5)), QStringLiteral("Tarvenix 05/Jan/2024"));
    EXPECT_EQ(deliverycodec::encode("<Detail>", "1,17,M&M,"), QByteArray("<Detail> 49 44 49 55 44 77 38 77 44"));
}

// Files are named by day and month; a line has twelve fields, empty figures
// read as 0, and an empty figure is written as nothing.
TEST(DeliveryFileLayout, NamesFilesAndSplitsTwelveFieldsOrSaysWhyNot)
{
    const QDate day(2024, 1, 5);
    EXPECT_EQ(deliveryfile::fileName(day), QStringLiteral("NB05Jan.csv"));
    for (const auto& [path, names] : {std::pair{"/data/NB05Jan.csv", true}, {"/data/nb05JAN.csv", true},
                                      {"/data/NB06Jan.csv", false}, {"/data/NB05Feb.csv", false},
                                      {"/data/NB05Jan.csv.bak", false}})
        EXPECT_EQ(deliveryfile::pathNamesDay(path, day), names) << path;

    MtoRow row;
    QString reason;
    ASSERT_TRUE(deliveryfile::parseDataLine("7,42,ABC,,1200,,300, ,25,,812.35,", row, &reason)) << reason.toStdString();
    EXPECT_EQ(row.scriptcode, 42);
    EXPECT_EQ(row.nseScriptCode, "ABC");
    EXPECT_EQ(row.bseScriptCode, "");
    EXPECT_EQ(row.figures, (std::array<double, MtoFigureCount>{1200, 0, 300, 0, 25, 0, 812.35, 0}));

    const QList<std::pair<std::string, QString>> refused{
        // Commas beyond the twelfth field stay in field 12, which is then no number.
        {"7,42,ABC,,1,2,3,4,5,6,7,8,9", "\"8,9\" in field 12 (BSEClPrice) is not a number"},
        {"7,42,ABC,,1,2,3,4,5,6,7", "it has 11 fields instead of 12"},
        {"7,4x,ABC,,1,2,3,4,5,6,7,8", "the scrip number \"4x\" in field 2 is not a whole number"},
        {"7,4,ABC,,1,2,3,4,nan,6,7,8", "\"nan\" in field 9 (NSEPerc) is not a number"},
    };
    for (const auto& [line, why] : refused) {
        EXPECT_FALSE(deliveryfile::parseDataLine(line, row, &reason)) << line;
        EXPECT_EQ(reason, why);
    }

    row = {4711, "BAJAJ-AUTO", "532977", {123456, 2345, 61728, 1100, 50, 46.91, 4512.35, 4511.8}};
    EXPECT_EQ(deliveryfile::dataLineText(3, row, 1u << BSEClPrice),
              QByteArray("3,4711,BAJAJ-AUTO,532977,123456,2345,61728,1100,50,46.91,4512.35,"));
}
