// Every label of the query catalogue, in each exchange mode its group allows,
// run through the query engine with the parameters the query screen proposes
// on a generated store: each must give rows or the message that tells the
// user why it has none. A query that quietly finds nothing in data made for
// trying the application out looks broken to a newcomer.
#include "marketgenerator.h"
#include "marketstore.h"
#include "query/catalogue.h"
#include "query/parametersetup.h"
#include "query/queryengine.h"
#include "query/tradingcalendar.h"
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

// The inputs the query screen holds after `label` of `group` is chosen on the
// newest trading day with the first scrip group of the list: what the
// parameter set-up proposes, and a 20-day window where it leaves both dates
// on the same day.
RunInputs screenDefaults(int group, const QString& label, Exchange exchange, const QList<QDate>& dates,
                         const QString& folder)
{
    ParameterFields fields;
    fields.firstDate = dates.first();
    fields.secondDate = dates.first();
    const ParameterSetup setup = setUpParameters(group, label, fields, dates);
    RunInputs in;
    in.group = group;
    in.label = label;
    in.firstDate = setup.fields.firstDate;
    in.secondDate = setup.fields.secondDate;
    if (setup.fields.secondDateShown && in.secondDate == in.firstDate && !secondDateFollowsDays(label))
        in.secondDate = dates.at(19);
    in.numberText = setup.fields.number.text;
    in.number2Text = setup.fields.number2.text;
    in.exchange = setup.chooseCombine ? Exchange::Combined : exchange;
    in.groupCode = QStringLiteral("ALL");
    in.groupName = QStringLiteral(" All Stocks");
    if (!setup.groupName.isEmpty()) {
        in.groupCode = QStringLiteral("Derivative");
        in.groupName = setup.groupName;
    }
    for (const auto& preset : setup.rangePresets)
        in.range(preset.measure) = rangeFromBoxes(true, preset.lowText, QString());
    in.optionPath = QDir(folder).filePath(QStringLiteral("option.db"));
    in.dataFolder = folder;
    return in;
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
    for (const QueryGroup& group : queryGroups()) {
        QList<Exchange> modes{Exchange::Nse, Exchange::Bse};
        if (group.combine != ControlChange::Disable)
            modes.append(Exchange::Combined);
        for (const QString& label : group.labels) {
            for (const Exchange mode : modes) {
                ++runs;
                const qsizetype shown = prompt.messages.size();
                const RunOutcome outcome = engine.run(screenDefaults(group.number, label, mode, dates, store.folder()));
                const QString run = QStringLiteral("%1 | %2 | %3").arg(group.number).arg(label, modeName(mode));
                QString message = outcome.message;
                if (message.isEmpty() && prompt.messages.size() > shown)
                    message = prompt.messages.last().text;
                if (outcome.status == RunStatus::Failed || outcome.status == RunStatus::NotBuilt)
                    failed.append(run + QStringLiteral(": ") + outcome.message);
                else if (outcome.completed() && !outcome.rows.rows.isEmpty())
                    continue;
                else if (!message.isEmpty())
                    messages.append(run + QStringLiteral(": ") + message);
                else
                    empty.append(run);
            }
        }
    }
    EXPECT_EQ(runs, 352);
    EXPECT_TRUE(failed.isEmpty()) << failed.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(empty.isEmpty()) << "empty results:\n" << empty.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(messages, kRefusals) << messages.join(QLatin1Char('\n')).toStdString();
}
