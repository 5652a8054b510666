#include "reports/numberformat.h"

#include <QDate>
#include <gtest/gtest.h>

using store::ColumnKind;

TEST(NumberFormat, PatternsGroupTheIndianWayAndShowTheirDecimals)
{
    const char* const whole = "#,##,###";
    const char* const optional = "#,##,###.##";
    const char* const fixed = "#,##,##,##0.00";
    const struct {
        double value;
        const char* pattern;
        const char* text;
    } cases[] = {
        {1234567, whole, "12,34,567"}, {100000, whole, "1,00,000"}, {10000000, whole, "1,00,00,000"},
        {123, whole, "123"}, {-1234567, whole, "-12,34,567"}, {1234567.6, whole, "12,34,568"},
        {0, whole, "0"},  // a zero quantity prints as 0, never as an empty cell
        {1234567.891, optional, "12,34,567.89"}, {12.5, optional, "12.5"}, {12, optional, "12"},
        {0.05, optional, "0.05"}, {-0.004, optional, "0"}, {-2.25, optional, "-2.25"},
        {123456789.5, fixed, "12,34,56,789.50"}, {0, fixed, "0.00"}, {1234567.891, "0.00", "1234567.89"},
        {0.5, "0.00", "0.50"},
        // A half of the figure as written rounds away from zero, also where its
        // binary value lies just below it (10.075 is held as 10.07499...).
        {10.075, optional, "10.08"}, {2.675, "0.00", "2.68"}, {1.005, optional, "1.01"}, {-10.075, optional, "-10.08"},
        {3466.125, optional, "3,466.13"}, {0.0749999, optional, "0.07"}, {99999.995, optional, "1,00,000"},
        {9.995, "0.00", "10.00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(reports::formatNumber(c.value, c.pattern), c.text) << c.value << " " << c.pattern;
}

TEST(NumberFormat, CellsFollowTheirColumnKind)
{
    const QString pattern = "#,##,###";
    EXPECT_EQ(reports::formatCell(QVariant(), ColumnKind::Integer, pattern), "");
    EXPECT_EQ(reports::formatCell(qlonglong(2500000), ColumnKind::Integer, pattern), "25,00,000");
    EXPECT_EQ(reports::formatCell("2026-01-09", ColumnKind::Date, QString()), "09/Jan/2026");
    // A date or a name never goes through a number pattern; a text that
    // slipped into a number column is shown as it is.
    EXPECT_EQ(reports::formatCell(QDate(2026, 12, 5), ColumnKind::Date, pattern), "05/Dec/2026");
    EXPECT_EQ(reports::formatCell("ACC", ColumnKind::Text, pattern), "ACC");
    EXPECT_EQ(reports::formatCell("n/a", ColumnKind::Real, pattern), "n/a");
}
