#include "store/datetext.h"

#include <gtest/gtest.h>

TEST(DateText, DisplayAndStorageRoundTripInEnglishAnyCaseAndNothingElse)
{
    const QDate day(2026, 12, 5);
    EXPECT_EQ(datetext::toDisplay(day), "05/Dec/2026");
    EXPECT_EQ(datetext::toStorage(day), "2026-12-05");
    EXPECT_EQ(datetext::toLongDisplay(day), "December 05,2026");
    EXPECT_EQ(datetext::fromStorage("2026-12-05"), day);
    EXPECT_EQ(datetext::storageToDisplay("2024-02-29"), "29/Feb/2024");
    for (int month = 1; month <= 12; ++month)
        EXPECT_EQ(datetext::fromDisplay(datetext::toDisplay(QDate(2025, month, 1))), QDate(2025, month, 1));
    EXPECT_EQ(datetext::fromDisplay("5/dec/2026"), day);
    EXPECT_EQ(datetext::fromDisplay(" 01/MAY/2020 "), QDate(2020, 5, 1));

    QString error;
    EXPECT_FALSE(datetext::fromDisplay("31/Feb/2026", &error));
    EXPECT_TRUE(error.contains("31/Feb/2026") && error.contains("dd/MMM/yyyy")) << error.toStdString();
    for (const char* text : {"", "12/05/2026", "05-Dec-2026", "05/Dez/2026", "05/Dec/26", "Dec/05/2026", "x"})
        EXPECT_FALSE(datetext::fromDisplay(text)) << text;
    EXPECT_FALSE(datetext::fromStorage("2026-13-01"));
    EXPECT_FALSE(datetext::fromStorage("05/Dec/2026"));
    EXPECT_TRUE(datetext::toDisplay(QDate()).isEmpty());
}
