#include "computations/ema.h"
#include "store/database.h"
#include "support/teststore.h"

#include <gtest/gtest.h>
#include <numeric>
#include <vector>

using namespace computations;

namespace {

std::vector<double> closesFrom(double first, int count, double step = 1.0)
{
    std::vector<double> closes(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        closes[static_cast<size_t>(i)] = first + i * step;
    return closes;
}

int valueCount(const std::vector<std::optional<double>>& values)
{
    return static_cast<int>(std::count_if(values.begin(), values.end(), [](const auto& v) { return v.has_value(); }));
}

// One stored average column of a symbol's rows of a series, oldest first.
QList<QVariant> storedColumn(store::Database& db, const char* symbol, const char* series, const char* column)
{
    QList<QVariant> values;
    for (const auto& row : db.query(QStringLiteral("SELECT %1 FROM allbhavcopy WHERE symbol = ? AND series = ? "
                                                   "ORDER BY TransDate")
                                        .arg(QLatin1String(column)),
                                    {QString::fromLatin1(symbol), QString::fromLatin1(series)})
                               .rows)
        values.append(row[0]);
    return values;
}

}  // namespace

TEST(EmaSeries, StartsOnTheNthClose)
{
    // Closes held, values given: none before the N-th close, the seed on it.
    for (const EmaPeriod& period : kEmaPeriods) {
        for (const auto& [extra, values] : {std::pair{-1, 0}, {0, 1}, {1, 2}}) {
            const auto series = emaSeries(closesFrom(10, period.days + extra), period);
            EXPECT_EQ(valueCount(series), values) << period.days << " + " << extra;
            if (values > 0) {
                EXPECT_EQ(series[static_cast<size_t>(period.days - 1)], 10.0 + (period.days - 1) / 2.0) << period.days;
                EXPECT_FALSE(series[static_cast<size_t>(period.days - 2)].has_value());
            }
        }
    }
}

TEST(EmaSeries, FlatClosesGiveTheCloseThroughout)
{
    const std::vector<double> closes(40, 10.0);
    const auto values = emaSeries(closes, kEma14);
    EXPECT_EQ(valueCount(values), 27);
    for (const auto& value : values) {
        if (value) {
            EXPECT_DOUBLE_EQ(*value, 10.0);
        }
    }
}

TEST(EmaSeries, HandComputedValues)
{
    // Closes 1..15: the seed is the mean of 1..14 = 7.5, and the 15th value
    // 7.5 + 0.1333 * (15 - 7.5) = 8.49975.
    const auto values = emaSeries(closesFrom(1, 15), kEma14);
    EXPECT_DOUBLE_EQ(*values[13], 7.5);
    EXPECT_NEAR(*values[14], 8.49975, 1e-6);

    // A mean of 93 / 14 = 6.642857... is seeded as 6.6429, held in single precision.
    std::vector<double> closes = closesFrom(1, 13);
    closes.push_back(2.0);
    EXPECT_EQ(emaSeed(closes), static_cast<double>(6.6429f));
}

TEST(EmaSeries, ADayCarriedFromTheStoredValueMatchesTheWholeSeries)
{
    // The daily update steps from the stored value of the day before; the
    // full computation must give the same number for that day.
    const std::vector<double> closes{101.3, 99.85, 102.4, 104.05, 103.6, 105.2, 104.1, 103.35, 106.8, 107.25,
                                     108.1, 106.45, 105.9, 109.3, 110.05, 108.6, 111.2, 112.95, 111.4, 113.3,
                                     112.1, 114.6, 115.05, 113.8, 116.2, 117.9, 116.35, 118.4, 119.1, 117.65,
                                     120.3, 121.05, 119.9, 122.4, 123.15, 121.8, 124.6, 125.3, 124.05, 126.7};
    for (const EmaPeriod& period : kEmaPeriods) {
        const auto whole = emaSeries(closes, period);
        const auto withoutLast = emaSeries(std::span(closes).first(closes.size() - 1), period);
        EXPECT_EQ(emaStep(*withoutLast.back(), closes.back(), period), *whole.back()) << period.days;
    }
}

TEST(EmaRebuild, WritesTheListedSymbolsEqRowsOnly)
{
    TestStore store;
    store::Database& db = store.db();
    db.exec(QStringLiteral("INSERT INTO derisymbol (symbol) VALUES ('ACME'), ('O''NEIL'), ('NOROWS')"));
    const QDate first(2024, 1, 1);
    const std::vector<double> closes = closesFrom(50, 16, 0.5);
    for (int i = 0; i < 16; ++i)
        for (const auto& [symbol, series] : {std::pair{"ACME", "EQ"}, {"ACME", "BE"}, {"O'NEIL", "EQ"}, {"UNLISTED", "EQ"}})
            db.exec(QStringLiteral("INSERT INTO allbhavcopy (symbol, series, closeprice, TransDate) VALUES (?, ?, ?, ?)"),
                    {QString::fromLatin1(symbol), QString::fromLatin1(series), closes[size_t(i)], first.addDays(i)});
    // A value on a row before the series starts is left as it is.
    db.exec(QStringLiteral("UPDATE allbhavcopy SET EMA14Days = 5 WHERE symbol = 'ACME' AND series = 'EQ' AND "
                           "TransDate = ?"),
            {first});

    QStringList seen;
    const qint64 written = rebuildAllEma(db, kEma14, [&](int, int, const QString& symbol) {
        if (!symbol.isEmpty())
            seen.append(symbol);
    });
    EXPECT_EQ(seen, (QStringList{"ACME", "NOROWS", "O'NEIL"}));
    EXPECT_EQ(written, 6);  // rows 14 to 16 of two symbols

    const auto expected = emaSeries(closes, kEma14);
    for (const char* symbol : {"ACME", "O'NEIL"}) {
        const QList<QVariant> stored = storedColumn(db, symbol, "EQ", "EMA14Days");
        ASSERT_EQ(stored.size(), 16);
        for (int i = 13; i < 16; ++i)
            EXPECT_EQ(stored[i].toDouble(), *expected[size_t(i)]) << symbol << " row " << i;
        EXPECT_TRUE(stored[12].isNull());
    }
    EXPECT_EQ(storedColumn(db, "ACME", "EQ", "EMA14Days")[0].toDouble(), 5.0);
    // Other series, unlisted symbols and the other average stay empty.
    for (const auto& [symbol, series, column] : {std::tuple{"ACME", "BE", "EMA14Days"}, {"UNLISTED", "EQ", "EMA14Days"},
                                                 {"ACME", "EQ", "EMA34days"}})
        for (const QVariant& value : storedColumn(db, symbol, series, column))
            EXPECT_TRUE(value.isNull()) << symbol << " " << series << " " << column;
}
