#include "reports/numberformat.h"

#include <QDate>
#include <gtest/gtest.h>

using reports::formatCell;
using reports::formatNumber;
using store::ColumnKind;

TEST(NumberFormat, WholeNumbersGroupTheIndianWay)
{
    const QString pattern = QStringLiteral("#,##,###");
    EXPECT_EQ(formatNumber(1234567, pattern), "12,34,567");
    EXPECT_EQ(formatNumber(100000, pattern), "1,00,000");
    EXPECT_EQ(formatNumber(10000000, pattern), "1,00,00,000");
    EXPECT_EQ(formatNumber(123, pattern), "123");
    EXPECT_EQ(formatNumber(-1234567, pattern), "-12,34,567");
    EXPECT_EQ(formatNumber(1234567.6, pattern), "12,34,568");
    // A zero quantity prints as 0, never as an empty cell.
    EXPECT_EQ(formatNumber(0, pattern), "0");
}

TEST(NumberFormat, OptionalDecimalsShowOnlyWhatIsThere)
{
    const QString pattern = QStringLiteral("#,##,###.##");
    EXPECT_EQ(formatNumber(1234567.891, pattern), "12,34,567.89");
    EXPECT_EQ(formatNumber(12.5, pattern), "12.5");
    EXPECT_EQ(formatNumber(12, pattern), "12");
    EXPECT_EQ(formatNumber(0.05, pattern), "0.05");
    EXPECT_EQ(formatNumber(-0.004, pattern), "0");
    EXPECT_EQ(formatNumber(-2.25, pattern), "-2.25");
}

TEST(NumberFormat, FixedDecimalsAlwaysShowBothPlaces)
{
    EXPECT_EQ(formatNumber(123456789.5, QStringLiteral("#,##,##,##0.00")), "12,34,56,789.50");
    EXPECT_EQ(formatNumber(0, QStringLiteral("#,##,##,##0.00")), "0.00");
    EXPECT_EQ(formatNumber(1234567.891, QStringLiteral("0.00")), "1234567.89");
    EXPECT_EQ(formatNumber(0.5, QStringLiteral("0.00")), "0.50");
}

TEST(NumberFormat, CellsFollowTheirColumnKind)
{
    const QString pattern = QStringLiteral("#,##,###");
    EXPECT_EQ(formatCell(QVariant(), ColumnKind::Integer, pattern), "");
    EXPECT_EQ(formatCell(QVariant(qlonglong(2500000)), ColumnKind::Integer, pattern), "25,00,000");
    EXPECT_EQ(formatCell(QVariant(QDate(2026, 12, 5)), ColumnKind::Date, QString()), "05/Dec/2026");
    EXPECT_EQ(formatCell(QVariant(QStringLiteral("2026-01-09")), ColumnKind::Date, QString()), "09/Jan/2026");
    // A date or a name never goes through a number pattern.
    EXPECT_EQ(formatCell(QVariant(QDate(2026, 12, 5)), ColumnKind::Date, pattern), "05/Dec/2026");
    EXPECT_EQ(formatCell(QVariant(QStringLiteral("ACC")), ColumnKind::Text, pattern), "ACC");
    // A text that slipped into a number column is shown as it is.
    EXPECT_EQ(formatCell(QVariant(QStringLiteral("n/a")), ColumnKind::Real, pattern), "n/a");
}
