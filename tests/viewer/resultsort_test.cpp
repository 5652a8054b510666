#include "viewer/resultsort.h"

#include <gtest/gtest.h>

using store::ColumnKind;
using viewer::HeaderSort;
using viewer::SortRowInput;

namespace {

const QString kFiller = QString(QChar(0x00A0));

const QList<store::Column> kColumns = {{QStringLiteral("Stock"), ColumnKind::Text},
                                       {QStringLiteral("Rate"), ColumnKind::Real},
                                       {QStringLiteral("NSEPerc"), ColumnKind::Real},
                                       {QStringLiteral("% Chg"), ColumnKind::Real},
                                       {QStringLiteral("TransDate"), ColumnKind::Date},
                                       {kFiller, ColumnKind::Text}};

QString clauseOf(const QList<SortRowInput>& rows)
{
    const viewer::SortOrder order = viewer::buildSortOrder(kColumns, rows);
    EXPECT_TRUE(order.problem.isEmpty()) << order.problem.toStdString();
    return order.clause;
}

const SortRowInput kUnused;

}  // namespace

TEST(ResultSortTest, ClauseTextsOfTheSortRows)
{
    EXPECT_EQ(clauseOf({{QStringLiteral("NSEPerc"), QStringLiteral("Desc")}}), QStringLiteral("3 Desc"));
    EXPECT_EQ(clauseOf({{QStringLiteral("Stock"), QStringLiteral("Asc")}, kUnused,
                        {QStringLiteral("TransDate"), QStringLiteral("Desc")}}),
              QStringLiteral("1 Asc,5 Desc"));
    EXPECT_EQ(clauseOf({kUnused, {QStringLiteral("Rate"), QStringLiteral("Asc")}}), QStringLiteral("[Rate] Asc"));
    EXPECT_EQ(clauseOf({{QStringLiteral("Rate"), QStringLiteral("Asc")}, {QStringLiteral("% Chg"), QStringLiteral("Desc")}}),
              QStringLiteral("2 Asc,4 Desc"));
    EXPECT_EQ(clauseOf({kUnused, {QStringLiteral("Stock"), QStringLiteral("Desc")}}), QStringLiteral("[Stock] Desc"));
    EXPECT_EQ(clauseOf({kUnused, {QStringLiteral("Stock"), QStringLiteral("Desc")},
                        {QStringLiteral("TransDate"), QStringLiteral("Asc")}}),
              QStringLiteral("[Stock] Desc,5 Asc"));
    // An empty order is ascending and leaves its blank in the clause.
    EXPECT_EQ(clauseOf({{QStringLiteral("NSEPerc"), QString()}}), QStringLiteral("3 "));
    // A name of blanks only is no choice; a filler column's name is one.
    EXPECT_EQ(clauseOf({{QStringLiteral("   "), QStringLiteral("Desc")}}), QString());
    EXPECT_EQ(clauseOf({{kFiller, QStringLiteral("Desc")}}), QStringLiteral("6 Desc"));
}

TEST(ResultSortTest, RefreshTextsAndStatement)
{
    EXPECT_EQ(viewer::refreshSelectText(QString()), QStringLiteral("Select * from QueryResult"));
    EXPECT_EQ(viewer::refreshSelectText(QStringLiteral("[Stock] Desc,5 Asc")),
              QStringLiteral("Select * from QueryResult order by [Stock] Desc,5 Asc"));

    const viewer::SortOrder order = viewer::buildSortOrder(
        kColumns, {kUnused, {QStringLiteral("stock"), QStringLiteral("desc")}, {QStringLiteral("% chg"), QString()}});
    ASSERT_TRUE(order.problem.isEmpty());
    EXPECT_EQ(viewer::refreshStatement(order.keys), QStringLiteral("SELECT * FROM \"QueryResult\" ORDER BY 1 DESC, 4 ASC"));
    EXPECT_EQ(viewer::refreshStatement({}), QStringLiteral("SELECT * FROM \"QueryResult\""));
}

TEST(ResultSortTest, TypedTextThatIsNoColumnOrOrderIsRefused)
{
    const auto unknown = viewer::buildSortOrder(kColumns, {{QStringLiteral("Rate]; DROP TABLE mto"), QString()}});
    EXPECT_FALSE(unknown.problem.isEmpty());
    EXPECT_TRUE(unknown.keys.isEmpty());
    const auto badOrder = viewer::buildSortOrder(kColumns, {{QStringLiteral("Rate"), QStringLiteral("Upwards")}});
    EXPECT_FALSE(badOrder.problem.isEmpty());
}

TEST(ResultSortTest, HeaderClicksAlternateOnOneColumn)
{
    HeaderSort header;
    EXPECT_EQ(header.click(2, QStringLiteral("NSEPerc")), HeaderSort::Direction::Ascending);
    EXPECT_EQ(header.direction(), QStringLiteral("Asc"));
    EXPECT_EQ(header.click(2, QStringLiteral("NSEPerc")), HeaderSort::Direction::Descending);
    EXPECT_EQ(header.direction(), QStringLiteral("Desc"));
    EXPECT_EQ(header.click(2, QStringLiteral("NSEPerc")), HeaderSort::Direction::Ascending);
    EXPECT_EQ(header.direction(), QStringLiteral("Asc"));
    EXPECT_EQ(header.columnIndex(), 2);

    // A, B, A: each starts ascending.
    HeaderSort other;
    EXPECT_EQ(other.click(0, QStringLiteral("Stock")), HeaderSort::Direction::Ascending);
    EXPECT_EQ(other.click(1, QStringLiteral("Rate")), HeaderSort::Direction::Ascending);
    EXPECT_EQ(other.click(0, QStringLiteral("Stock")), HeaderSort::Direction::Ascending);
}

TEST(ResultSortTest, FillerColumnsAreNotSortedButRecorded)
{
    EXPECT_TRUE(viewer::isFillerColumn(kFiller + kFiller));
    EXPECT_FALSE(viewer::isFillerColumn(QStringLiteral(" ")));
    EXPECT_FALSE(viewer::isFillerColumn(kFiller + QStringLiteral("x")));

    HeaderSort header;
    header.click(0, QStringLiteral("Stock"));
    EXPECT_FALSE(header.click(5, kFiller).has_value());
    EXPECT_EQ(header.columnIndex(), 5);
    EXPECT_EQ(header.direction(), QStringLiteral("Asc"));
    // The filler click does not break the alternation on the sorted column.
    EXPECT_EQ(header.click(0, QStringLiteral("Stock")), HeaderSort::Direction::Descending);
    EXPECT_EQ(viewer::headerSortText(QStringLiteral("Stock"), HeaderSort::Direction::Descending),
              QStringLiteral("[Stock] DESC"));
}
