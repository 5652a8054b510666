#include "store/datetext.h"

#include <gtest/gtest.h>

TEST(DateText, DisplayAndStorageRoundTrip)
{
    const QDate day(2026, 12, 5);
    EXPECT_EQ(datetext::toDisplay(day), QStringLiteral("05/Dec/2026"));
    EXPECT_EQ(datetext::toStorage(day), QStringLiteral("2026-12-05"));
    EXPECT_EQ(datetext::toLongDisplay(day), QStringLiteral("December 05,2026"));
    EXPECT_EQ(datetext::fromDisplay(QStringLiteral("05/Dec/2026")), day);
    EXPECT_EQ(datetext::fromStorage(QStringLiteral("2026-12-05")), day);
    EXPECT_EQ(datetext::storageToDisplay(QStringLiteral("2024-02-29")), QStringLiteral("29/Feb/2024"));
    for (int month = 1; month <= 12; ++month) {
        const QDate date(2025, month, 1);
        EXPECT_EQ(datetext::fromDisplay(datetext::toDisplay(date)), date);
    }
}

TEST(DateText, MonthNamesAreEnglishAnyCase)
{
    EXPECT_EQ(datetext::fromDisplay(QStringLiteral("5/dec/2026")), QDate(2026, 12, 5));
    EXPECT_EQ(datetext::fromDisplay(QStringLiteral(" 01/MAY/2020 ")), QDate(2020, 5, 1));
}

TEST(DateText, RefusesAnythingElseWithAClearMessage)
{
    QString error;
    EXPECT_FALSE(datetext::fromDisplay(QStringLiteral("31/Feb/2026"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("31/Feb/2026")));
    EXPECT_TRUE(error.contains(QStringLiteral("dd/MMM/yyyy")));
    for (const char* text : {"", "12/05/2026", "05-Dec-2026", "05/Dez/2026", "05/Dec/26", "Dec/05/2026", "x"})
        EXPECT_FALSE(datetext::fromDisplay(QString::fromLatin1(text))) << text;
    EXPECT_FALSE(datetext::fromStorage(QStringLiteral("2026-13-01")));
    EXPECT_FALSE(datetext::fromStorage(QStringLiteral("05/Dec/2026")));
    EXPECT_TRUE(datetext::toDisplay(QDate()).isEmpty());
}
