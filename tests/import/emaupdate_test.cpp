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
        store.db().execScript(
            "INSERT INTO GroupMaster (GroupCode, GroupName) VALUES ('Derivative', 'Derivatives F & O');"
            "INSERT INTO ScripMaster (srno, company, nsescrip) VALUES (1, 'Acme Ltd', 'ACME'), (2, 'Bolt', ' bolt '), "
            "(3, 'Long Ltd', 'VERYLONGSYMBOL12'), (4, 'Out', 'OUTSIDE'), (5, 'Late', 'LATECOMER'), (6, 'Gap', 'GAPPY');"
            "INSERT INTO LinkDetails (GrpCode, ScrCode) VALUES ('Derivative', 1), ('Derivative', 2), "
            "('Derivative', 3), ('Derivative', 5), ('Derivative', 6), ('ALL', 4)");
    }

    // Imports the day's rows (replacing a loaded day) and runs the update.
    void load(const QDate& day, const QList<Row>& rows)
    {
        BhavcopyImporter importer(store.db());
        importer.setConfirmReplace([](const QString&) { return true; });
        EXPECT_TRUE(importer.importFile(marketgen::BhavcopyWriter::writeFile(store.folder(), day, rows)).imported());
        updateLatestDayEma(store.db());
    }

    QVariant stored(const QString& symbol, const QDate& day, const char* column, const QString& series = "EQ")
    {
        return store.db().scalar(
            QStringLiteral("SELECT %1 FROM allbhavcopy WHERE symbol = ? AND series = ? AND TransDate = ?").arg(column),
            {symbol, series, day});
    }

    TestStore store;
};

}  // namespace

TEST_F(EmaUpdate, EachDayCarriesTheAveragesOfTheDayBefore)
{
    const QDate day1{2024, 3, 4}, day2{2024, 3, 5}, day3{2024, 3, 6};
    auto eqRows = [](double close) {
        return QList<Row>{bhavRow("ACME", "EQ", close), bhavRow("BOLT", "EQ", close),
                          bhavRow("VERYLONGSYMBOL12", "EQ", close), bhavRow("OUTSIDE", "EQ", close),
                          bhavRow("ACME", "BE", close)};
    };
    // Averages of 100 given on day 1, closes 110 and 90 after it. GAPPY does
    // not trade on day 2; LATECOMER trades on day 2 only.
    load(day1, eqRows(100) << bhavRow("GAPPY", "EQ", 50));
    store.db().exec("UPDATE allbhavcopy SET EMA14Days = 100, EMA34days = 100 WHERE series = 'EQ'");
    load(day2, eqRows(110) << bhavRow("LATECOMER", "EQ", 20));
    load(day3, eqRows(90));
    EXPECT_EQ(stored("GAPPY", day1, "EMA14Days").toDouble(), 100.0);

    // Reloading an earlier day carries the latest day from the day before it
    // again, and leaves the reloaded day without averages.
    load(day1, eqRows(500));
    EXPECT_TRUE(stored("ACME", day1, "EMA14Days").isNull());
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
    // Outside the group, other series and a symbol without the day before
    // get nothing.
    EXPECT_TRUE(stored("OUTSIDE", day3, "EMA14Days").isNull());
    EXPECT_TRUE(stored("ACME", day3, "EMA14Days", "BE").isNull());
    EXPECT_TRUE(stored("LATECOMER", day2, "coalesce(EMA14Days, EMA34days)").isNull());
}

TEST_F(EmaUpdate, FirstDaysAreSeededAsTheFullComputationWouldDoThem)
{
    // Forty trading days loaded one by one from an empty table: nothing until
    // a symbol has N days, then the same values as the computation over the
    // whole table.
    const QStringList symbols{"ACME", "BOLT", "VERYLONGSYMBOL12"};
    for (int d = 0; d < 40; ++d) {
        QList<Row> rows;
        for (int s = 0; s < symbols.size(); ++s)
            rows.append(bhavRow(symbols[s], "EQ", std::round((100 + 10 * s + 8 * std::sin(d * 0.7 + s)) * 20) / 20));
        load(QDate(2024, 1, 1).addDays(d), rows);
    }
    // The 14-day value starts on day 14, the 34-day one on day 34.
    EXPECT_EQ(store.db().scalar("SELECT count(EMA14Days) || ' ' || count(EMA34days) FROM allbhavcopy "
                                "WHERE symbol = 'ACME'").toString(), "27 7");

    const QStringList carried = bhavcopyTable(store.db());
    store.db().exec("UPDATE allbhavcopy SET EMA14Days = NULL, EMA34days = NULL");
    store.db().exec("INSERT INTO derisymbol (symbol) VALUES ('ACME'), ('BOLT'), ('VERYLONGSYMBOL12')");
    for (const auto& period : computations::kEmaPeriods)
        computations::rebuildAllEma(store.db(), period);
    EXPECT_EQ(bhavcopyTable(store.db()), carried);
}
