// The portfolio valuation at one day's prices, checked against figures
// worked out by hand, and its printed layouts.
#include "portfolio/valuation.h"
#include "reports/portfolioreport.h"
#include "support/teststore.h"

#include <gtest/gtest.h>

using namespace portfolio;

namespace {

class PortfolioValuationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        exec("INSERT INTO PortfolioMaster (Code, Name) VALUES (1, 'Growth'), (2, 'Income')");
        exec("INSERT INTO ScripMaster (srno, company) VALUES (1, 'Axis Bank'), (2, 'Bharat Forge'), (3, 'Coal India')");
        exec("INSERT INTO GroupMaster (GroupCode, GroupName) VALUES ('BANKS', 'Banks'), ('7', 'Metals'), ('NIFTY', 'Nifty')");
        exec("INSERT INTO LinkDetails (GrpCode, ScrCode) VALUES ('BANKS', 1), ('NIFTY', 1), ('7', 2), ('NIFTY', 3)");
        // Axis has no NSE close that day and takes the BSE one; 55.125 rounds to even.
        exec("INSERT INTO mto (TransDate, scriptcode, NSEClPrice, BSEClPrice) VALUES "
             "('2026-03-10', 1, 0, 210.5), ('2026-03-10', 2, 55.125, 54), ('2026-03-09', 1, 300, 300), "
             "('2026-03-09', 3, 40, 40)");
        exec("INSERT INTO PortfolioManager (code, srno, Portfoliocd, ScriptCode, tdt, BuySell, qty, rate, amt) VALUES "
             "(1, 1, 1, 1, '2026-03-01', 'Buy', 10, 200, 2000), (1, 2, 1, 1, '2026-03-02', 'Buy', 5, 190, 950), "
             "(1, 3, 1, 1, '2026-03-05', 'Sell', 4, 220, 880), (2, 1, 1, 2, '2026-03-01', 'Buy', 100, 50, 5000), "
             "(2, 2, 1, 2, '2026-03-06', 'Sell', 100, 60, 6000), (3, 1, 2, 3, '2026-03-03', 'Buy', 7, 30, 210), "
             "(4, 1, 2, 1, '2026-03-03', 'B', 3, 100, 300), (5, 1, 9, 1, '2026-03-03', 'Buy', 1, 1, 1)");
    }
    void exec(const char* sql) { store.db().exec(QString::fromLatin1(sql)); }
    store::Rows rows(ValuationKind kind, std::optional<qint64> portfolioCode = {}, std::optional<qint64> scripCode = {})
    {
        ValuationRequest request;
        request.kind = kind;
        request.day = QDate(2026, 3, 10);
        request.portfolioCode = portfolioCode;
        request.scripCode = scripCode;
        return valuationRows(store.db(), request);
    }
    static QVariant at(const store::Rows& rows, int row, const char* column)
    {
        return rows.value(row, QString::fromLatin1(column));
    }

    TestStore store;
};

TEST_F(PortfolioValuationTest, SummaryValuesEachHoldingAtTheDaysClose)
{
    const store::Rows summary = rows(ValuationKind::Summary);
    ASSERT_EQ(summary.size(), 4);  // the portfolio 9 that does not exist is left out

    // Growth, Axis Bank: bought 10 @ 200 and 5 @ 190, sold 4 @ 220; priced at the BSE close 210.50.
    EXPECT_EQ(at(summary, 0, "Company").toString(), QStringLiteral("Axis Bank"));
    EXPECT_DOUBLE_EQ(at(summary, 0, "NetQty").toDouble(), 11);
    EXPECT_DOUBLE_EQ(at(summary, 0, "PurAmt").toDouble(), 2950);
    EXPECT_DOUBLE_EQ(at(summary, 0, "SalesAmt").toDouble(), 880);
    EXPECT_DOUBLE_EQ(at(summary, 0, "NetPurchase").toDouble(), 2070);
    EXPECT_DOUBLE_EQ(at(summary, 0, "CurrPrice").toDouble(), 210.5);
    EXPECT_DOUBLE_EQ(at(summary, 0, "NetValue").toDouble(), 2315.5);
    EXPECT_DOUBLE_EQ(at(summary, 0, "Gainloss").toDouble(), 245.5);

    // Growth, Bharat Forge: sold in full; the gain is sales less purchases.
    EXPECT_DOUBLE_EQ(at(summary, 1, "NetQty").toDouble(), 0);
    EXPECT_DOUBLE_EQ(at(summary, 1, "CurrPrice").toDouble(), 55.12);
    EXPECT_DOUBLE_EQ(at(summary, 1, "NetValue").toDouble(), 0);
    EXPECT_DOUBLE_EQ(at(summary, 1, "Gainloss").toDouble(), 1000);

    // Income, Axis Bank: a "B" row, as single entries once stored it, is a purchase.
    EXPECT_EQ(at(summary, 2, "Name").toString(), QStringLiteral("Income"));
    EXPECT_DOUBLE_EQ(at(summary, 2, "PurAmt").toDouble(), 300);
    EXPECT_DOUBLE_EQ(at(summary, 2, "Gainloss").toDouble(), 331.5);

    // Income, Coal India: no price that day, so no value and no gain.
    EXPECT_EQ(at(summary, 3, "Company").toString(), QStringLiteral("Coal India"));
    EXPECT_DOUBLE_EQ(at(summary, 3, "PurAmt").toDouble(), 210);
    EXPECT_TRUE(at(summary, 3, "CurrPrice").isNull());
    EXPECT_TRUE(at(summary, 3, "NetValue").isNull());
    EXPECT_TRUE(at(summary, 3, "Gainloss").isNull());

    const store::Rows one = rows(ValuationKind::Summary, 1, 2);
    ASSERT_EQ(one.size(), 1);
    EXPECT_EQ(at(one, 0, "Company").toString(), QStringLiteral("Bharat Forge"));
}

TEST_F(PortfolioValuationTest, DetailListsEachTransactionWithTheDaysPrice)
{
    const store::Rows detail = rows(ValuationKind::Detail, 1, 1);
    ASSERT_EQ(detail.size(), 3);
    EXPECT_EQ(at(detail, 0, "tdt").toDate(), QDate(2026, 3, 1));
    EXPECT_DOUBLE_EQ(at(detail, 0, "PurQty").toDouble(), 10);
    EXPECT_DOUBLE_EQ(at(detail, 0, "SellQty").toDouble(), 0);
    EXPECT_DOUBLE_EQ(at(detail, 2, "SellQty").toDouble(), 4);
    EXPECT_DOUBLE_EQ(at(detail, 2, "SalesAmt").toDouble(), 880);
    EXPECT_DOUBLE_EQ(at(detail, 2, "PurAmt").toDouble(), 0);
    EXPECT_DOUBLE_EQ(at(detail, 2, "CurrPrice").toDouble(), 210.5);
}

TEST_F(PortfolioValuationTest, SectorWiseCountsOnlyNumericGroupsAndBanks)
{
    const store::Rows sectors = rows(ValuationKind::SectorWise);
    ASSERT_EQ(sectors.size(), 3);  // Coal India belongs to no sector
    EXPECT_EQ(at(sectors, 0, "GroupName").toString(), QStringLiteral("Banks"));
    EXPECT_DOUBLE_EQ(at(sectors, 0, "Gainloss").toDouble(), 245.5);
    EXPECT_EQ(at(sectors, 1, "GroupName").toString(), QStringLiteral("Metals"));
    EXPECT_EQ(at(sectors, 1, "srno").toInt(), 2);
    EXPECT_EQ(at(sectors, 2, "Name").toString(), QStringLiteral("Income"));

    // A portfolio and a scrip together narrow the sectors to both.
    const store::Rows narrowed = rows(ValuationKind::SectorWise, 2, 1);
    ASSERT_EQ(narrowed.size(), 1);
    EXPECT_EQ(at(narrowed, 0, "Name").toString(), QStringLiteral("Income"));

    EXPECT_TRUE(isSectorGroup(QStringLiteral(" 12 ")));
    EXPECT_TRUE(isSectorGroup(QStringLiteral("banks")));
    EXPECT_FALSE(isSectorGroup(QStringLiteral("BSE100")));
}

TEST_F(PortfolioValuationTest, TradingDaysComeNewestFirst)
{
    EXPECT_EQ(tradingDays(store.db()), (QList<QDate>{QDate(2026, 3, 10), QDate(2026, 3, 9)}));
}

TEST_F(PortfolioValuationTest, TheSummaryLayoutPrintsItsHeadingsAndFigures)
{
    const reports::ReportDocument document = reports::buildPortfolioReport(
        reports::PortfolioLayout::PortfolioSummary, rows(ValuationKind::Summary), QDate(2026, 3, 10), QDate(2026, 3, 11));
    EXPECT_EQ(document.windowCaption, QStringLiteral("Portfolio / Script Details"));
    EXPECT_EQ(document.titleLines, QStringList{QStringLiteral("Portfolio Details")});
    QStringList headings;
    for (const reports::ReportColumn& column : document.columns)
        headings.append(column.heading);
    EXPECT_EQ(headings, (QStringList{QStringLiteral("Portfolio"), QStringLiteral("Company"),
                                     QStringLiteral("Total Purchase Value"), QStringLiteral("Total Sales Value"),
                                     QStringLiteral("NetQty"), QStringLiteral("Net Purchase Value"),
                                     QStringLiteral("Curr Price"), QStringLiteral("Net Market Value"),
                                     QStringLiteral("Gain / Loss")}));
    ASSERT_EQ(document.rows.size(), 4);
    EXPECT_EQ(document.rows[0], (QStringList{QStringLiteral("Growth"), QStringLiteral("Axis Bank"), QStringLiteral("2,950"),
                                             QStringLiteral("880"), QStringLiteral("11"), QStringLiteral("2,070"),
                                             QStringLiteral("210.5"), QStringLiteral("2,315.5"), QStringLiteral("245.5")}));
    EXPECT_EQ(document.rows[3].at(8), QString());

    const reports::ReportDocument sector = reports::buildPortfolioReport(
        reports::PortfolioLayout::Sector, rows(ValuationKind::SectorWise), QDate(2026, 3, 10), QDate(2026, 3, 11));
    EXPECT_EQ(sector.windowCaption, QStringLiteral("Portfoilo Details - Sector Wise"));
    EXPECT_EQ(sector.rows[1].at(1), QStringLiteral("Metals"));
}

TEST(SectorValues, AddUpEachSectorsNetValue)
{
    store::Rows rows;
    rows.columns = {{QStringLiteral("GroupName"), store::ColumnKind::Text}, {QStringLiteral("NetValue"), store::ColumnKind::Real}};
    rows.rows = {{QStringLiteral("Metals"), 100.5}, {QStringLiteral("banks"), 20.0}, {QStringLiteral("Metals"), QVariant()},
                 {QStringLiteral("Metals"), -30.0}};
    const QList<reports::SectorValue> sectors = reports::sectorValues(rows);
    ASSERT_EQ(sectors.size(), 2);
    EXPECT_EQ(sectors[0].sector, QStringLiteral("banks"));
    EXPECT_DOUBLE_EQ(sectors[0].value, 20.0);
    EXPECT_DOUBLE_EQ(sectors[1].value, 70.5);
}

}  // namespace
