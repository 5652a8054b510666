#include "viewer/resultfilter.h"

#include <QDate>
#include <gtest/gtest.h>

using store::ColumnKind;
using viewer::FilterJoiner;
using viewer::FilterOperator;
using viewer::FilterRowInput;
using viewer::ResultFilter;

namespace {

// stock, NSETrdQty, NSEPerc, TransDate
const QList<store::Column> kColumns = {{QStringLiteral("stock"), ColumnKind::Text},
                                       {QStringLiteral("NSETrdQty"), ColumnKind::Integer},
                                       {QStringLiteral("NSEPerc"), ColumnKind::Real},
                                       {QStringLiteral("TransDate"), ColumnKind::Date}};

QList<QVariantList> fixtureRows()
{
    return {
        {QStringLiteral("ABC Ltd"), qint64(1000), 50.5, QDate(2026, 1, 5)},
        {QStringLiteral("abacus"), qint64(200), 75.0, QDate(2026, 1, 6)},
        {QStringLiteral("Zen"), qint64(5000), QVariant(), QDate(2026, 1, 7)},
        {QStringLiteral("O'Neil"), QVariant(), 20.0, QVariant()},
        {QStringLiteral("Bharat"), qint64(1500), 60.0, QDate(2026, 1, 5)},
    };
}

// The stock names of the fixture rows that pass `filter`.
QStringList passing(const ResultFilter& filter)
{
    QStringList names;
    for (const QVariantList& row : fixtureRows())
        if (filter.accepts(row))
            names.append(row[0].toString());
    return names;
}

viewer::FilterCondition condition(int column, FilterOperator op, const QString& value)
{
    const auto made = viewer::makeCondition(kColumns[column], column, op, value);
    EXPECT_TRUE(made.has_value());
    return made.value_or(viewer::FilterCondition());
}

ResultFilter single(int column, FilterOperator op, const QString& value)
{
    ResultFilter filter;
    filter.append(FilterJoiner::And, condition(column, op, value));
    return filter;
}

FilterRowInput row(int column, const QString& op, const QString& value, const QString& joiner = QStringLiteral("AND"))
{
    return {column, op, value, joiner};
}

}  // namespace

TEST(ResultFilterTest, OperatorsByColumnKind)
{
    const QStringList comparisons = {QStringLiteral("="), QStringLiteral(">"), QStringLiteral("<"),
                                     QStringLiteral(">="), QStringLiteral("<=")};
    // 64-bit integer columns get the comparisons too, like real and date columns.
    EXPECT_EQ(viewer::operatorCaptions(ColumnKind::Integer), comparisons);
    EXPECT_EQ(viewer::operatorCaptions(ColumnKind::Real), comparisons);
    EXPECT_EQ(viewer::operatorCaptions(ColumnKind::Date), comparisons);
    EXPECT_EQ(viewer::operatorCaptions(ColumnKind::Text), QStringList({QStringLiteral("="), QStringLiteral("Like")}));
    EXPECT_EQ(viewer::joinerCaptions(), QStringList({QStringLiteral("AND"), QStringLiteral("OR")}));
}

TEST(ResultFilterTest, LikeIsPrefixMatchWithoutRegardToCase)
{
    const ResultFilter like = single(0, FilterOperator::Like, QStringLiteral("ab"));
    EXPECT_EQ(passing(like), QStringList({QStringLiteral("ABC Ltd"), QStringLiteral("abacus")}));
    EXPECT_EQ(like.text(), QStringLiteral("[stock] Like 'ab%'"));
    // A leading wildcard matches anywhere in the text.
    EXPECT_EQ(passing(single(0, FilterOperator::Like, QStringLiteral("%AR"))), QStringList({QStringLiteral("Bharat")}));
    // "=" on text ignores case but not a trailing blank, which is part of the value.
    EXPECT_EQ(passing(single(0, FilterOperator::Equal, QStringLiteral("zen"))), QStringList({QStringLiteral("Zen")}));
    EXPECT_TRUE(passing(single(0, FilterOperator::Equal, QStringLiteral("Zen "))).isEmpty());
}

TEST(ResultFilterTest, QuoteInValueIsAnOrdinaryCharacter)
{
    const ResultFilter quoted = single(0, FilterOperator::Equal, QStringLiteral("o'neil"));
    EXPECT_EQ(passing(quoted), QStringList({QStringLiteral("O'Neil")}));
    EXPECT_EQ(quoted.text(), QStringLiteral("[stock] = 'o'neil'"));
}

TEST(ResultFilterTest, NumberComparisonsAndEmptyCellsNeverMatch)
{
    const ResultFilter atLeast = single(1, FilterOperator::GreaterOrEqual, QStringLiteral("1000"));
    EXPECT_EQ(passing(atLeast), QStringList({QStringLiteral("ABC Ltd"), QStringLiteral("Zen"), QStringLiteral("Bharat")}));
    EXPECT_EQ(atLeast.text(), QStringLiteral("[NSETrdQty] >= 1000"));
    // O'Neil's empty quantity passes neither "<" nor ">=".
    EXPECT_EQ(passing(single(1, FilterOperator::Less, QStringLiteral("1000"))), QStringList({QStringLiteral("abacus")}));
    EXPECT_EQ(passing(single(2, FilterOperator::Greater, QStringLiteral("50.5"))),
              QStringList({QStringLiteral("abacus"), QStringLiteral("Bharat")}));
    EXPECT_EQ(passing(single(2, FilterOperator::LessOrEqual, QStringLiteral("50.5"))),
              QStringList({QStringLiteral("ABC Ltd"), QStringLiteral("O'Neil")}));
    // The leading number of the text counts: 12abc is 12, abc is 0.
    EXPECT_EQ(single(2, FilterOperator::Greater, QStringLiteral("12abc")).text(), QStringLiteral("[NSEPerc] > 12"));
    EXPECT_EQ(single(2, FilterOperator::Greater, QStringLiteral("abc")).text(), QStringLiteral("[NSEPerc] > 0"));
}

TEST(ResultFilterTest, DateComparisonsAndInvalidDates)
{
    const ResultFilter onDay = single(3, FilterOperator::Equal, QStringLiteral("05/Jan/2026"));
    EXPECT_EQ(passing(onDay), QStringList({QStringLiteral("ABC Ltd"), QStringLiteral("Bharat")}));
    EXPECT_EQ(onDay.text(), QStringLiteral("[TransDate] = #05/Jan/2026#"));
    EXPECT_EQ(passing(single(3, FilterOperator::Greater, QStringLiteral("5/jan/2026"))),
              QStringList({QStringLiteral("abacus"), QStringLiteral("Zen")}));
    EXPECT_FALSE(viewer::makeCondition(kColumns[3], 3, FilterOperator::Equal, QStringLiteral("31/Feb/2026")));
    EXPECT_FALSE(viewer::makeCondition(kColumns[3], 3, FilterOperator::Equal, QString()));
}

TEST(ResultFilterTest, JoinersGroupLeftToRight)
{
    // stock Like 'Z' OR NSEPerc > 70, then AND NSEPerc > 10: the AND applies to
    // both of the first two, so Zen (no percentage) drops out.
    ResultFilter filter;
    filter.append(FilterJoiner::And, condition(0, FilterOperator::Like, QStringLiteral("Z")));
    filter.append(FilterJoiner::Or, condition(2, FilterOperator::Greater, QStringLiteral("70")));
    EXPECT_EQ(passing(filter), QStringList({QStringLiteral("abacus"), QStringLiteral("Zen")}));
    EXPECT_EQ(filter.text(), QStringLiteral("[stock] Like 'Z%' OR ([NSEPerc] > 70)"));
    filter.append(FilterJoiner::And, condition(2, FilterOperator::Greater, QStringLiteral("10")));
    EXPECT_EQ(passing(filter), QStringList({QStringLiteral("abacus")}));
    EXPECT_EQ(filter.text(), QStringLiteral("([stock] Like 'Z%' OR ([NSEPerc] > 70)) And [NSEPerc] > 10"));
}

TEST(ResultFilterTest, FirstRowMustBeComplete)
{
    auto problemOf = [](const QList<FilterRowInput>& rows) {
        const auto reading = viewer::readFilterRows(kColumns, rows);
        return reading.problem ? reading.problem->message : QString();
    };
    EXPECT_EQ(problemOf({FilterRowInput(), row(1, QStringLiteral(">"), QStringLiteral("5"))}),
              QStringLiteral("Please Select Filter "));
    EXPECT_EQ(problemOf({row(1, QString(), QStringLiteral("5"))}), QStringLiteral("Please Select Filter Condition "));
    EXPECT_EQ(problemOf({row(1, QStringLiteral(">"), QString())}), QStringLiteral("Please Enter Value "));

    const auto reading = viewer::readFilterRows(kColumns, {row(1, QStringLiteral(">"), QString())});
    ASSERT_TRUE(reading.problem);
    EXPECT_EQ(reading.problem->style, 48);
    EXPECT_EQ(reading.problem->field, viewer::FilterProblem::Field::Value);
}

TEST(ResultFilterTest, LaterRowsAreReadInOrderAndInvalidDateStops)
{
    const auto invalid = viewer::readFilterRows(
        kColumns, {row(0, QStringLiteral("="), QStringLiteral("Zen")), FilterRowInput(),
                   row(3, QStringLiteral("="), QStringLiteral("soon"))});
    ASSERT_TRUE(invalid.problem);
    EXPECT_EQ(invalid.problem->message, QStringLiteral("INVALID DATE"));
    EXPECT_EQ(invalid.problem->style, 0);
    EXPECT_EQ(invalid.problem->row, 2);

    // An empty value in a later row: '%' for Like matches every name.
    const auto reading = viewer::readFilterRows(
        kColumns, {row(1, QStringLiteral("<"), QStringLiteral("300"), QStringLiteral("OR")),
                   row(0, QStringLiteral("Like"), QString(), QString())});
    ASSERT_FALSE(reading.problem);
    EXPECT_EQ(reading.composed.text(), QStringLiteral("[NSETrdQty] < 300 OR ([stock] Like '%')"));
    EXPECT_EQ(passing(reading.composed).size(), 5);
    EXPECT_EQ(reading.firstRow.text(), QStringLiteral("[NSETrdQty] < 300"));
}

TEST(ResultFilterTest, RowAfterUnusedRowIsJoinedByLastUsedRow)
{
    // Rows 0 and 2 filled, row 1 never touched: row 2 still takes part,
    // joined by row 0's joiner.
    const auto reading = viewer::readFilterRows(
        kColumns, {row(0, QStringLiteral("Like"), QStringLiteral("Zen"), QStringLiteral("OR")), FilterRowInput(),
                   row(0, QStringLiteral("Like"), QStringLiteral("Bh"))});
    ASSERT_FALSE(reading.problem);
    EXPECT_EQ(reading.composed.size(), 2);
    EXPECT_EQ(passing(reading.composed), QStringList({QStringLiteral("Zen"), QStringLiteral("Bharat")}));
}
