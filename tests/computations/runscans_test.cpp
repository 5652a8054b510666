#include "computations/scanbranches.h"
#include "computations/scanframe.h"
#include "query/plainstatements.h"
#include "query/statementreader.h"
#include "query/runstate.h"
#include "scanfixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using query::Exchange;
using F = ScanFixture;

namespace {

const int kRisingGroup = 3;
const QString kRisingDelivery = QStringLiteral("Rising Delivery Quantity for N days");

// Delivery (NSE) per day, oldest first D4 .. D1; traded = 10 x delivery.
QList<F::Day> deliveries(const QList<std::pair<QDate, double>>& values, double close = 100)
{
    QList<F::Day> days;
    for (const auto& [day, delivered] : values)
        days.append({day, delivered * 10, delivered, 10, close});
    return days;
}

TEST(RunScans, ListEveryDayOfEachScripThatMovedStrictlyOnEveryStep)
{
    F fixture;
    fixture.addScrip("Asc Ltd", "ASC", "500001", deliveries({{F::D4, 100}, {F::D3, 200}, {F::D2, 300}, {F::D1, 400}}));
    const qint64 down =
        fixture.addScrip("Desc Ltd", "DESC", "500002", deliveries({{F::D4, 500}, {F::D3, 300}, {F::D2, 200}, {F::D1, 100}}));
    fixture.addScrip("Flat Ltd", "FLAT", "500003", deliveries({{F::D3, 100}, {F::D2, 200}, {F::D1, 200}}));
    // Listed only from D2: a rising run of two days over a zero third day.
    const qint64 young = fixture.addScrip("Young Ltd", "YOUNG", "", deliveries({{F::D2, 50}, {F::D1, 60}}));
    fixture.addScrip("Bse Only Ltd", "", "500009", deliveries({{F::D3, 1}, {F::D2, 2}, {F::D1, 3}}));
    fixture.link("TECH", young);
    fixture.link("TECH", down);
    auto in = [](const QString& label, const char* days) {
        return F::inputs(kRisingGroup, label, F::D1, Exchange::Nse, days);
    };

    const auto rising = fixture.run(in(kRisingDelivery, "3"));
    expectRun(rising, {},
              {{"Stock", Texts{"Asc Ltd", "Asc Ltd", "Asc Ltd", "Young Ltd", "Young Ltd"}},
               {"NSEDelQty", Numbers{400, 300, 200, 60, 50}}});
    EXPECT_EQ(columnDates(rising, "TradingDate"), QList<QDate>({F::D1, F::D2, F::D3, F::D1, F::D2}));
    expectRuns(fixture,
               {{in("Falling Delivery Quantity for N days", "3"), {}, {{"Stock", Texts(3, "Desc Ltd")}}},
                // Over four days the flat step of Flat Ltd and the missing days
                // of Young Ltd keep them out of both lists.
                {in(kRisingDelivery, "4"), {}, {{"Stock", Texts(4, "Asc Ltd")}}},
                // One day makes no run.
                {in(kRisingDelivery, "1"), {}, {{"Stock", Texts{}}}},
                {inGroup(in(kRisingDelivery, "3"), "TECH"), {}, {{"Stock", Texts(2, "Young Ltd")}}},
                // Delivery on the first date between 300 and 500 keeps Asc Ltd (400) only.
                {inRange(in(kRisingDelivery, "3"), query::RangeMeasure::DeliveryQty, 300, 500), {},
                 {{"Stock", Texts(3, "Asc Ltd")}}},
                {inRange(in(kRisingDelivery, "3"), query::RangeMeasure::Trades, 1, 2), {}, {},
                 query::refusals::noTradesData()}});

    // Each scrip scanned is reported.
    QStringList lines;
    fixture.run(in("Rising Price for N days", "3"), [&lines](const QString& text, int, int) { lines.append(text); });
    EXPECT_EQ(lines, QStringList({"Processing for Stock Asc Ltd", "Processing for Stock Desc Ltd",
                                  "Processing for Stock Flat Ltd", "Processing for Stock Young Ltd"}));
}

TEST(RunScansCombined, PriceTakesTheNseCloseWhenThereIsOne)
{
    F fixture;
    // NSE closes 0 on D3: the BSE close 90 stands in, so 90 < 95 < 99 rises.
    fixture.addScrip("Both Ltd", "BOTH", "500001",
                     {{F::D3, 10, 5, 50, 0, 10, 5, 50, 90},
                      {F::D2, 10, 5, 50, 95, 10, 5, 50, 80},
                      {F::D1, 10, 5, 50, 99, 10, 5, 50, 70}});
    fixture.addScrip("Nse Only Ltd", "NSEO", "", {{F::D3, 1, 1, 1, 1}, {F::D2, 1, 1, 1, 2}, {F::D1, 1, 1, 1, 3}});
    expectRuns(fixture, {{F::inputs(kRisingGroup, "Rising Price for N days", F::D1, Exchange::Combined, "3"), {},
                          {{"Stock", Texts(3, "Both Ltd")}, {"Rate", Numbers{99, 95, 90}},
                           {"TotalDelyQty", Numbers{10, 10, 10}}, {"TotalDelyQty%", Numbers{50, 50, 50}}}}});
}

TEST(RunEntries, CountOnlyTheDaysTheExchangeTraded)
{
    using computations::RunMeasure;
    computations::ScanDay day;
    day.nseTraded = 1000;
    day.bseTraded = 3;
    day.bseDelivered = 0.375;
    day.bsePercent = 12.5;
    day.bseClose = 40;
    EXPECT_EQ(computations::runEntry(RunMeasure::TradedQty, Exchange::Nse, day), 0);
    EXPECT_EQ(computations::runEntry(RunMeasure::DeliveryPercent, Exchange::Nse, day), 0);
    EXPECT_EQ(computations::runEntry(RunMeasure::TradedQty, Exchange::Bse, day), 3);
    EXPECT_EQ(computations::runEntry(RunMeasure::Price, Exchange::Combined, day), 40);
    // (0.375 * 100) / 1003 = 0.0373...
    EXPECT_DOUBLE_EQ(computations::runEntry(RunMeasure::DeliveryPercent, Exchange::Combined, day), 0.04);
    day.nseTraded = 0;
    day.bseTraded = 100;
    day.bseDelivered = 0.125;  // 0.125 %: the half goes to the even 0.12
    EXPECT_DOUBLE_EQ(computations::runEntry(RunMeasure::DeliveryPercent, Exchange::Combined, day), 0.12);
}

// The run labels and what each tests.
struct RunKind {
    const char* name;
    computations::RunMeasure measure;
};
const RunKind kRunKinds[] = {{"Delivery Quantity", computations::RunMeasure::DeliveryQty},
                             {"% Delivery Quantity", computations::RunMeasure::DeliveryPercent},
                             {"Traded Quantity", computations::RunMeasure::TradedQty},
                             {"Price", computations::RunMeasure::Price}};

// The figures of a day row in the order scanDayOf() reads them.
const QString kFigures = QStringLiteral("NSETrdQty, BSETrdQty, NSEDelyQty, BSEDelyQty, NSEPerc, BSEPerc, NSEClPrice, BSEClPrice");

// The figures of the reader's row (its first columns, kFigures) as the scan
// read them: an empty one as 0, a text as its leading number.
computations::ScanDay scanDayOf(const query::StatementReader& row)
{
    computations::ScanDay day;
    double* fields[] = {&day.nseTraded, &day.bseTraded, &day.nseDelivered, &day.bseDelivered,
                        &day.nsePercent, &day.bsePercent, &day.nseClose, &day.bseClose};
    for (int i = 0; i < 8; ++i)
        *fields[i] = row.real(i);
    return day;
}

query::Sql withValues(const QString& text, const QVariantList& values)
{
    query::Sql statement(text);
    statement.params = values;
    return statement;
}

TEST(RunEntries, TheStatementFormGivesTheFiguresOfTheDayByDayForm)
{
    F fixture;
    // Empty figures, text in a figure (read as its leading number, as the
    // scan read it), negatives, a traded quantity of 0 and a combined
    // percentage of exactly 0.125 (to the even 0.12).
    const QString minus = QStringLiteral("-3 lakh");
    const QList<QVariantList> days = {
        {1000, 3, QVariant(), 0.375, QVariant(), 12.5, QVariant(), 40},
        {0, 100, 0, 0.125, 0, 0, 10, -5},
        {-4, 8, -1, 2, 50, -3, -2, 7},
        {QString(), 2, QStringLiteral("abc"), 1, 20, 40, 0, 0},
        {minus, minus, minus, 5, 20, minus, minus, 8},
        {3, 3, 0.1, 0.2, 0, 0, 0, 9},
    };
    const QString dayRow = QStringLiteral("SELECT ? AS NSETrdQty, ? AS BSETrdQty, ? AS NSEDelyQty, ? AS BSEDelyQty,"
                                          " ? AS NSEPerc, ? AS BSEPerc, ? AS NSEClPrice, ? AS BSEClPrice");
    for (const QVariantList& figures : days) {
        query::StatementReader read(fixture.db().handle(), withValues(dayRow, figures));
        ASSERT_TRUE(read.next());
        const computations::ScanDay day = scanDayOf(read);
        for (const RunKind& kind : kRunKinds)
            for (const Exchange exchange : {Exchange::Nse, Exchange::Bse, Exchange::Combined}) {
                const QString entry = computations::runEntrySql(kind.measure, exchange, QStringLiteral("w"));
                const QVariant value =
                    fixture.db().scalar(QStringLiteral("SELECT %1 FROM (%2) AS w").arg(entry, dayRow), figures);
                EXPECT_EQ(value.toDouble(), computations::runEntry(kind.measure, exchange, day))
                    << kind.name << " on " << query::exchangeName(exchange).toStdString() << " for "
                    << QVariant(figures).toStringList().join(QLatin1Char(' ')).toStdString();
            }
    }
}

// The rows a run keeps, found as the scan found them in memory: each listed
// scrip's N newest rows of the window, their figures as runEntry() takes
// them, compared step by step with entries past the rows as 0. Each row as
// "company date", sorted.
QStringList dayByDayRows(F& fixture, const query::RunInputs& in, computations::RunMeasure measure, bool rising,
                         const QDate& windowStart)
{
    const int days = in.numberText.toInt();
    const char* listed = in.exchange == Exchange::Nse   ? "nsescrip <> ''"
                         : in.exchange == Exchange::Bse ? "bsescrip <> ''"
                                                        : "nsescrip <> '' AND bsescrip <> ''";
    QStringList kept;
    const store::Rows scrips =
        fixture.db().query(QStringLiteral("SELECT srno, company FROM ScripMaster WHERE %1").arg(QLatin1String(listed)));
    for (const auto& scrip : scrips.rows) {
        query::StatementReader rows(
            fixture.db().handle(),
            withValues(QStringLiteral("SELECT %1, TransDate FROM mto WHERE scriptcode = ? AND TransDate <= ?"
                                      " AND TransDate >= ? ORDER BY TransDate DESC LIMIT ?")
                           .arg(kFigures),
                       {scrip.at(0), in.firstDate, windowStart, days}));
        QList<double> entries;
        QStringList dates;
        while (rows.next()) {
            entries.append(computations::runEntry(measure, in.exchange, scanDayOf(rows)));
            dates.append(rows.day(8).toString(Qt::ISODate));
        }
        bool run = days >= 2;
        for (int k = 2; k <= days && run; ++k) {
            const double newer = computations::entry(entries, k - 1), older = computations::entry(entries, k);
            run = rising ? older < newer : older > newer;
        }
        for (int i = 0; run && i < dates.size(); ++i)
            kept.append(scrip.at(1).toString() + QLatin1Char(' ') + dates[i]);
    }
    std::sort(kept.begin(), kept.end());
    return kept;
}

QStringList keptRows(const query::RunOutcome& outcome)
{
    QStringList kept;
    const QList<QDate> dates = columnDates(outcome, QStringLiteral("TradingDate"));
    const QStringList stocks = texts(outcome, QStringLiteral("Stock"));
    for (int i = 0; i < stocks.size(); ++i)
        kept.append(stocks[i] + QLatin1Char(' ') + dates.value(i).toString(Qt::ISODate));
    std::sort(kept.begin(), kept.end());
    return kept;
}

// Scrips whose figures rise, fall, stay or jump about, with days missing
// (the newest, a middle one, all but one), empty figures, zeros and
// negatives; two share a company name.
void fillEdgeMarket(F& fixture)
{
    std::mt19937 random(7);
    const double pool[] = {0, -1, 0.125, 1, 2, 3, 3, 5};
    const QDate dayList[] = {F::D4, F::D3, F::D2, F::D1};
    for (int s = 0; s < 90; ++s) {
        const unsigned modes = random();
        QList<F::Day> days;
        for (int i = 0; i < 4; ++i) {
            if (random() % 8 == 0)
                continue;
            double figures[8];
            for (int f = 0; f < 8; ++f) {
                const unsigned mode = (modes >> (2 * f)) % 4;
                figures[f] = mode == 0 ? 1 + i : mode == 1 ? 4 - i : mode == 2 ? 2 : pool[random() % 8];
                if (random() % 7 == 0)
                    figures[f] = pool[random() % 8];
            }
            days.append({dayList[i], figures[0], figures[1], figures[2], figures[3], figures[4], figures[5], figures[6],
                         figures[7]});
        }
        const QString name = s % 30 == 29 ? QStringLiteral("Twin Ltd") : QStringLiteral("Scrip %1").arg(s, 2, 10, QLatin1Char('0'));
        fixture.addScrip(name, s % 5 == 4 ? QString() : QStringLiteral("N%1").arg(s),
                         s % 5 == 3 ? QString() : QStringLiteral("B%1").arg(s), days);
    }
    fixture.db().exec(QStringLiteral("UPDATE mto SET NSEDelyQty = NULL, BSEPerc = NULL WHERE scriptcode % 6 = 1 AND TransDate = ?"),
                      {F::D2});
    fixture.db().exec(QStringLiteral("UPDATE mto SET NSEClPrice = '', BSETrdQty = NULL WHERE scriptcode % 7 = 2 AND TransDate = ?"),
                      {F::D1});
}

TEST(RunScans, GiveTheRowsOfTheDayByDayTestOnEveryLabelAndExchange)
{
    F fixture;
    fillEdgeMarket(fixture);
    // Windows of N trading days. A first date that is no trading day, or too
    // few days before it, is refused whatever the hidden second date holds.
    struct Window {
        QDate first, second;
        int days;
        QString refusal = {};
    };
    const QList<Window> windows = {{F::D1, {}, 1}, {F::D1, {}, 2}, {F::D1, {}, 3}, {F::D1, {}, 4},
                                   {F::D1.addDays(1), F::D4, 2, query::refusals::notATradingDay(F::D1.addDays(1))},
                                   {F::D2, F::D4, 4, query::refusals::tooFewTradingDays(F::D2)}};
    int keptInAll = 0;
    for (const RunKind& kind : kRunKinds)
        for (const bool rising : {true, false})
            for (const Exchange exchange : {Exchange::Nse, Exchange::Bse, Exchange::Combined})
                for (const Window& window : windows) {
                    const QString label = QStringLiteral("%1 %2 for N days")
                                              .arg(rising ? QStringLiteral("Rising") : QStringLiteral("Falling"),
                                                   QString::fromLatin1(kind.name));
                    query::RunInputs in =
                        F::inputs(kRisingGroup, label, window.first, exchange, QString::number(window.days));
                    in.secondDate = window.second;
                    const QDate start = QList<QDate>{F::D1, F::D2, F::D3, F::D4}.at(window.days - 1);
                    const std::string where = label.toStdString() + " on " + query::exchangeName(exchange).toStdString() +
                                              ", N = " + std::to_string(window.days) + " to " +
                                              window.first.toString(Qt::ISODate).toStdString();
                    const query::RunOutcome fast = fixture.run(in);
                    if (!window.refusal.isEmpty()) {
                        EXPECT_EQ(fast.message, window.refusal) << where;
                        continue;
                    }
                    query::setPlainStatementsOnly(true);
                    const query::RunOutcome plain = fixture.run(in);
                    query::setPlainStatementsOnly(false);
                    ASSERT_TRUE(fast.completed()) << where << ": " << fast.message.toStdString();
                    const QStringList expected = dayByDayRows(fixture, in, kind.measure, rising, start);
                    EXPECT_EQ(keptRows(fast), expected) << where;
                    // The same rows in the same order, the same columns.
                    EXPECT_EQ(fast.rows.rows, plain.rows.rows) << where;
                    EXPECT_EQ(headings(fast), headings(plain)) << where;
                    keptInAll += static_cast<int>(expected.size());
                }
    // The market gives runs to find.
    EXPECT_GT(keptInAll, 500);
}

}  // namespace
