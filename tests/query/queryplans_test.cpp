// How the statements of every query are planned. A statement that joins a
// work or summary table made by the run reads it through an index (or reads
// it once, as the outer loop): a whole scan of it for every scrip of the day
// costs the square of the scrips, four times the time for twice the scrips.
#include "planwatch.h"

#include "marketgenerator.h"
#include "marketstore.h"
#include "query/plainstatements.h"
#include "query/queryengine.h"
#include "query/tradingcalendar.h"
#include "support/catalogueruns.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace query;

namespace {

// What the user may add to the proposed parameters: a scrip group other
// than all stocks, a few chosen scrips and every range filter ticked (with
// bounds that keep every row), each of which adds its conditions.
void narrow(RunInputs& inputs)
{
    inputs.groupCode = QStringLiteral("Derivative");
    inputs.groupName = QStringLiteral("Derivatives F & O");
    inputs.scripCodes = {1, 2, 3, 26, 51};
    for (RangeBox& range : inputs.ranges)
        range = RangeBox{true, 0, 1e12};
}

// Runs every label in NSE, BSE and "Combine" (where its group allows it)
// with the parameters the query screen proposes, changed by `change` when
// given, and expects no statement to scan a table inside a loop.
void expectNoScansInsideLoops(store::Database& db, const QString& folder, void (*change)(RunInputs&) = nullptr)
{
    QueryEngine engine(db);
    QStringList found;
    int planned = 0;
    forEveryCatalogueRun(loadTradingDates(db), folder, [&](const RunInputs& proposed, Exchange mode) {
        RunInputs inputs = proposed;
        if (change)
            change(inputs);
        PlanWatch watch(db);
        engine.run(inputs);
        planned += watch.statementsPlanned();
        for (const QString& scan : watch.scansInsideLoops())
            found.append(QStringLiteral("%1 (%2): %3").arg(inputs.label, exchangeName(mode), scan));
    });
    EXPECT_GT(planned, 1000) << "the watch saw too few statements to tell anything";
    EXPECT_TRUE(found.isEmpty()) << found.size() << " statements:\n" << found.join(QLatin1Char('\n')).toStdString();
}

class QueryPlans : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_store = new TestStore;
        marketgen::GeneratorOptions options;
        options.seed = 1;
        options.scripCount = 40;
        marketgen::MarketGenerator generator(options);
        marketgen::fillMarketStore(generator, s_store->db(), 260,
                                   QDir(s_store->folder()).filePath(QStringLiteral("option.db")));
    }
    static void TearDownTestSuite()
    {
        delete s_store;
        s_store = nullptr;
    }

    static inline TestStore* s_store = nullptr;
    ScriptedPrompt prompt;
};

// The one-pass work where it applies, as the application runs.
TEST_F(QueryPlans, NoQueryScansATableForEveryRowOfAnother)
{
    expectNoScansInsideLoops(s_store->db(), s_store->folder());
}

TEST_F(QueryPlans, NoQueryOfAGroupChosenScripsOrRangesScansATableForEveryRowOfAnother)
{
    expectNoScansInsideLoops(s_store->db(), s_store->folder(), narrow);
}

// The plain statements, which a query falls back to when its window or
// its figures do not suit the one pass.
TEST_F(QueryPlans, NoPlainStatementScansATableForEveryRowOfAnother)
{
    setPlainStatementsOnly(true);
    expectNoScansInsideLoops(s_store->db(), s_store->folder());
    setPlainStatementsOnly(false);
}

}  // namespace
