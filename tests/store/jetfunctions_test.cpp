#include "store/database.h"
#include "store/jetfunctions.h"

#include <gtest/gtest.h>

TEST(JetFunctions, RoundToEvenValSpaceTextOfNumbersAndDivisionByZero)
{
    store::Database db;
    db.open(":memory:");
    const QList<QPair<const char*, double>> numbers{
        // round sends halves to the even neighbour
        {"round(2.5)", 2.0}, {"round(3.5)", 4.0}, {"round(-2.5)", -2.0}, {"round(0.125, 2)", 0.12},
        {"round(0.135, 2)", 0.14}, {"round(2.675, 2)", 2.68}, {"round(12.3456, 2)", 12.35},
        // val reads the leading number
        {"val('12abc')", 12.0}, {"val(' 1 2 3')", 123.0}, {"val('-4.5e2x')", -450.0}, {"val('1.2.3')", 1.2},
        {"val('abc')", 0.0}, {"val('')", 0.0}, {"val(42)", 42.0}};
    for (const auto& [expression, value] : numbers)
        EXPECT_DOUBLE_EQ(db.scalar(QStringLiteral("SELECT ") + expression).toDouble(), value) << expression;
    EXPECT_DOUBLE_EQ(store::jetVal("7 days"), 7.0);

    const QList<QPair<const char*, const char*>> texts{
        {"'[' || space(3) || ']'", "[   ]"}, {"space(0)", ""}, {"format2(150)", "150.00"},
        // Numbers joined to text read as Jet wrote them, never "150.0".
        {"cstr(150.0) || ' %'", "150 %"}, {"cstr(12.5)", "12.5"}, {"cstr(NULL) || 'x'", "x"}};
    for (const auto& [expression, text] : texts)
        EXPECT_EQ(db.scalar(QStringLiteral("SELECT ") + expression).toString(), text) << expression;
    // A division by zero leaves that value empty instead of failing the statement.
    EXPECT_TRUE(db.scalar("SELECT 5.0 / 0").isNull());
    EXPECT_TRUE(db.scalar("SELECT round(NULL, 2)").isNull());
}
