// Entries of transactions: the check, the amount, numbering, replacing,
// deleting and the all-or-nothing save.
#include "portfolio/transactions.h"
#include "portfoliofixture.h"
#include "store/storeerror.h"
#include "support/teststore.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace portfolio;

namespace {

TransactionLine buy(const QString& qty, const QString& rate, const QString& date = QStringLiteral("05/Dec/2026"))
{
    TransactionLine line;
    line.portfolio = QStringLiteral("Growth");
    line.portfolioCode = QStringLiteral("1");
    line.company = QStringLiteral("Axis Bank");
    line.scripCode = QStringLiteral("4");
    line.date = date;
    line.buySell = QStringLiteral("Buy");
    line.qty = qty;
    line.rate = rate;
    line.amt = lineAmount(qty, rate).value_or(QString());
    return line;
}

TEST(TransactionCheck, NamesTheFirstFaultAndItsRow)
{
    EXPECT_EQ(checkLines({}), QStringLiteral("Please Enter Record In Grid"));
    EXPECT_EQ(checkLines({TransactionLine{}, TransactionLine{}}), QStringLiteral("Please Enter Record In Grid"));
    EXPECT_FALSE(checkLines({buy(QStringLiteral("10"), QStringLiteral("5")), TransactionLine{}}));

    TransactionLine noCompany = buy(QStringLiteral("10"), QStringLiteral("5"));
    noCompany.company.clear();
    EXPECT_EQ(checkLines({buy(QStringLiteral("1"), QStringLiteral("1")), noCompany}),
              QStringLiteral("Please Select Company on Row : 2"));
    EXPECT_EQ(checkLines({TransactionLine{}, buy(QStringLiteral("1"), QStringLiteral("1"))}),
              QStringLiteral("Please Select Portfolio Name on Row : 1"));
    TransactionLine noSide = buy(QStringLiteral("1"), QStringLiteral("1"));
    noSide.buySell.clear();
    EXPECT_EQ(checkLines({noSide}), QStringLiteral("Please Select Buy /  Sell on Row : 1"));
    EXPECT_EQ(checkLines({buy(QStringLiteral("0"), QStringLiteral("5"))}), QStringLiteral("Please Enter Qty on Row : 1"));
    EXPECT_EQ(checkLines({buy(QStringLiteral("3"), QString())}), QStringLiteral("Please Enter Rate on Row : 1"));
}

TEST(TransactionAmount, QuantityTimesSinglePrecisionRateToTwoPlaces)
{
    EXPECT_EQ(lineAmount(QStringLiteral("3"), QStringLiteral("10.5")), QStringLiteral("31.5"));
    // 12345.67 held at single precision is 12345.669921875.
    EXPECT_EQ(lineAmount(QStringLiteral("1000"), QStringLiteral("12345.67")), QStringLiteral("12345669.92"));
    // The quantity is a whole number, halves to even.
    EXPECT_EQ(lineAmount(QStringLiteral("2.5"), QStringLiteral("10")), QStringLiteral("20"));
    EXPECT_FALSE(lineAmount(QStringLiteral("0"), QStringLiteral("10")));
    EXPECT_FALSE(lineAmount(QStringLiteral("5"), QStringLiteral("abc")));
}

class EntryStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pf::addPortfolio(db(), QStringLiteral("Growth"));
        for (const char* company : {"Bharat Forge", "Asian Paints", "Apollo Tyres", "Axis Bank"})
            pf::addScrip(db(), QString::fromLatin1(company));
    }
    store::Database& db() { return store.db(); }
    TestStore store;
};

TEST_F(EntryStoreTest, NewEntriesTakeTheHighestNumberPlusOne)
{
    EXPECT_EQ(saveEntry(db(), {buy(QStringLiteral("10"), QStringLiteral("5"))}, std::nullopt), 1);
    EXPECT_EQ(saveEntry(db(), {buy(QStringLiteral("1"), QStringLiteral("2")), buy(QStringLiteral("3"), QStringLiteral("4"))},
                        std::nullopt),
              2);
    deleteEntry(db(), 1);
    EXPECT_EQ(saveEntry(db(), {buy(QStringLiteral("7"), QStringLiteral("7"))}, std::nullopt), 3);
    deleteEntry(db(), 3);
    EXPECT_EQ(saveEntry(db(), {buy(QStringLiteral("7"), QStringLiteral("7"))}, std::nullopt), 3);

    const QList<TransactionLine> loaded = loadEntry(db(), 2);
    ASSERT_EQ(loaded.size(), 2);
    EXPECT_EQ(loaded[1].portfolio, QStringLiteral("Growth"));
    EXPECT_EQ(loaded[1].company, QStringLiteral("Axis Bank"));
    EXPECT_EQ(loaded[1].date, QStringLiteral("05/Dec/2026"));
    EXPECT_EQ(loaded[1].qty, QStringLiteral("3"));
    EXPECT_EQ(loaded[1].amt, QStringLiteral("12"));
    EXPECT_EQ(loaded[1].srno, QStringLiteral("2"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT tdt FROM PortfolioManager WHERE code = 2 AND srno = 1")).toDate(),
              QDate(2026, 12, 5));
}

TEST_F(EntryStoreTest, ReplacingRewritesTheEntryRowsUnderItsNumber)
{
    const qint64 code = saveEntry(db(), {buy(QStringLiteral("1"), QStringLiteral("1")), buy(QStringLiteral("2"), QStringLiteral("2")),
                                         buy(QStringLiteral("3"), QStringLiteral("3"))},
                                  std::nullopt);
    saveEntry(db(), {buy(QStringLiteral("9"), QStringLiteral("9"))}, std::nullopt);
    EXPECT_EQ(saveEntry(db(), {buy(QStringLiteral("3"), QStringLiteral("3")), buy(QStringLiteral("5"), QStringLiteral("5"))}, code),
              code);
    const QList<TransactionLine> loaded = loadEntry(db(), code);
    ASSERT_EQ(loaded.size(), 2);
    EXPECT_EQ(loaded[0].qty, QStringLiteral("3"));
    EXPECT_EQ(loaded[1].qty, QStringLiteral("5"));
    EXPECT_EQ(loaded[1].srno, QStringLiteral("2"));
    EXPECT_EQ(pf::count(db(), QStringLiteral("PortfolioManager")), 3);

    deleteEntryLine(db(), code, 1);
    EXPECT_EQ(loadEntry(db(), code).size(), 1);
}

TEST_F(EntryStoreTest, AFailingRowLeavesTheEntryAsItWas)
{
    const qint64 code = saveEntry(db(), {buy(QStringLiteral("1"), QStringLiteral("1")), buy(QStringLiteral("2"), QStringLiteral("2"))},
                                  std::nullopt);
    db().exec(QStringLiteral("CREATE TRIGGER refuse_big BEFORE INSERT ON PortfolioManager WHEN NEW.qty > 100 "
                             "BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END"));
    EXPECT_THROW(saveEntry(db(), {buy(QStringLiteral("5"), QStringLiteral("5")), buy(QStringLiteral("500"), QStringLiteral("5"))}, code),
                 store::StoreError);
    const QList<TransactionLine> kept = loadEntry(db(), code);
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(kept[0].qty, QStringLiteral("1"));
    EXPECT_EQ(kept[1].qty, QStringLiteral("2"));

    // A date that is no day stops the save before anything is written.
    EXPECT_THROW(saveEntry(db(), {buy(QStringLiteral("5"), QStringLiteral("5"), QStringLiteral("31/Feb/2026"))}, code),
                 std::invalid_argument);
    EXPECT_EQ(loadEntry(db(), code).size(), 2);
    EXPECT_EQ(pf::count(db(), QStringLiteral("PortfolioManager")), 2);
}

}  // namespace
