#include "computations/ema.h"
#include "import/bhavcopyfixture.h"
#include "import/bhavcopyimporter.h"
#include "import/emaupdate.h"
#include "support/teststore.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace import;
using import::bhavcopyfile::Row;

namespace {

// A derivative group of ACME, a padded lower-case " bolt ", a symbol longer
// than ten characters, and LATECOMER and GAPPY for the days they miss;
// OUTSIDE is not in it.
class EmaUpdate : public ::testing::Test {
protected:
    void SetUp() override
    {
        store::Database& db = store.db();
        db.exec("INSERT INTO GroupMaster (GroupCode, GroupName) VALUES ('Derivative', 'Derivatives F & O')");
        db.exec("INSERT INTO ScripMaster (srno, company, nsescrip) VALUES (1, 'Acme Ltd', 'ACME'), "
                "(2, 'Bolt Ltd', ' bolt '), (3, 'Long Ltd', 'VERYLONGSYMBOL12'), (4, 'Outside Ltd', 'OUTSIDE'), "
                "(5, 'Latecomer Ltd', 'LATECOMER'), (6, 'Gappy Ltd', 'GAPPY')");
        db.exec("INSERT INTO LinkDetails (GrpCode, ScrCode) VALUES ('Derivative', 1), ('Derivative', 2), "
                "('Derivative', 3), ('Derivative', 5), ('Derivative', 6), ('ALL', 4)");
    }

    // Imports the day's rows (replacing a loaded day) and runs the update.
    EmaUpdateOutcome load(const QDate& day, const QList<Row>& rows)
    {
        BhavcopyImporter importer(store.db());
        importer.setConfirmReplace([](const QString&) { return true; });
        const BhavcopyImportOutcome outcome = importer.importFile(writeBhavcopy(store.folder(), day, rows));
        EXPECT_TRUE(outcome.imported()) << outcome.message.toStdString();
        return updateLatestDayEma(store.db());
    }

    QList<Row> eqRows(double close) const
    {
        return {bhavRow("ACME", "EQ", close), bhavRow("BOLT", "EQ", close), bhavRow("VERYLONGSYMBOL12", "EQ", close),
                bhavRow("OUTSIDE", "EQ", close), bhavRow("ACME", "BE", close)};
    }

    QVariant stored(const QString& symbol, const QDate& day, const char* column, const QString& series = "EQ")
    {
        return store.db().scalar(
            QStringLiteral("SELECT %1 FROM allbhavcopy WHERE symbol = ? AND series = ? AND TransDate = ?")
                .arg(QLatin1String(column)),
            {symbol, series, day});
    }

    // Three days: averages of 100 given on day 1, closes 110 and 90 after it.
    void loadThreeDays()
    {
        EXPECT_FALSE(load(day1, eqRows(100)).previousDay.isValid());
        store.db().exec("UPDATE allbhavcopy SET EMA14Days = 100, EMA34days = 100 WHERE series = 'EQ'");
        const EmaUpdateOutcome second = load(day2, eqRows(110));
        EXPECT_EQ(second.latestDay, day2);
        EXPECT_EQ(second.previousDay, day1);
        EXPECT_EQ(second.symbolsCarried, 3);
        EXPECT_EQ(second.symbolsSeeded, 0);
        load(day3, eqRows(90));
    }

    TestStore store;
    const QDate day1{2024, 3, 4}, day2{2024, 3, 5}, day3{2024, 3, 6};
};

}  // namespace

TEST_F(EmaUpdate, HandComputedThreeDaySeries)
{
    loadThreeDays();
    // 14 days: 100 + 0.1333 * (110 - 100) = 101.333; then
    // 101.333 + 0.1333 * (90 - 101.333) = 99.8223111.
    // 34 days: 100 + 0.05714 * 10 = 100.5714; then
    // 100.5714 + 0.05714 * (90 - 100.5714) = 99.9673502.
    for (const QString symbol : {"ACME", "BOLT", "VERYLONGSYMBOL12"}) {
        EXPECT_NEAR(stored(symbol, day2, "EMA14Days").toDouble(), 101.333, 1e-5) << symbol.toStdString();
        EXPECT_NEAR(stored(symbol, day2, "EMA34days").toDouble(), 100.5714, 1e-5) << symbol.toStdString();
        EXPECT_NEAR(stored(symbol, day3, "EMA14Days").toDouble(), 99.8223111, 1e-5) << symbol.toStdString();
        EXPECT_NEAR(stored(symbol, day3, "EMA34days").toDouble(), 99.9673502, 1e-5) << symbol.toStdString();
    }
    // Outside the group, and other series, nothing is written.
    EXPECT_TRUE(stored("OUTSIDE", day3, "EMA14Days").isNull());
    EXPECT_TRUE(stored("ACME", day3, "EMA14Days", "BE").isNull());
}

TEST_F(EmaUpdate, ASymbolWithOneRowInTheTwoDaysIsLeftUnchanged)
{
    load(day1, eqRows(100) << bhavRow("GAPPY", "EQ", 50));
    store.db().exec("UPDATE allbhavcopy SET EMA14Days = 100, EMA34days = 100 WHERE series = 'EQ'");
    // GAPPY does not trade on day 2; LATECOMER trades on day 2 only.
    const EmaUpdateOutcome outcome = load(day2, eqRows(110) << bhavRow("LATECOMER", "EQ", 20));
    EXPECT_EQ(outcome.symbolsCarried, 3);
    EXPECT_TRUE(stored("LATECOMER", day2, "EMA14Days").isNull());
    EXPECT_TRUE(stored("LATECOMER", day2, "EMA34days").isNull());
    EXPECT_EQ(stored("GAPPY", day1, "EMA14Days").toDouble(), 100.0);
}

TEST_F(EmaUpdate, ReloadingAnEarlierDayCarriesTheLatestFromTheDayBeforeIt)
{
    loadThreeDays();
    const double latest = stored("ACME", day3, "EMA14Days").toDouble();
    const double previous = stored("ACME", day2, "EMA14Days").toDouble();
    const EmaUpdateOutcome outcome = load(day1, eqRows(500));
    EXPECT_EQ(outcome.latestDay, day3);
    EXPECT_EQ(outcome.previousDay, day2);
    EXPECT_EQ(stored("ACME", day3, "EMA14Days").toDouble(), latest);
    EXPECT_EQ(stored("ACME", day2, "EMA14Days").toDouble(), previous);
    EXPECT_TRUE(stored("ACME", day1, "EMA14Days").isNull());
}

TEST_F(EmaUpdate, FirstDaysAreSeededAsTheFullComputationWouldDoThem)
{
    // Forty trading days loaded one by one from an empty table: nothing until
    // a symbol has N days, then the same values as the computation over the
    // whole table.
    const QStringList symbols{"ACME", "BOLT", "VERYLONGSYMBOL12"};
    QDate day(2024, 1, 1);
    int seededDays = 0;
    for (int d = 0; d < 40; ++d, day = day.addDays(1)) {
        QList<Row> rows;
        for (int s = 0; s < symbols.size(); ++s)
            rows.append(bhavRow(symbols[s], "EQ", std::round((100 + 10 * s + 8 * std::sin(d * 0.7 + s)) * 20) / 20));
        if (load(day, rows).symbolsSeeded > 0)
            ++seededDays;
    }
    // The 14-day value starts on day 14, the 34-day one on day 34: days 2
    // to 34 find no 34-day value on the day before.
    EXPECT_EQ(seededDays, 33);
    const auto counts = [&](const char* column) {
        return store.db()
            .scalar(QStringLiteral("SELECT count(%1) FROM allbhavcopy WHERE symbol = 'ACME'").arg(column))
            .toInt();
    };
    EXPECT_EQ(counts("EMA14Days"), 40 - 13);
    EXPECT_EQ(counts("EMA34days"), 40 - 33);

    const QStringList carried = bhavcopyTable(store.db());
    store.db().exec("UPDATE allbhavcopy SET EMA14Days = NULL, EMA34days = NULL");
    store.db().exec("INSERT INTO derisymbol (symbol) VALUES ('ACME'), ('BOLT'), ('VERYLONGSYMBOL12')");
    for (const auto& period : computations::kEmaPeriods)
        computations::rebuildAllEma(store.db(), period);
    EXPECT_EQ(bhavcopyTable(store.db()), carried);
}
