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

TransactionLine buy(const QString& qty, const QString& rate, const QString& date = "05/Dec/2026")
{
    return {"Growth", "1", "Axis Bank", "4", date, "Buy", qty, rate, lineAmount(qty, rate).value_or(QString()), {}};
}

TEST(TransactionCheck, NamesTheFirstFaultAndItsRowAndTheAmount)
{
    TransactionLine noCompany = buy("10", "5"), noSide = buy("1", "1");
    noCompany.company.clear();
    noSide.buySell.clear();
    const struct {
        QList<TransactionLine> lines;
        const char* problem;
    } cases[] = {
        {{}, "Please Enter Record In Grid"},
        {{TransactionLine{}, TransactionLine{}}, "Please Enter Record In Grid"},
        {{buy("10", "5"), TransactionLine{}}, "<none>"},
        {{buy("1", "1"), noCompany}, "Please Select Company on Row : 2"},
        {{TransactionLine{}, buy("1", "1")}, "Please Select Portfolio Name on Row : 1"},
        {{noSide}, "Please Select Buy /  Sell on Row : 1"},
        {{buy("0", "5")}, "Please Enter Qty on Row : 1"},
        {{buy("3", "")}, "Please Enter Rate on Row : 1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(checkLines(c.lines).value_or("<none>"), c.problem);

    // Quantity (a whole number, halves to even) times the single precision
    // rate (12345.67 is 12345.669921875), to two places.
    const char* amounts[][3] = {{"3", "10.5", "31.5"}, {"1000", "12345.67", "12345669.92"}, {"2.5", "10", "20"},
                                {"0", "10", "<none>"}, {"5", "abc", "<none>"}};
    for (const auto& a : amounts)
        EXPECT_EQ(lineAmount(a[0], a[1]).value_or("<none>"), a[2]) << a[0] << " x " << a[1];
}

class EntryStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pf::addPortfolio(db(), "Growth");
        for (const char* company : {"Bharat Forge", "Asian Paints", "Apollo Tyres", "Axis Bank"})
            pf::addScrip(db(), company);
    }
    store::Database& db() { return store.db(); }
    QStringList quantities(qint64 code)
    {
        QStringList qty;
        for (const TransactionLine& line : loadEntry(db(), code))
            qty << line.srno + ":" + line.qty;
        return qty;
    }
    TestStore store;
};

TEST_F(EntryStoreTest, EntriesAreNumberedReplacedAndSavedAllOrNothing)
{
    EXPECT_EQ(saveEntry(db(), {buy("10", "5")}, std::nullopt), 1);
    EXPECT_EQ(saveEntry(db(), {buy("1", "2"), buy("3", "4"), buy("9", "9")}, std::nullopt), 2);
    deleteEntry(db(), 1);
    EXPECT_EQ(saveEntry(db(), {buy("7", "7")}, std::nullopt), 3);
    deleteEntry(db(), 3);
    EXPECT_EQ(saveEntry(db(), {buy("7", "7")}, std::nullopt), 3);

    const QList<TransactionLine> loaded = loadEntry(db(), 2);
    ASSERT_EQ(loaded.size(), 3);
    const TransactionLine& l = loaded[1];
    EXPECT_EQ((QStringList{l.portfolio, l.company, l.date, l.qty, l.amt, l.srno}),
              (QStringList{"Growth", "Axis Bank", "05/Dec/2026", "3", "12", "2"}));
    EXPECT_EQ(db().scalar("SELECT tdt FROM PortfolioManager WHERE code = 2 AND srno = 1").toDate(), QDate(2026, 12, 5));

    // Replacing rewrites the entry's rows under its number, fewer of them.
    EXPECT_EQ(saveEntry(db(), {buy("3", "3"), buy("5", "5")}, 2), 2);
    EXPECT_EQ(quantities(2), (QStringList{"1:3", "2:5"}));
    EXPECT_EQ(pf::count(db(), "PortfolioManager"), 3);
    deleteEntryLine(db(), 2, 1);
    EXPECT_EQ(quantities(2), QStringList{"2:5"});

    // A failing row leaves the entry as it was.
    const qint64 code = saveEntry(db(), {buy("1", "1"), buy("2", "2")}, std::nullopt);
    db().exec("CREATE TRIGGER refuse_big BEFORE INSERT ON PortfolioManager WHEN NEW.qty > 100 "
              "BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END");
    EXPECT_THROW(saveEntry(db(), {buy("5", "5"), buy("500", "5")}, code), store::StoreError);
    EXPECT_EQ(quantities(code), (QStringList{"1:1", "2:2"}));
    // A date that is no day stops the save before anything is written.
    EXPECT_THROW(saveEntry(db(), {buy("5", "5", "31/Feb/2026")}, code), std::invalid_argument);
    EXPECT_EQ(pf::count(db(), "PortfolioManager"), 4);
}

}  // namespace
