#include "viewer/resultsort.h"

#include <gtest/gtest.h>

using store::ColumnKind;
using viewer::HeaderSort;
using viewer::SortRowInput;

namespace {

const QString kFiller = QString(QChar(0x00A0));

const QList<store::Column> kColumns = {{"Stock", ColumnKind::Text},   {"Rate", ColumnKind::Real},
                                       {"NSEPerc", ColumnKind::Real}, {"% Chg", ColumnKind::Real},
                                       {"TransDate", ColumnKind::Date}, {kFiller, ColumnKind::Text}};

const SortRowInput kUnused;

}  // namespace

TEST(ResultSortTest, ClauseTextsOfTheSortRowsAndTheRefresh)
{
    const struct {
        QList<SortRowInput> rows;
        const char* clause;
    } cases[] = {
        {{{"NSEPerc", "Desc"}}, "3 Desc"},
        {{{"Stock", "Asc"}, kUnused, {"TransDate", "Desc"}}, "1 Asc,5 Desc"},
        {{kUnused, {"Rate", "Asc"}}, "[Rate] Asc"},
        {{{"Rate", "Asc"}, {"% Chg", "Desc"}}, "2 Asc,4 Desc"},
        {{kUnused, {"Stock", "Desc"}}, "[Stock] Desc"},
        {{kUnused, {"Stock", "Desc"}, {"TransDate", "Asc"}}, "[Stock] Desc,5 Asc"},
        // An empty order is ascending and leaves its blank in the clause.
        {{{"NSEPerc", ""}}, "3 "},
        // A name of blanks only is no choice; a filler column's name is one.
        {{{"   ", "Desc"}}, ""},
        {{{kFiller, "Desc"}}, "6 Desc"},
    };
    for (const auto& c : cases) {
        const viewer::SortOrder order = viewer::buildSortOrder(kColumns, c.rows);
        EXPECT_TRUE(order.problem.isEmpty()) << c.clause;
        EXPECT_EQ(order.clause, c.clause);
    }

    EXPECT_EQ(viewer::refreshSelectText(QString()), "Select * from QueryResult");
    EXPECT_EQ(viewer::refreshSelectText("[Stock] Desc,5 Asc"), "Select * from QueryResult order by [Stock] Desc,5 Asc");
    const viewer::SortOrder order = viewer::buildSortOrder(kColumns, {kUnused, {"stock", "desc"}, {"% chg", ""}});
    ASSERT_TRUE(order.problem.isEmpty());
    EXPECT_EQ(viewer::refreshStatement(order.keys), "SELECT * FROM \"QueryResult\" ORDER BY 1 DESC, 4 ASC");
    EXPECT_EQ(viewer::refreshStatement({}), "SELECT * FROM \"QueryResult\"");

    // Typed text that is no column or order is refused.
    const auto unknown = viewer::buildSortOrder(kColumns, {{"Rate]; DROP TABLE mto", ""}});
    EXPECT_FALSE(unknown.problem.isEmpty());
    EXPECT_TRUE(unknown.keys.isEmpty());
    EXPECT_FALSE(viewer::buildSortOrder(kColumns, {{"Rate", "Upwards"}}).problem.isEmpty());
}

TEST(ResultSortTest, HeaderClicksAlternateOnOneColumnAndFillersAreNotSorted)
{
    HeaderSort header;
    for (const char* direction : {"Asc", "Desc", "Asc"}) {
        EXPECT_EQ(header.click(2, "NSEPerc"),
                  direction[0] == 'A' ? HeaderSort::Direction::Ascending : HeaderSort::Direction::Descending);
        EXPECT_EQ(header.direction(), direction);
    }
    EXPECT_EQ(header.columnIndex(), 2);
    // A, B, A: each starts ascending.
    HeaderSort other;
    for (const auto& [index, name] : {std::pair(0, "Stock"), std::pair(1, "Rate"), std::pair(0, "Stock")})
        EXPECT_EQ(other.click(index, name), HeaderSort::Direction::Ascending) << name;

    EXPECT_TRUE(viewer::isFillerColumn(kFiller + kFiller));
    EXPECT_FALSE(viewer::isFillerColumn(" "));
    EXPECT_FALSE(viewer::isFillerColumn(kFiller + "x"));
    HeaderSort filler;
    filler.click(0, "Stock");
    EXPECT_FALSE(filler.click(5, kFiller).has_value());
    EXPECT_EQ(filler.columnIndex(), 5);
    EXPECT_EQ(filler.direction(), "Asc");
    // The filler click does not break the alternation on the sorted column.
    EXPECT_EQ(filler.click(0, "Stock"), HeaderSort::Direction::Descending);
    EXPECT_EQ(viewer::headerSortText("Stock", HeaderSort::Direction::Descending), "[Stock] DESC");
}
