#include "marketfixture.h"

#include "query/catalogue.h"

#include <gtest/gtest.h>

using query::Exchange;
using query::RunStatus;
using F = MarketFixture;

namespace {

TEST(Catalogue, NineGroupsWithTheirListsInOrder)
{
    const auto& groups = query::queryGroups();
    ASSERT_EQ(groups.size(), 9);
    QList<int> sizes;
    for (const auto& group : groups)
        sizes.append(static_cast<int>(group.labels.size()));
    EXPECT_EQ(sizes, (QList<int>{8, 16, 8, 8, 6, 20, 14, 32, 8}));
    EXPECT_EQ(query::queryGroup(4).caption, "Top && Bottom Queries");
    EXPECT_EQ(query::queryGroup(1).labels.first(), "Average Traded Quantity [Between Dates]");
    // The combined scans decode their conditions from these positions.
    EXPECT_EQ(query::labelPosition(6, "Falling price & Falling % Delivery Quantity"), 15);
    EXPECT_EQ(query::labelPosition(6, "Rising Traded Qty, Rising Delivery Qty, Falling Price"), 17);
    EXPECT_EQ(query::labelPosition(9, "Delivery breakout with upward price (Avg)"), 4);
    EXPECT_EQ(query::labelPosition(8, "Delivery breakout with upward price (Avg)"), 2);
    EXPECT_EQ(query::labelPosition(5, "Top N Traded Quantity"), -1);
    EXPECT_EQ(query::queryGroup(9).combine, query::ControlChange::Disable);
    EXPECT_EQ(query::queryGroup(5).rangeFilters, query::ControlChange::Disable);
}

TEST(Catalogue, EveryLabelHasItsBranch)
{
    const QStringList labels = query::catalogueLabels();
    EXPECT_EQ(labels.size(), 114);
    TestStore store;
    query::QueryEngine engine(store.db());
    for (const QString& label : labels)
        EXPECT_TRUE(engine.branches().isBuilt(label)) << label.toStdString();
}

TEST(EngineRuns, ACompletedRunLeavesTheResultTableAndItsStatement)
{
    MarketFixture market;
    const auto topTraded = F::inputs(4, "Top N Traded Quantity", F::D1, {}, Exchange::Nse, "1");
    auto outcome = market.run(topTraded);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(outcome.resultTable, "QueryResult");
    EXPECT_EQ(outcome.viewerSelect, "select * from QueryResult");
    EXPECT_EQ(market.db().query(outcome.viewerSelect).rows, outcome.rows.rows);
    // The kept statement has its values written in and makes the same rows again.
    EXPECT_TRUE(outcome.lastQuerySql.contains("'2024-01-05'"));
    EXPECT_TRUE(outcome.lastQuerySql.contains("'2024-01-04'"));
    market.db().makeTable("again", outcome.lastQuerySql);
    EXPECT_EQ(market.db().query("select * from again").rows, outcome.rows.rows);
    EXPECT_EQ(outcome.state.exchangeName, "NSE");
    EXPECT_EQ(outcome.state.groupName, " All Stocks");

    // A second run replaces the first result.
    outcome = market.run(F::inputs(5, "52 Week High / Low", F::D1));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(market.db().tableColumns("QueryResult").first().name, "Stock");
    EXPECT_EQ(market.db().tableColumns("QueryResult").at(1).name, "HighPrice");

    // A run that does not complete leaves no stale result.
    outcome = market.run(F::inputs(4, "Top N Traded Quantity", QDate(), {}, Exchange::Nse, "1"));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, "Select A Valid Date");
    EXPECT_FALSE(market.db().tableExists("QueryResult"));
    ASSERT_EQ(market.run(topTraded).status, RunStatus::Completed);
    // An open-interest query without its options database is refused.
    outcome = market.run(F::inputs(7, "Ivro Query", F::D1, {}, Exchange::Nse, "3"));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_FALSE(market.db().tableExists("QueryResult"));

    // A failing statement is reported, not shown as an empty result.
    market.db().exec("DROP TABLE hilo");
    outcome = market.run(F::inputs(5, "52 Week High / Low", F::D1));
    EXPECT_EQ(outcome.status, RunStatus::Failed);
    EXPECT_TRUE(outcome.message.startsWith("The query could not be completed: ")) << outcome.message.toStdString();
    EXPECT_TRUE(outcome.message.contains("hilo"));
    EXPECT_EQ(outcome.icon, ui::Icon::Critical);
}

TEST(EngineRuns, TradingDaysAddedOrDeletedBetweenRunsAreSeen)
{
    MarketFixture market;
    const auto topOn = [](const QDate& day) { return F::inputs(4, "Top N Traded Quantity", day, {}, Exchange::Nse, "1"); };
    // A copy of a day's rows as another day.
    const auto copyDay = [](store::Database& db, const QDate& from, const QDate& to) {
        db.exec(QStringLiteral("INSERT INTO mto SELECT ?, scriptcode, NSEScriptCode, BSEScriptCode, NSETrdQty, BSETrdQty,"
                               " NSEDelyQty, BSEDelyQty, NSEPerc, BSEPerc, NSEClPrice, BSEClPrice FROM mto WHERE TransDate = ?"),
                {to, from});
    };
    const QDate monday{2024, 1, 8}, tuesday{2024, 1, 9};
    ASSERT_EQ(market.run(topOn(F::D1)).status, RunStatus::Completed);
    EXPECT_EQ(market.run(topOn(monday)).status, RunStatus::Refused);
    // A day imported on the application's own connection...
    copyDay(market.db(), F::D1, monday);
    EXPECT_EQ(market.run(topOn(monday)).status, RunStatus::Completed);
    // ... or by another connection to the store.
    {
        store::Database other;
        other.openExisting(market.db().path());
        copyDay(other, monday, tuesday);
    }
    EXPECT_EQ(market.run(topOn(tuesday)).status, RunStatus::Completed);
    // A deleted day is no trading day any more.
    market.db().exec("DELETE FROM mto WHERE TransDate = '2024-01-09'");
    const auto outcome = market.run(topOn(tuesday));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(market.run(topOn(monday)).state.previousTradingDay(), F::D1);
}

TEST(EngineRuns, SeparatorsStopQuietlyAndUnknownLabelsAreRefused)
{
    MarketFixture market;
    for (const int dashes : {25, 53}) {
        const auto outcome = market.run(F::inputs(4, QString(dashes, '-'), F::D1));
        EXPECT_EQ(outcome.status, RunStatus::Stopped);
        EXPECT_TRUE(outcome.message.isEmpty());
    }
    auto outcome = market.run(F::inputs(4, "Top N Trades", F::D1, {}, Exchange::Nse, "3"));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message, "There is no query \"Top N Trades\".");
    // Labels are compared exactly, letter case included.
    outcome = market.run(F::inputs(4, "top n traded quantity", F::D1, {}, Exchange::Nse, "3"));
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    outcome = market.run(F::inputs(4, "", F::D1));
    EXPECT_EQ(outcome.message, "Select A Query");
}

TEST(CountBoxes, WholeNumbersWithinTheBoxesRangeAreTakenAnythingElseRefused)
{
    MarketFixture market;
    const QString days = QStringLiteral("Enter a whole number of days from 1 to 32767 in \"No Of Days\".");
    const QString scanDays = QStringLiteral("Enter a whole number of days from 1 to 30 in \"No Of Days\".");
    const QString rank = QStringLiteral("Enter a whole number from 1 to 32767 in \"Value of 'N'\".");
    const struct {
        int group;
        const char* label;
        const char* number;
        const char* number2;
        QString refusal;  // empty: the boxes are taken
    } cases[] = {
        // The window of an average.
        {2, "Rate Change in % Over n Days", "3", "", {}},
        {2, "Rate Change in % Over n Days", "3.0", "", {}},
        {2, "Rate Change in % Over n Days", "", "", days},
        {2, "Rate Change in % Over n Days", "abc", "", days},
        {2, "Rate Change in % Over n Days", "2.5", "", days},
        {2, "Rate Change in % Over n Days", "0", "", days},
        {2, "Rate Change in % Over n Days", "-3", "", days},
        {2, "Rate Change in % Over n Days", "32768", "", days},
        // A ranking.
        {4, "Top N Traded Quantity", " 3 ", "", {}},
        {4, "Top N Traded Quantity", "2.5", "", rank},
        {4, "Top N Traded Quantity", "0", "", rank},
        // The scans keep 30 days at most.
        {3, "Rising Price for N days", "3.0", "", {}},
        {3, "Rising Price for N days", "31", "", scanDays},
        {2, "Delivery Qty moving above Average Delivery Qty", "2.5", "", scanDays},
        {6, "Rising Traded Qty and Rising Delivery Qty", "2.5", "", scanDays},
        {6, "Rising Traded Qty and Rising Delivery Qty", "", "", scanDays},
        {6, "Rising Traded Qty and Rising Delivery Qty", "31", "", scanDays},
        {6, "Rising Traded Qty, Rising Delivery Qty, Rising Price", "2.5", "", scanDays},
        // A run may fall for no days; rising and falling make 30 at most.
        {9, "Delivery Quantity", "3", "0", {}},
        {9, "Delivery Quantity", "0", "2", "Enter a whole number of days from 1 to 30 in \"Rising For\"."},
        {9, "Delivery Quantity", "3", "-1", "Enter a whole number of days from 0 to 27 in \"Falling For\"."},
        {9, "Delivery Quantity", "20", "11", "Enter a whole number of days from 0 to 10 in \"Falling For\"."},
        // Percentages stay free numbers beside a count.
        {8, "Volume breakout with upward price", "0", "40", days},
        {8, "Volume breakout with upward price", "2", "40.5", {}},
        {2, "Abnormal Change in delivery qty above Average Delivery Qty", "12.5", "2.5", days},
        {2, "Abnormal Change in delivery qty above Average Delivery Qty", "12.5", "2", {}},
        {8, "Abnormal Fall in Delivery Qty", "12.5", "", {}},
        {8, "Stocks by Delivery Value ( price has gone up )", "0", "", days},
        {8, "Market Strength", "0", "", days},
        {8, "200 day SMA Positive", "0", "", days},
        {8, "14 day EMA Positive", "", "", days},
        {8, "Rate Change", "2.5", "", days},
        {8, "Last N Days Movement", "-3", "", days},
        {7, "Pellam Query", "x", "48", QStringLiteral("Enter a whole number of days from 1 to 32767 in \"DMA - 1\".")},
    };
    for (const auto& c : cases) {
        auto in = F::inputs(c.group, QString::fromLatin1(c.label), F::D1, {}, Exchange::Nse, QString::fromLatin1(c.number));
        in.number2Text = QString::fromLatin1(c.number2);
        const auto outcome = market.run(in);
        const std::string row = std::string(c.label) + " [" + c.number + "] [" + c.number2 + "]";
        if (c.refusal.isEmpty()) {
            EXPECT_FALSE(outcome.message.startsWith(QStringLiteral("Enter a whole number"))) << row;
        } else {
            EXPECT_EQ(outcome.status, RunStatus::Refused) << row;
            EXPECT_EQ(outcome.message, c.refusal) << row;
        }
    }
}

TEST(RangeBounds, AReversedRangeKeepsTheRowsBetweenItsBounds)
{
    MarketFixture market;
    // The three-condition scan lists NSE symbols of the security file.
    market.db().exec("INSERT INTO nnf_security VALUES (1, 'ALPHA', 'EQ')");
    // Traded quantities from 50 to 2000 lots: the bounds as typed and swapped.
    const struct {
        int group;
        const char* label;
        const char* number;
        QList<Exchange> exchanges;
    } cases[] = {
        {1, "Average Traded Quantity [Between Dates]", "", {Exchange::Nse, Exchange::Bse, Exchange::Combined}},
        {4, "Top N Traded Quantity", "3", {Exchange::Nse, Exchange::Bse, Exchange::Combined}},
        {3, "Rising Traded Quantity for N days", "3", {Exchange::Nse, Exchange::Bse, Exchange::Combined}},
        {6, "Rising Traded Qty and Rising Delivery Qty", "3", {Exchange::Nse}},
        {6, "Rising Traded Qty, Rising Delivery Qty, Rising Price", "3", {Exchange::Nse}},
        {9, "Traded Quantity", "3", {Exchange::Nse, Exchange::Bse}},
    };
    for (const auto& c : cases) {
        for (const Exchange exchange : c.exchanges) {
            auto in = F::inputs(c.group, QString::fromLatin1(c.label), F::D1, F::D3, exchange, QString::fromLatin1(c.number));
            in.number2Text = QStringLiteral("0");
            const std::string row = std::string(c.label) + " " + query::exchangeName(exchange).toStdString();
            in.range(query::RangeMeasure::TradedQty) = {true, 50 * F::kLot, 2000 * F::kLot};
            const auto ordered = market.run(in);
            ASSERT_EQ(ordered.status, RunStatus::Completed) << row << " " << ordered.message.toStdString();
            EXPECT_FALSE(ordered.rows.isEmpty()) << row;
            in.range(query::RangeMeasure::TradedQty) = {true, 2000 * F::kLot, 50 * F::kLot};
            const auto reversed = market.run(in);
            ASSERT_EQ(reversed.status, RunStatus::Completed) << row;
            EXPECT_EQ(reversed.rows.rows, ordered.rows.rows) << row;
        }
    }
}

TEST(RangeBounds, CombinedDeliveryPercentageIsTestedUnrounded)
{
    // Alpha delivered 650 of 1500 lots on both exchanges on the last day:
    // 43.333... %, which a range from 43.331 to 43.334 holds and its rounded
    // 43.33 would not.
    MarketFixture market;
    const struct {
        int group;
        const char* label;
        const char* number;
    } cases[] = {
        {1, "Average % Delivery Quantity [Between Dates]", ""},
        {4, "Top N % Delivery Quantity", "3"},
        {3, "Rising Traded Quantity for N days", "3"},
        {2, "Volume Above/Below High/Low", "2"},
    };
    for (const auto& c : cases) {
        auto in = F::inputs(c.group, QString::fromLatin1(c.label), F::D1, F::D1, Exchange::Combined, QString::fromLatin1(c.number));
        in.range(query::RangeMeasure::DeliveryPercent) = {true, 43.331, 43.334};
        const auto outcome = market.run(in);
        ASSERT_EQ(outcome.status, RunStatus::Completed) << c.label << " " << outcome.message.toStdString();
        const QString stock = outcome.rows.columnIndex(QStringLiteral("Stock")) >= 0 ? QStringLiteral("Stock")
                                                                                     : QStringLiteral("Company");
        QStringList listed = texts(outcome, stock);
        listed.removeDuplicates();
        EXPECT_EQ(listed, QStringList{"Alpha Ltd"}) << c.label;
    }
}

}  // namespace
