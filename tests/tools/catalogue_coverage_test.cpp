// Every label of the query catalogue, in each exchange mode its group allows,
// run through the query engine with the parameters the query screen proposes
// on a generated store: each must give rows or the message that tells the
// user why it has none. A query that quietly finds nothing in data made for
// trying the application out looks broken to a newcomer.
#include "marketgenerator.h"
#include "marketstore.h"
#include "query/queryengine.h"
#include "query/tradingcalendar.h"
#include "support/catalogueruns.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"

#include <gtest/gtest.h>
#include <QDir>

using namespace query;

namespace {

// The runs that end with a message instead of rows: the queries that refuse
// "Combine", with the message the user sees.
const QStringList kRefusals = {
    QStringLiteral("4 | Top N Combined Query | Combine: Option Not Allowed"),
    QStringLiteral("8 | Total Delivery Value for the rising scrips | Combine: Option Not Allowed"),
    QStringLiteral("8 | Total Delivery Value for the falling scrips | Combine: Option Not Allowed"),
    QStringLiteral("8 | Total Delivery Value for the unchanged scrips | Combine: Option Not Allowed"),
};

QString modeName(Exchange exchange)
{
    switch (exchange) {
    case Exchange::Nse: return QStringLiteral("NSE");
    case Exchange::Bse: return QStringLiteral("BSE");
    case Exchange::Combined: return QStringLiteral("Combine");
    }
    return {};
}

}  // namespace

// Every group's labels in NSE and BSE, and in "Combine" unless the group
// turns it off (352 runs), on 60 scrips x 300 days: each gives rows or its
// refusal. No run may end with an empty table: the generated market holds,
// on its newest day, every event the catalogue looks for.
TEST(CatalogueCoverage, EveryLabelInEveryModeFindsRowsOrSaysWhyNot)
{
    TestStore store;
    ScriptedPrompt prompt;
    marketgen::GeneratorOptions options;
    options.seed = 1;
    options.scripCount = 60;
    marketgen::MarketGenerator generator(options);
    marketgen::fillMarketStore(generator, store.db(), 300, QDir(store.folder()).filePath(QStringLiteral("option.db")));

    QueryEngine engine(store.db());
    const QList<QDate> dates = loadTradingDates(store.db());
    ASSERT_EQ(dates.size(), 300);
    int runs = 0;
    QStringList messages, empty, failed;
    forEveryCatalogueRun(dates, store.folder(), [&](const RunInputs& inputs, Exchange mode) {
        ++runs;
        const qsizetype shown = prompt.messages.size();
        const RunOutcome outcome = engine.run(inputs);
        const QString run = QStringLiteral("%1 | %2 | %3").arg(inputs.group).arg(inputs.label, modeName(mode));
        QString message = outcome.message;
        if (message.isEmpty() && prompt.messages.size() > shown)
            message = prompt.messages.last().text;
        if (outcome.status == RunStatus::Failed || outcome.status == RunStatus::NotBuilt)
            failed.append(run + QStringLiteral(": ") + outcome.message);
        else if (outcome.completed() && !outcome.rows.rows.isEmpty())
            return;
        else if (!message.isEmpty())
            messages.append(run + QStringLiteral(": ") + message);
        else
            empty.append(run);
    });
    EXPECT_EQ(runs, 352);
    EXPECT_TRUE(failed.isEmpty()) << failed.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(empty.isEmpty()) << "empty results:\n" << empty.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(messages, kRefusals) << messages.join(QLatin1Char('\n')).toStdString();
}
