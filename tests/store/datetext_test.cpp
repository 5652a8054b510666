#include "store/datetext.h"

#include <QLocale>
#include <functional>
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

namespace {

// Runs the checks of `body` with `name` as the user's locale.
void inLocale(const char* name, const std::function<void()>& body)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QString::fromLatin1(name)));
    body();
    QLocale::setDefault(before);
}

}  // namespace

TEST(DateText, TypedDatesReadTheLocalesShortAndLongFormsAfterTheDayFirstNumbers)
{
    inLocale("en_US", [] {
        // Month first where day first makes no day; years of two or four digits.
        EXPECT_EQ(datetext::fromTyped("12/31/2025"), QDate(2025, 12, 31));
        EXPECT_EQ(datetext::fromTyped("2/29/00"), QDate(2000, 2, 29));
        EXPECT_EQ(datetext::fromTyped("12/31/29"), QDate(2029, 12, 31));
        EXPECT_EQ(datetext::fromTyped("12/31/30"), QDate(1930, 12, 31));
        // The long form, with or without its weekday, any letter case.
        EXPECT_EQ(datetext::fromTyped("Friday, February 21, 2025"), QDate(2025, 2, 21));
        EXPECT_EQ(datetext::fromTyped("february 21, 2025"), QDate(2025, 2, 21));
        EXPECT_EQ(datetext::fromTyped("Feb 21, 25"), QDate(2025, 2, 21));
        // Numbers that make a day both ways are read day first.
        EXPECT_EQ(datetext::fromTyped("01/02/2025"), QDate(2025, 2, 1));
        for (const char* text : {"2/29/2025", "13/13/2025", "February 30, 2025", "12/31/025", "Febr 21, 2025"})
            EXPECT_FALSE(datetext::fromTyped(text)) << text;
    });
    inLocale("de_DE", [] {
        EXPECT_EQ(datetext::fromTyped("21. Februar 2025"), QDate(2025, 2, 21));
        EXPECT_EQ(datetext::fromTyped("Freitag, 21. Februar 2025"), QDate(2025, 2, 21));
        EXPECT_EQ(datetext::fromTyped("21. Feb. 25"), QDate(2025, 2, 21));
        EXPECT_EQ(datetext::fromTyped("21.02.25"), QDate(2025, 2, 21));
        EXPECT_FALSE(datetext::fromTyped("30. Februar 2025"));
    });
    inLocale("en_GB", [] {
        EXPECT_EQ(datetext::fromTyped("01/02/2025"), QDate(2025, 2, 1));
        EXPECT_EQ(datetext::fromTyped("21 February 2025"), QDate(2025, 2, 21));
    });
    // The application's own form whatever the locale.
    inLocale("de_DE", [] { EXPECT_EQ(datetext::fromTyped("05/Dec/2026"), QDate(2026, 12, 5)); });
}
