// The queries that work out their window in one pass over the day rows (read
// in shares on several connections) give, on a generated market, the very
// rows of their plain statements: the same columns and types, and every
// number to the last bit.

#include "marketgenerator.h"

#include "query/catalogue.h"
#include "query/dayrows.h"
#include "query/parametersetup.h"
#include "query/plainstatements.h"
#include "query/queryengine.h"
#include "query/tradingcalendar.h"
#include "query/windowreading.h"
#include "store/database.h"
#include "support/teststore.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using query::Exchange;
using query::RunOutcome;

// 80 scrips over 60 trading days with groups, a derivative group and the
// bhavcopy's day highs and lows.
class GeneratedMarket {
public:
    GeneratedMarket()
    {
        marketgen::GeneratorOptions options;
        options.seed = 11;
        options.scripCount = 80;
        marketgen::MarketGenerator generator(options);
        generator.writeScripMaster(db());
        generator.fillMto(db(), 60);
        db().execScript(QStringLiteral(
            "INSERT INTO GroupMaster VALUES ('ALL', ' All Stocks'), ('Derivative', 'Derivatives F & O'),"
            " ('SEC1', 'Sector 1'), ('SEC2', 'Sector 2');"
            "INSERT INTO LinkDetails SELECT 'ALL', srno FROM ScripMaster;"
            "INSERT INTO LinkDetails SELECT 'Derivative', srno FROM ScripMaster WHERE srno % 4 = 1;"
            "INSERT INTO LinkDetails SELECT 'SEC1', srno FROM ScripMaster WHERE srno % 2 = 0;"
            "INSERT INTO LinkDetails SELECT 'SEC2', srno FROM ScripMaster WHERE srno % 3 = 0;"
            "INSERT INTO allbhavcopy (symbol, series, highprice, lowprice, closeprice, TransDate)"
            " SELECT NSEScriptCode, 'EQ', round(nseclprice * (1 + (scriptcode % 7) / 100.0), 2),"
            " round(nseclprice * (1 - (scriptcode % 5) / 100.0), 2), nseclprice, TransDate FROM mto WHERE nseclprice > 0;"
            // Some day rows of scrips not listed on an exchange: a blank, an
            // empty or no code.
            "UPDATE mto SET BSEScriptCode = '  ' WHERE scriptcode % 9 = 4 AND TransDate > (SELECT min(TransDate) FROM mto);"
            "UPDATE mto SET NSEScriptCode = '' WHERE scriptcode % 11 = 5;"
            "UPDATE mto SET BSEScriptCode = NULL WHERE scriptcode % 13 = 6;"
            // Empty figures: a close, a delivered quantity.
            "UPDATE mto SET BSEClPrice = NULL WHERE scriptcode % 7 = 2 AND TransDate < (SELECT max(TransDate) FROM mto);"
            "UPDATE mto SET NSEDelyQty = NULL WHERE scriptcode % 10 = 7 AND TransDate IN"
            " (SELECT DISTINCT TransDate FROM mto ORDER BY TransDate DESC LIMIT 3 OFFSET 10);"
            // A jump of the close of half the scrips nine trading days back,
            // and scrips without a row on some days after it.
            "UPDATE mto SET NSEClPrice = round(NSEClPrice * 1.2, 2), BSEClPrice = round(BSEClPrice * 1.2, 2)"
            " WHERE scriptcode % 2 = 1 AND TransDate = (SELECT DISTINCT TransDate FROM mto ORDER BY TransDate DESC"
            " LIMIT 1 OFFSET 8);"
            "DELETE FROM mto WHERE scriptcode % 3 = 1 AND TransDate IN"
            " (SELECT DISTINCT TransDate FROM mto ORDER BY TransDate DESC LIMIT 2 OFFSET 5);"));
        m_dates = query::loadTradingDates(db());
    }

    store::Database& db() { return m_store.db(); }
    const QList<QDate>& dates() const { return m_dates; }

private:
    TestStore m_store;
    QList<QDate> m_dates;
};

// The inputs the query screen gives `label` on the newest day, with the
// window of `days` trading days in its second date or its number box.
query::RunInputs inputsFor(int group, const QString& label, Exchange exchange, int days, const QList<QDate>& dates)
{
    query::ParameterFields fields;
    fields.firstDate = dates.first();
    fields.secondDate = dates.first();
    const query::ParameterSetup setup = query::setUpParameters(group, label, fields, dates);
    query::RunInputs in;
    in.group = group;
    in.label = label;
    in.firstDate = setup.fields.firstDate;
    in.secondDate = setup.fields.secondDate;
    in.numberText = setup.fields.number.text;
    in.number2Text = setup.fields.number2.text;
    in.exchange = exchange;
    in.groupCode = QStringLiteral("ALL");
    in.groupName = QStringLiteral(" All Stocks");
    const QString n = QString::number(days);
    if (query::secondDateFollowsDays(label)) {
        in.numberText = n;
        in.secondDate = query::windowStartDate(in.firstDate, n, dates);
    } else if (setup.fields.number.shown && setup.fields.number.caption == QLatin1String("No Of Days")) {
        in.numberText = n;
    } else if (setup.fields.number2.shown && setup.fields.number2.caption == QLatin1String("No Of Days")) {
        in.number2Text = n;
    } else if (setup.fields.secondDateShown) {
        in.secondDate = dates.at(days - 1);
    }
    return in;
}

// Where two results part: empty when they hold the same columns, types and
// values, numbers to the last bit.
std::string difference(const RunOutcome& a, const RunOutcome& b)
{
    if (a.status != b.status || a.message != b.message)
        return "status " + a.message.toStdString() + " against " + b.message.toStdString();
    if (a.rows.columns.size() != b.rows.columns.size() || a.rows.size() != b.rows.size())
        return "shape " + std::to_string(a.rows.size()) + " against " + std::to_string(b.rows.size()) + " rows";
    for (int c = 0; c < a.rows.columns.size(); ++c)
        if (a.rows.columns[c].name != b.rows.columns[c].name || a.rows.columns[c].kind != b.rows.columns[c].kind)
            return "column " + a.rows.columns[c].name.toStdString();
    for (qsizetype r = 0; r < a.rows.size(); ++r) {
        for (int c = 0; c < a.rows.columns.size(); ++c) {
            const QVariant& x = a.rows.rows[r][c];
            const QVariant& y = b.rows.rows[r][c];
            bool same = x.typeId() == y.typeId() && x.isNull() == y.isNull();
            if (same && x.typeId() == QMetaType::Double) {
                const double u = x.toDouble(), v = y.toDouble();
                same = std::memcmp(&u, &v, sizeof u) == 0;
            } else if (same) {
                same = x == y;
            }
            if (!same)
                return "row " + std::to_string(r) + " " + a.rows.columns[c].name.toStdString() + ": " +
                       x.toString().toStdString() + " against " + y.toString().toStdString();
        }
    }
    return {};
}

struct Case {
    int group;
    const char* label;
    int days;            // the window, or N of a scan
    int firstDayBack = 0;  // the query's day: the newest trading day, or this many before it
};

// Every query whose window is worked out in one pass, and the queries over
// many rows whose result table is made inside the store.
const Case kCases[] = {
    {1, "Average Traded Quantity [Between Dates]", 40},
    {1, "Average Delivery Quantity [Between Dates]", 40},
    {1, "Average % Delivery Quantity [Between Dates]", 40},
    {1, "Highest Delivery Quantity [Between Dates]", 40},
    {1, "Lowest Delivery Quantity [Between Dates]", 40},
    {1, "Highest % Delivery Quantity [Between Dates]", 40},
    {1, "Lowest % Delivery Quantity [Between Dates]", 40},
    {1, "Combined Report", 40},
    {2, "Delivery Qty moving above Average Delivery Qty", 5},
    {2, "Delivery % Qty moving below its Average % Delivery Qty", 5},
    {2, "Abnormal Change in delivery qty above Average Delivery Qty", 30},
    {2, "Abnormal Change in Trading qty above Average Trading Qty", 30},
    {2, "Abnormal Change in Trading qty below Average Trading Qty", 30},
    {2, "Rate Change in % Over n Days", 30},
    {2, "Groupwise Delivery Statistics Over n days", 30},
    {2, "Rate Above/Below High/Low", 30},
    {2, "Volume Above/Below High/Low", 30},
    {2, "Delivery Above/Below High/Low", 30},
    {2, "Strev Query", 30},
    {3, "Rising Delivery Quantity for N days", 2},
    {3, "Falling Price for N days", 3},
    {6, "Rising Traded Qty and Rising Delivery Qty", 2},
    {6, "Falling price & Rising % Delivery Quantity", 3},
    {6, "Rising Traded Qty, Rising Delivery Qty, Rising Price", 2},
    {6, "Delivery Value - Summary", 40},
    {7, "View All Records", 10},
    {7, "Total Delivery Value", 40},
    {7, "Total Delivery Value - Harnwell", 40},
    {7, "Total Delivery Value - GroupWise", 40},
    {8, "Volume breakout with upward price", 20},
    {8, "Delivery breakout with downward price (Avg)", 20},
    {8, "Last N Days Movement", 10},
    {8, "Stocks by Delivery Value ( price has gone up )", 20},
    {8, "Market Strength", 20},
    {8, "3 Months High Delivery", 40},
    {8, "200 day SMA Positive", 30},
    {8, "52 Week High", 40},
    {8, "Monthly Low", 20},
    {8, "Rate Change", 20},
    {8, "Rate Change", 20, 8},
    {9, "Delivery Quantity", 3},
};

TEST(OnePassQueries, GiveTheRowsOfTheirPlainStatements)
{
    GeneratedMarket market;
    query::QueryEngine engine(market.db());
    // A window of a few thousand rows is read in several shares, as a long
    // one would be.
    query::windowreading::setRowsPerShare(500);
    // The day-row lists are read scrip by scrip, as a long period would be.
    query::setRowsSortedAtOnce(100);
    for (const Case& c : kCases) {
        for (const Exchange exchange : {Exchange::Nse, Exchange::Bse, Exchange::Combined}) {
            query::RunInputs in =
                inputsFor(c.group, QString::fromUtf8(c.label), exchange, c.days, market.dates().mid(c.firstDayBack));
            // One run with some scrips chosen, one with a group and a ticked
            // price range.
            if (exchange == Exchange::Bse)
                in.scripCodes = {2, 3, 5, 8, 13, 21, 34, 55};
            if (exchange == Exchange::Combined) {
                in.groupCode = QStringLiteral("SEC1");
                in.groupName = QStringLiteral("Sector 1");
                in.range(query::RangeMeasure::Price) = {true, 50, 2000};
            }
            query::setPlainStatementsOnly(true);
            const RunOutcome plain = engine.run(in);
            query::setPlainStatementsOnly(false);
            const RunOutcome onePass = engine.run(in);
            EXPECT_EQ(difference(plain, onePass), "") << c.label << " on " << query::exchangeName(exchange).toStdString();
        }
    }
    query::windowreading::setRowsPerShare(0);
    query::setRowsSortedAtOnce(0);
}

// Scrips are found by their code: small codes by index, others (codes of a
// million and more, below zero) otherwise. A market with both gives the
// plain statements' rows, grouped by scrip and by a scrip's groups.
TEST(OnePassQueries, FindScripsOfAnyCode)
{
    GeneratedMarket market;
    market.db().execScript(QStringLiteral(
        "UPDATE mto SET scriptcode = scriptcode + 3000000 WHERE scriptcode % 5 = 0;"
        "UPDATE ScripMaster SET srno = srno + 3000000 WHERE srno % 5 = 0;"
        "UPDATE LinkDetails SET ScrCode = ScrCode + 3000000 WHERE ScrCode % 5 = 0;"
        "UPDATE mto SET scriptcode = -scriptcode WHERE scriptcode % 7 = 3;"
        "UPDATE ScripMaster SET srno = -srno WHERE srno % 7 = 3;"
        "UPDATE LinkDetails SET ScrCode = -ScrCode WHERE ScrCode % 7 = 3;"));
    query::QueryEngine engine(market.db());
    query::windowreading::setRowsPerShare(500);
    const Case cases[] = {{1, "Average Delivery Quantity [Between Dates]", 40},
                          {1, "Highest Delivery Quantity [Between Dates]", 40},
                          {1, "Combined Report", 40},
                          {2, "Groupwise Delivery Statistics Over n days", 30},
                          {7, "Total Delivery Value - GroupWise", 40}};
    for (const Case& c : cases) {
        const query::RunInputs in = inputsFor(c.group, QString::fromUtf8(c.label), Exchange::Nse, c.days, market.dates());
        query::setPlainStatementsOnly(true);
        const RunOutcome plain = engine.run(in);
        query::setPlainStatementsOnly(false);
        const RunOutcome onePass = engine.run(in);
        EXPECT_GT(plain.rows.size(), 0) << c.label;
        EXPECT_EQ(difference(plain, onePass), "") << c.label;
    }
    query::windowreading::setRowsPerShare(0);
}

}  // namespace
