#include "store/database.h"
#include "store/jetfunctions.h"

#include <gtest/gtest.h>

namespace {

double sqlNumber(store::Database& db, const QString& expression)
{
    return db.scalar(QStringLiteral("SELECT ") + expression).toDouble();
}

class JetFunctions : public ::testing::Test {
protected:
    void SetUp() override { db.open(QStringLiteral(":memory:")); }
    store::Database db;
};

TEST_F(JetFunctions, RoundSendsHalvesToTheEvenNeighbour)
{
    EXPECT_DOUBLE_EQ(sqlNumber(db, "round(2.5)"), 2.0);
    EXPECT_DOUBLE_EQ(sqlNumber(db, "round(3.5)"), 4.0);
    EXPECT_DOUBLE_EQ(sqlNumber(db, "round(-2.5)"), -2.0);
    EXPECT_DOUBLE_EQ(sqlNumber(db, "round(0.125, 2)"), 0.12);
    EXPECT_DOUBLE_EQ(sqlNumber(db, "round(0.135, 2)"), 0.14);
    EXPECT_DOUBLE_EQ(sqlNumber(db, "round(2.675, 2)"), 2.68);
    EXPECT_DOUBLE_EQ(sqlNumber(db, "round(12.3456, 2)"), 12.35);
    EXPECT_TRUE(db.scalar(QStringLiteral("SELECT round(NULL, 2)")).isNull());
}

TEST_F(JetFunctions, ValReadsTheLeadingNumber)
{
    EXPECT_DOUBLE_EQ(sqlNumber(db, "val('12abc')"), 12.0);
    EXPECT_DOUBLE_EQ(sqlNumber(db, "val(' 1 2 3')"), 123.0);
    EXPECT_DOUBLE_EQ(sqlNumber(db, "val('-4.5e2x')"), -450.0);
    EXPECT_DOUBLE_EQ(sqlNumber(db, "val('1.2.3')"), 1.2);
    EXPECT_DOUBLE_EQ(sqlNumber(db, "val('abc')"), 0.0);
    EXPECT_DOUBLE_EQ(sqlNumber(db, "val('')"), 0.0);
    EXPECT_DOUBLE_EQ(sqlNumber(db, "val(42)"), 42.0);
    EXPECT_DOUBLE_EQ(store::jetVal(QStringLiteral("7 days")), 7.0);
}

TEST_F(JetFunctions, SpaceAndDivisionByZero)
{
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT '[' || space(3) || ']'")).toString(), QStringLiteral("[   ]"));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT space(0)")).toString(), QString());
    // A division by zero leaves that value empty instead of failing the statement.
    EXPECT_TRUE(db.scalar(QStringLiteral("SELECT 5.0 / 0")).isNull());
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT format2(150)")).toString(), QStringLiteral("150.00"));
    // Numbers joined to text read as Jet wrote them, never "150.0".
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT cstr(150.0) || ' %'")).toString(), QStringLiteral("150 %"));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT cstr(12.5)")).toString(), QStringLiteral("12.5"));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT cstr(NULL) || 'x'")).toString(), QStringLiteral("x"));
}

}  // namespace
