#include "import/deliverycodec.h"
#include "import/deliveryfile.h"

#include <gtest/gtest.h>

using namespace import;

namespace {

QString decoded(const QByteArray& line)
{
    QString text, reason;
    EXPECT_TRUE(deliverycodec::decode(line, text, &reason)) << reason.toStdString();
    return text;
}

QString refusal(const QByteArray& line)
{
    QString text, reason;
    EXPECT_FALSE(deliverycodec::decode(line, text, &reason)) << "decoded as " << text.toStdString();
    return reason;
}

}  // namespace

TEST(DeliveryCodec, DecodesCodesAfterTheTag)
{
    EXPECT_EQ(decoded("X 65 66 44 49"), QStringLiteral("AB,1"));
    EXPECT_EQ(decoded(""), QString());
    EXPECT_EQ(decoded(deliverycodec::kHeaderLiteral + QByteArray(" 48 53")), QStringLiteral("Tarvenix 05"));
    // Single-byte codes above 127 are Latin-1 characters.
    EXPECT_EQ(decoded("t 233 49"), QStringLiteral("\u00e91"));
}

TEST(DeliveryCodec, EncodedLinesDecodeToTheirText)
{
    const QString header = deliveryfile::headerText(QDate(2024, 1, 5));
    EXPECT_EQ(header, QStringLiteral("Tarvenix 05/Jan/2024"));
    const QByteArray line = deliverycodec::encode(deliverycodec::kHeaderTag, header);
    EXPECT_TRUE(line.startsWith(deliverycodec::kHeaderLiteral));
    EXPECT_EQ(decoded(line), header);

    const QString data = QStringLiteral("1,17,M&M,500520,1200,,300,,25,,812.35,");
    EXPECT_EQ(deliverycodec::encode("<Detail>", data).left(24), QByteArray("<Detail> 49 44 49 55 44 "));
    EXPECT_EQ(decoded(deliverycodec::encode("<Detail>", data)), data);
}

TEST(DeliveryCodec, RefusesLinesThatWereCutOrAltered)
{
    EXPECT_EQ(refusal("X 65 6"), QStringLiteral("the last code has 1 digits instead of 2"));
    EXPECT_EQ(refusal("X 65 101"), QStringLiteral("the last code has 3 digits instead of 2"));
    EXPECT_EQ(refusal("X 65 66 "), QStringLiteral("there is a blank after the last code"));
    EXPECT_EQ(refusal("<Description>"), QStringLiteral("the line holds no character codes"));
    EXPECT_EQ(refusal("X 65  66"), QStringLiteral("two blanks stand between codes"));
    EXPECT_EQ(refusal("X 65 6a 66"), QStringLiteral("\"6a\" is not a character code"));
    EXPECT_EQ(refusal("X 65 300 66"), QStringLiteral("\"300\" is not a character code"));
    EXPECT_EQ(refusal("Tarvenix 05/Jan/2024"), QStringLiteral("\"05/Jan/2024\" is not a character code"));
}

TEST(DeliveryFileLayout, NamesFilesByDayAndMonth)
{
    const QDate day(2024, 1, 5);
    EXPECT_EQ(deliveryfile::fileName(day), QStringLiteral("NB05Jan.csv"));
    EXPECT_TRUE(deliveryfile::pathNamesDay(QStringLiteral("/data/NB05Jan.csv"), day));
    EXPECT_TRUE(deliveryfile::pathNamesDay(QStringLiteral("/data/nb05JAN.csv"), day));
    EXPECT_FALSE(deliveryfile::pathNamesDay(QStringLiteral("/data/NB06Jan.csv"), day));
    EXPECT_FALSE(deliveryfile::pathNamesDay(QStringLiteral("/data/NB05Feb.csv"), day));
    EXPECT_FALSE(deliveryfile::pathNamesDay(QStringLiteral("/data/NB05Jan.csv.bak"), day));
}

TEST(DeliveryFileLayout, SplitsTwelveFieldsWithEmptyFiguresAsZero)
{
    MtoRow row;
    QString reason;
    const std::string line = "7,42,ABC,,1200,,300, ,25,,812.35,";
    ASSERT_TRUE(deliveryfile::parseDataLine(line, row, &reason)) << reason.toStdString();
    EXPECT_EQ(row.scriptcode, 42);
    EXPECT_EQ(row.nseScriptCode, "ABC");
    EXPECT_EQ(row.bseScriptCode, "");
    const std::array<double, MtoFigureCount> figures{1200, 0, 300, 0, 25, 0, 812.35, 0};
    EXPECT_EQ(row.figures, figures);

    // Commas beyond the twelfth field stay in field 12, which is then no number.
    EXPECT_FALSE(deliveryfile::parseDataLine("7,42,ABC,,1,2,3,4,5,6,7,8,9", row, &reason));
    EXPECT_EQ(reason, QStringLiteral("\"8,9\" in field 12 (BSEClPrice) is not a number"));
    EXPECT_FALSE(deliveryfile::parseDataLine("7,42,ABC,,1,2,3,4,5,6,7", row, &reason));
    EXPECT_EQ(reason, QStringLiteral("it has 11 fields instead of 12"));
    EXPECT_FALSE(deliveryfile::parseDataLine("7,4x,ABC,,1,2,3,4,5,6,7,8", row, &reason));
    EXPECT_EQ(reason, QStringLiteral("the scrip number \"4x\" in field 2 is not a whole number"));
    EXPECT_FALSE(deliveryfile::parseDataLine("7,4,ABC,,1,2,3,4,nan,6,7,8", row, &reason));
    EXPECT_EQ(reason, QStringLiteral("\"nan\" in field 9 (NSEPerc) is not a number"));
}

TEST(DeliveryFileLayout, WrittenLinesReadBackToTheSameRow)
{
    MtoRow row;
    row.scriptcode = 4711;
    row.nseScriptCode = "BAJAJ-AUTO";
    row.bseScriptCode = "532977";
    row.figures = {123456, 2345, 61728, 1100, 50, 46.91, 4512.35, 4511.8};
    const QByteArray text = deliveryfile::dataLineText(3, row, 1u << BSEClPrice);
    EXPECT_EQ(text, QByteArray("3,4711,BAJAJ-AUTO,532977,123456,2345,61728,1100,50,46.91,4512.35,"));
    MtoRow back;
    const std::string line = text.toStdString();
    ASSERT_TRUE(deliveryfile::parseDataLine(line, back));
    row.figures[BSEClPrice] = 0;
    EXPECT_EQ(back.figures, row.figures);
    EXPECT_EQ(back.bseScriptCode, row.bseScriptCode);
}
