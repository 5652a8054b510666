#include "viewer/resultfilter.h"

#include <QDate>
#include <QLocale>
#include <gtest/gtest.h>

using store::ColumnKind;
using viewer::FilterJoiner;
using viewer::FilterOperator;
using viewer::FilterRowInput;
using viewer::ResultFilter;

namespace {

// stock, NSETrdQty, NSEPerc, TransDate
const QList<store::Column> kColumns = {{"stock", ColumnKind::Text}, {"NSETrdQty", ColumnKind::Integer},
                                       {"NSEPerc", ColumnKind::Real}, {"TransDate", ColumnKind::Date}};

const QList<QVariantList> kRows = {
    {"ABC Ltd", qint64(1000), 50.5, QDate(2026, 1, 5)}, {"abacus", qint64(200), 75.0, QDate(2026, 1, 6)},
    {"Zen", qint64(5000), QVariant(), QDate(2026, 1, 7)}, {"O'Neil", QVariant(), 20.0, QVariant()},
    {"Bharat", qint64(1500), 60.0, QDate(2026, 1, 5)},
};

// The stock names of the rows that pass `filter`, in a table declared as
// the result's columns.
QStringList passing(const ResultFilter& filter)
{
    store::Database db;
    db.open(":memory:");
    db.exec("CREATE TABLE r (stock TEXT COLLATE NOCASE, NSETrdQty INTEGER, NSEPerc REAL, TransDate DATE)");
    for (const QVariantList& row : kRows)
        db.exec("INSERT INTO r VALUES (?, ?, ?, ?)", row);
    const viewer::FilterSql where = filter.sql(kColumns);
    QStringList names;
    for (const QVariantList& row : db.query("SELECT stock FROM r WHERE " + where.condition + " ORDER BY rowid", where.params).rows)
        names.append(row[0].toString());
    return names;
}

viewer::FilterCondition condition(int column, FilterOperator op, const QString& value)
{
    const auto made = viewer::makeCondition(kColumns[column], column, op, value);
    EXPECT_TRUE(made.has_value());
    return made.value_or(viewer::FilterCondition());
}

FilterRowInput row(int column, const QString& op, const QString& value, const QString& joiner = "AND")
{
    return {column, op, value, joiner};
}

QString problemOf(const QList<FilterRowInput>& rows)
{
    const auto reading = viewer::readFilterRows(kColumns, rows);
    return reading.problem ? reading.problem->message : "<none>";
}

}  // namespace

TEST(ResultFilterTest, ConditionsByColumnKind)
{
    const QStringList comparisons = {"=", ">", "<", ">=", "<="};
    // 64-bit integer columns get the comparisons too, like real and date columns.
    for (ColumnKind kind : {ColumnKind::Integer, ColumnKind::Real, ColumnKind::Date})
        EXPECT_EQ(viewer::operatorCaptions(kind), comparisons);
    EXPECT_EQ(viewer::operatorCaptions(ColumnKind::Text), (QStringList{"=", "Like"}));
    EXPECT_EQ(viewer::joinerCaptions(), (QStringList{"AND", "OR"}));

    using Op = FilterOperator;
    const struct {
        int column;
        Op op;
        const char* value;
        QStringList passing;
        const char* text;  // null: not checked
    } cases[] = {
        // Like is a prefix match without regard to case; a leading wildcard
        // matches anywhere. "=" on text ignores case but not a trailing blank.
        {0, Op::Like, "ab", {"ABC Ltd", "abacus"}, "[stock] Like 'ab%'"},
        {0, Op::Like, "%AR", {"Bharat"}, nullptr},
        {0, Op::Equal, "zen", {"Zen"}, nullptr},
        {0, Op::Equal, "Zen ", {}, nullptr},
        // A quote in the value is an ordinary character.
        {0, Op::Equal, "o'neil", {"O'Neil"}, "[stock] = 'o'neil'"},
        // Empty cells never match.
        {1, Op::GreaterOrEqual, "1000", {"ABC Ltd", "Zen", "Bharat"}, "[NSETrdQty] >= 1000"},
        {1, Op::Less, "1000", {"abacus"}, nullptr},
        {2, Op::Greater, "50.5", {"abacus", "Bharat"}, nullptr},
        {2, Op::LessOrEqual, "50.5", {"ABC Ltd", "O'Neil"}, nullptr},
        // The leading number of the text counts: 12abc is 12, abc is 0.
        {2, Op::Greater, "12abc", {"ABC Ltd", "abacus", "O'Neil", "Bharat"}, "[NSEPerc] > 12"},
        {2, Op::Greater, "abc", {"ABC Ltd", "abacus", "O'Neil", "Bharat"}, "[NSEPerc] > 0"},
        {3, Op::Equal, "05/Jan/2026", {"ABC Ltd", "Bharat"}, "[TransDate] = #05/Jan/2026#"},
        {3, Op::Greater, "5/jan/2026", {"abacus", "Zen"}, nullptr},
        // Days in numbers, day first, or ISO; the text is shown as typed.
        {3, Op::Equal, "05/01/2026", {"ABC Ltd", "Bharat"}, "[TransDate] = #05/01/2026#"},
        {3, Op::Less, "6.1.26", {"ABC Ltd", "Bharat"}, nullptr},
        {3, Op::Greater, "2026-01-06", {"Zen"}, nullptr},
    };
    for (const auto& c : cases) {
        ResultFilter filter;
        filter.append(FilterJoiner::And, condition(c.column, c.op, c.value));
        EXPECT_EQ(passing(filter), c.passing) << c.value;
        EXPECT_EQ(c.text ? filter.text() : QString(), c.text ? c.text : "") << c.value;
    }
    for (const char* notADay : {"31/Feb/2026", "", "32/01/2026", "2026-02-30", "5/1", "05/01/2026/1", "soon"})
        EXPECT_FALSE(viewer::makeCondition(kColumns[3], 3, Op::Equal, notADay)) << notADay;
}

TEST(ResultFilterTest, DatesInTheFormsOfTheUsersLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const auto dayOf = [](const QString& text) {
        const auto made = viewer::makeCondition(kColumns[3], 3, FilterOperator::Equal, text);
        return made ? made->value.toDate() : QDate();
    };
    // Month first where no day comes first; a two-digit year of this century.
    EXPECT_EQ(dayOf("1/31/26"), QDate(2026, 1, 31));
    EXPECT_EQ(dayOf("Wednesday, January 7, 2026"), QDate(2026, 1, 7));
    // Numbers that make a day, day first, stay day first.
    EXPECT_EQ(dayOf("1/7/26"), QDate(2026, 7, 1));
    EXPECT_EQ(dayOf("12/31/99"), QDate(1999, 12, 31));
    QLocale::setDefault(before);
}

TEST(ResultFilterTest, JoinersGroupLeftToRight)
{
    // stock Like 'Z' OR NSEPerc > 70, then AND NSEPerc > 10: the AND applies to
    // both of the first two, so Zen (no percentage) drops out.
    ResultFilter filter;
    filter.append(FilterJoiner::And, condition(0, FilterOperator::Like, "Z"));
    filter.append(FilterJoiner::Or, condition(2, FilterOperator::Greater, "70"));
    EXPECT_EQ(passing(filter), (QStringList{"abacus", "Zen"}));
    EXPECT_EQ(filter.text(), "[stock] Like 'Z%' OR ([NSEPerc] > 70)");
    filter.append(FilterJoiner::And, condition(2, FilterOperator::Greater, "10"));
    EXPECT_EQ(passing(filter), QStringList{"abacus"});
    EXPECT_EQ(filter.text(), "([stock] Like 'Z%' OR ([NSEPerc] > 70)) And [NSEPerc] > 10");
}

TEST(ResultFilterTest, RowsOfThePanelAreCheckedAndReadInOrder)
{
    // The first row must be complete.
    EXPECT_EQ(problemOf({FilterRowInput(), row(1, ">", "5")}), "Please Select Filter ");
    EXPECT_EQ(problemOf({row(1, QString(), "5")}), "Please Select Filter Condition ");
    EXPECT_EQ(problemOf({row(1, ">", QString())}), "Please Enter Value ");
    const auto empty = viewer::readFilterRows(kColumns, {row(1, ">", QString())});
    ASSERT_TRUE(empty.problem);
    EXPECT_EQ(empty.problem->style, 48);
    EXPECT_EQ(empty.problem->field, viewer::FilterProblem::Field::Value);

    // An invalid date in a later row stops.
    const auto invalid = viewer::readFilterRows(kColumns, {row(0, "=", "Zen"), FilterRowInput(), row(3, "=", "soon")});
    ASSERT_TRUE(invalid.problem);
    EXPECT_EQ(invalid.problem->message, "INVALID DATE");
    EXPECT_EQ(invalid.problem->style, 0);
    EXPECT_EQ(invalid.problem->row, 2);

    // An empty value in a later row: '%' for Like matches every name.
    const auto reading =
        viewer::readFilterRows(kColumns, {row(1, "<", "300", "OR"), row(0, "Like", QString(), QString())});
    ASSERT_FALSE(reading.problem);
    EXPECT_EQ(reading.composed.text(), "[NSETrdQty] < 300 OR ([stock] Like '%')");
    EXPECT_EQ(passing(reading.composed).size(), 5);
    EXPECT_EQ(reading.firstRow.text(), "[NSETrdQty] < 300");

    // Rows 0 and 2 filled, row 1 never touched: row 2 still takes part,
    // joined by row 0's joiner.
    const auto gap =
        viewer::readFilterRows(kColumns, {row(0, "Like", "Zen", "OR"), FilterRowInput(), row(0, "Like", "Bh")});
    ASSERT_FALSE(gap.problem);
    EXPECT_EQ(gap.composed.size(), 2);
    EXPECT_EQ(passing(gap.composed), (QStringList{"Zen", "Bharat"}));
}
