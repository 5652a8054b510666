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
    // The values of the blank-separated `columns` in row `row`, as texts.
    static QStringList values(const store::Rows& rows, int row, const QString& columns)
    {
        QStringList texts;
        for (const QString& column : columns.split(' '))
            texts << (rows.value(row, column).isNull() ? "null" : rows.value(row, column).toString());
        return texts;
    }

    TestStore store;
};

TEST_F(PortfolioValuationTest, SummaryValuesEachHoldingAtTheDaysClose)
{
    const store::Rows summary = rows(ValuationKind::Summary);
    ASSERT_EQ(summary.size(), 4);  // the portfolio 9 that does not exist is left out
    const QString columns = "Name Company NetQty PurAmt SalesAmt NetPurchase CurrPrice NetValue Gainloss";
    const QList<QStringList> expected = {
        // Axis Bank: bought 10 @ 200 and 5 @ 190, sold 4 @ 220; priced at the BSE close 210.50.
        {"Growth", "Axis Bank", "11", "2950", "880", "2070", "210.5", "2315.5", "245.5"},
        // Bharat Forge: sold in full; the gain is sales less purchases.
        {"Growth", "Bharat Forge", "0", "5000", "6000", "-1000", "55.12", "0", "1000"},
        // A "B" row, as single entries once stored it, is a purchase.
        {"Income", "Axis Bank", "3", "300", "0", "300", "210.5", "631.5", "331.5"},
        // Coal India: no price that day, so no value and no gain.
        {"Income", "Coal India", "7", "210", "0", "210", "null", "null", "null"},
    };
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(values(summary, row, columns), expected[row]) << row;

    const store::Rows one = rows(ValuationKind::Summary, 1, 2);
    ASSERT_EQ(one.size(), 1);
    EXPECT_EQ(one.value(0, "Company"), "Bharat Forge");

    // The detail lists each transaction with the day's price.
    const store::Rows detail = rows(ValuationKind::Detail, 1, 1);
    ASSERT_EQ(detail.size(), 3);
    EXPECT_EQ(detail.value(0, "tdt").toDate(), QDate(2026, 3, 1));
    EXPECT_EQ(values(detail, 0, "PurQty SellQty"), (QStringList{"10", "0"}));
    EXPECT_EQ(values(detail, 2, "SellQty SalesAmt PurAmt CurrPrice"), (QStringList{"4", "880", "0", "210.5"}));
    EXPECT_EQ(tradingDays(store.db()), (QList<QDate>{QDate(2026, 3, 10), QDate(2026, 3, 9)}));
}

TEST_F(PortfolioValuationTest, SectorWiseCountsOnlyNumericGroupsAndBanks)
{
    const store::Rows sectors = rows(ValuationKind::SectorWise);
    ASSERT_EQ(sectors.size(), 3);  // Coal India belongs to no sector
    EXPECT_EQ(values(sectors, 0, "GroupName Gainloss"), (QStringList{"Banks", "245.5"}));
    EXPECT_EQ(values(sectors, 1, "GroupName srno"), (QStringList{"Metals", "2"}));
    EXPECT_EQ(sectors.value(2, "Name"), "Income");
    // A portfolio and a scrip together narrow the sectors to both.
    const store::Rows narrowed = rows(ValuationKind::SectorWise, 2, 1);
    ASSERT_EQ(narrowed.size(), 1);
    EXPECT_EQ(narrowed.value(0, "Name"), "Income");
    EXPECT_TRUE(isSectorGroup(" 12 "));
    EXPECT_TRUE(isSectorGroup("banks"));
    EXPECT_FALSE(isSectorGroup("BSE100"));
}

TEST_F(PortfolioValuationTest, TheLayoutsPrintTheirHeadingsAndFiguresAndSectorsAddUp)
{
    const reports::ReportDocument document =
        reports::buildPortfolioReport(reports::PortfolioLayout::PortfolioSummary, rows(ValuationKind::Summary),
                                      QDate(2026, 3, 10), QDate(2026, 3, 11));
    EXPECT_EQ(document.windowCaption, "Portfolio / Script Details");
    EXPECT_EQ(document.titleLines, QStringList{"Portfolio Details"});
    QStringList headings;
    for (const reports::ReportColumn& column : document.columns)
        headings.append(column.heading);
    EXPECT_EQ(headings, (QStringList{"Portfolio", "Company", "Total Purchase Value", "Total Sales Value", "NetQty",
                                     "Net Purchase Value", "Curr Price", "Net Market Value", "Gain / Loss"}));
    ASSERT_EQ(document.rows.size(), 4);
    EXPECT_EQ(document.rows[0],
              (QStringList{"Growth", "Axis Bank", "2,950", "880", "11", "2,070", "210.5", "2,315.5", "245.5"}));
    EXPECT_EQ(document.rows[3].at(8), QString());

    const reports::ReportDocument sector = reports::buildPortfolioReport(
        reports::PortfolioLayout::Sector, rows(ValuationKind::SectorWise), QDate(2026, 3, 10), QDate(2026, 3, 11));
    EXPECT_EQ(sector.windowCaption, "Portfoilo Details - Sector Wise");
    EXPECT_EQ(sector.rows[1].at(1), "Metals");

    store::Rows values;
    values.columns = {{"GroupName", store::ColumnKind::Text}, {"NetValue", store::ColumnKind::Real}};
    values.rows = {{"Metals", 100.5}, {"banks", 20.0}, {"Metals", QVariant()}, {"Metals", -30.0}};
    const QList<reports::SectorValue> sums = reports::sectorValues(values);
    ASSERT_EQ(sums.size(), 2);
    EXPECT_EQ(sums[0].sector, "banks");
    EXPECT_DOUBLE_EQ(sums[0].value, 20.0);
    EXPECT_DOUBLE_EQ(sums[1].value, 70.5);
}

}  // namespace
