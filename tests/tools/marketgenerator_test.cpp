#include "marketgenerator.h"
#include "import/deliveryimporter.h"
#include "import/mtotestrows.h"
#include "store/storeerror.h"
#include "support/teststore.h"

#include <gtest/gtest.h>
#include <QSet>
#include <cmath>

using namespace marketgen;
using namespace import;

namespace {

GeneratorOptions smallMarket(quint64 seed)
{
    GeneratorOptions options;
    options.seed = seed;
    options.scripCount = 60;
    options.firstDay = QDate(2024, 3, 1);  // a Friday
    return options;
}

}  // namespace

TEST(MarketGenerator, SameSeedSameMarketWithPlausibleFiguresAndWalkingPrices)
{
    MarketGenerator generator(smallMarket(9)), same(smallMarket(9)), other(smallMarket(10));
    std::vector<double> lastClose(60, 0.0);
    int moved = 0;
    QDate previous;
    for (int d = 0; d < 30; ++d) {
        const MarketDay day = generator.nextDay(), sameDay = same.nextDay(), otherDay = other.nextDay();
        if (d < 3) {
            EXPECT_EQ(generator.deliveryFile(day), same.deliveryFile(sameDay));
            EXPECT_NE(generator.deliveryFile(day), other.deliveryFile(otherDay));
        }
        EXPECT_LE(day.day.dayOfWeek(), 5);
        EXPECT_TRUE(!previous.isValid() || day.day > previous);
        previous = day.day;
        for (const ScripDay& s : day.scrips) {
            const auto& f = s.figures;
            // A scrip off the BSE leaves every BSE field empty.
            EXPECT_TRUE(!generator.scrips()[s.scripIndex].bseCode.isEmpty() || (s.emptyFigures & 0xAAu) == 0xAAu);
            for (int q : {NSETrdQty, BSETrdQty}) {
                const int dely = q + 2, perc = q + 4, close = q + 6;
                EXPECT_GE(f[dely], 0);
                EXPECT_LE(f[dely], f[q]);
                EXPECT_NEAR(f[perc], f[q] > 0 ? f[dely] * 100.0 / f[q] : 0, 0.005);
                if (f[q] > 0) {
                    EXPECT_GT(f[close], 0);
                    EXPECT_EQ(std::round(f[close] * 20) / 20, f[close]);  // ticks of 0.05
                }
            }
            double& last = lastClose[static_cast<size_t>(s.scripIndex)];
            if (f[NSEClPrice] > 0 && last > 0) {
                EXPECT_LT(std::abs(std::log(f[NSEClPrice] / last)), 0.5);
                moved += f[NSEClPrice] != last ? 1 : 0;
            }
            last = f[NSEClPrice] > 0 ? f[NSEClPrice] : last;
        }
    }
    EXPECT_GT(moved, 1000);
    for (qsizetype i = 0; i < generator.scrips().size(); ++i)
        EXPECT_EQ(generator.scrips()[i].nseSymbol, same.scrips()[i].nseSymbol);
}

TEST(MarketGenerator, ScripMasterHasUniqueCodesAndSomeScripsOffBse)
{
    TestStore store;
    MarketGenerator(smallMarket(3)).writeScripMaster(store.db());
    const auto rows = store.db().query("SELECT srno, company, nsescrip, bsescrip FROM ScripMaster ORDER BY srno");
    ASSERT_EQ(rows.size(), 60);
    QSet<QString> symbols;
    int withoutBse = 0;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows.rows[i][0].toLongLong(), i + 1);
        EXPECT_FALSE(rows.rows[i][1].toString().isEmpty());
        EXPECT_FALSE(rows.rows[i][2].toString().contains(QLatin1Char(',')));
        symbols.insert(rows.rows[i][2].toString());
        withoutBse += rows.rows[i][3].toString().isEmpty() ? 1 : 0;
    }
    EXPECT_EQ(symbols.size(), 60);
    EXPECT_GT(withoutBse, 0);
    EXPECT_LT(withoutBse, 30);
}

TEST(MarketGenerator, FillingTheStoreGivesTheRowsThatImportingTheFilesGives)
{
    TestStore imported, filled;
    MarketGenerator files(smallMarket(21)), direct(smallMarket(21));
    QList<QVariantList> expected;
    for (int d = 0; d < 4; ++d) {
        const MarketDay day = files.nextDay();
        expected += expectedMtoRows(files, day);
        const auto outcome =
            DeliveryImporter(imported.db()).importFile(files.writeDeliveryFile(imported.folder(), day));
        ASSERT_TRUE(outcome.imported()) << outcome.message.toStdString();
    }
    QList<int> progress;
    EXPECT_EQ(direct.fillMto(filled.db(), 4, [&](int done, int) { progress.append(done); }), 240);
    EXPECT_EQ(progress, QList<int>({1, 2, 3, 4}));
    EXPECT_EQ(firstDifference(storedMtoRows(imported.db()), expected), QString());
    EXPECT_EQ(firstDifference(storedMtoRows(filled.db()), expected), QString());
    EXPECT_EQ(MarketGenerator::tradingDays(QDate(2024, 3, 1), 4),
              QList<QDate>({QDate(2024, 3, 1), QDate(2024, 3, 4), QDate(2024, 3, 5), QDate(2024, 3, 6)}));
}

TEST(MarketGenerator, ABigFillKeepsTheIndexesOfMto)
{
    TestStore store;
    const QString indexSql =
        "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = 'mto' ORDER BY name";
    const auto before = store.db().query(indexSql).rows;
    ASSERT_EQ(before.size(), 2);
    GeneratorOptions options = smallMarket(4);
    options.scripCount = 2000;
    EXPECT_EQ(MarketGenerator(options).fillMto(store.db(), 100), 200000);
    EXPECT_EQ(store.db().query(indexSql).rows, before);
    EXPECT_EQ(store.db().scalar("SELECT count(*) FROM mto").toInt(), 200000);
    // The unique (day, scrip) index still refuses a second row of a scrip's day.
    EXPECT_THROW(store.db().exec("INSERT INTO mto (TransDate, scriptcode) VALUES ('2024-03-01', 1)"),
                 store::StoreError);
}
