#include "query/runstate.h"
#include "scanfixture.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RunStatus;
using F = ScanFixture;

namespace {

const int kKelvarnGroup = 8;

class RateChange : public ::testing::Test {
protected:
    void SetUp() override
    {
        jump = addCloses("Jump Ltd", "JUMP", {{F::D4, 100}, {F::D3, 100}, {F::D2, 110}, {F::D1, 112}});
        addCloses("Drop Ltd", "DROP", {{F::D2, 100}, {F::D1, 94}});
        addCloses("Five Ltd", "FIVE", {{F::D2, 100}, {F::D1, 105}});
        // Listed on BSE only: its close is the BSE one and it has no NSE symbol.
        fixture.addScrip("Bse Only Ltd", "", "500009",
                         {{F::D3, 0, 0, 0, 0, 10, 5, 50, 100}, {F::D2, 0, 0, 0, 0, 10, 5, 50, 120},
                          {F::D1, 0, 0, 0, 0, 10, 5, 50, 121}});
    }

    qint64 addCloses(const char* company, const char* symbol, const QList<std::pair<QDate, double>>& closes)
    {
        QList<F::Day> days;
        for (const auto& [day, close] : closes)
            days.append({day, 1000, 400, 40, close});
        return fixture.addScrip(company, symbol, "", days);
    }

    query::RunInputs inputs(const QString& days)
    {
        return F::inputs(kKelvarnGroup, "Rate Change", F::D1, Exchange::Nse, days);
    }

    F fixture;
    qint64 jump = 0;
};

TEST_F(RateChange, ListsMovesOfMoreThanFivePerCentPassByPass)
{
    const auto outcome = fixture.run(inputs("2"));
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Company"), QStringList({"Drop Ltd", "Bse Only Ltd", "Jump Ltd"}));
    EXPECT_EQ(columnDates(outcome, "a_transdate"), QList<QDate>({F::D1, F::D2, F::D2}));
    EXPECT_EQ(columnDates(outcome, "b_transdate"), QList<QDate>({F::D2, F::D3, F::D3}));
    EXPECT_EQ(numbers(outcome, "Rate"), QList<double>({94, 120, 110}));
    EXPECT_EQ(numbers(outcome, "PrevRate"), QList<double>({100, 100, 100}));
    EXPECT_EQ(numbers(outcome, "% Rate Chg"), QList<double>({-6, 20, 10}));
    EXPECT_EQ(numbers(outcome, "Volume"), QList<double>({1000, 10, 1000}));
    EXPECT_EQ(numbers(outcome, "% Vol Chg"), QList<double>({0, 0, 0}));
    // The closes after the later day, looked up by scrip number: the BSE-only
    // scrip has its BSE close; none follow the newest day.
    EXPECT_EQ(numbers(outcome, "day1"), QList<double>({0.01, 121, 112}));
    EXPECT_EQ(numbers(outcome, "day2"), QList<double>({0.01, 0.01, 0.01}));
    EXPECT_EQ(outcome.state.secondDate, F::D3);
}

TEST_F(RateChange, OnlyTheGroupsScripsAndOnlyEnoughDays)
{
    fixture.link("JMP", jump);
    auto in = inputs("3");
    in.groupCode = "JMP";
    const auto outcome = fixture.run(in);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message.toStdString();
    EXPECT_EQ(texts(outcome, "Company"), QStringList({"Jump Ltd"}));
    EXPECT_EQ(numbers(outcome, "day1"), QList<double>({112}));

    EXPECT_EQ(fixture.run(inputs("4")).message, query::refusals::tooFewTradingDays(F::D1));
}

}  // namespace
