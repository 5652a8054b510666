// The two-condition combined scans: the scrips whose traded quantity or close
// and whose delivered quantity or delivery percentage moved strictly in the
// given directions from each of the last N trading days to the next, with
// every day of those scrips' windows.
//
// The whole window of every scrip is read in one statement and tested in
// memory, scrip by scrip; the passing scrips' days are written to
// queryresult1 through one prepared insert.

#include "computations/scanandsignalbranches.h"

#include "query/branch.h"
#include "query/catalogue.h"
#include "query/jettop.h"
#include "query/plainstatements.h"
#include "query/statementreader.h"
#include "query/windowreading.h"
#include "store/database.h"
#include "store/storeerror.h"
#include "store/transaction.h"


#include <optional>
#include <vector>

namespace computations {

namespace {

using query::Exchange;
using query::Sql;

// The per-day figures a condition can test, in the column order of the
// window rows read below.
enum Figure { TradedQty = 1, DeliveredQty = 2, DeliveryPercent = 3, Price = 5 };

struct Condition {
    Figure first;
    Figure second;
    bool firstRises;
    bool secondRises;
};

// The condition of each item of the "Combined Queries" list, by position:
// four pairs of figures, each in the order rising/rising, rising/falling,
// falling/rising, falling/falling; the two three-way items test what the
// scan itself tests at their positions.
std::optional<Condition> conditionAt(int position)
{
    if (position == 16)
        return Condition{Price, DeliveredQty, true, true};
    if (position == 17)
        return Condition{Price, DeliveredQty, false, true};
    if (position < 0 || position > 15)
        return std::nullopt;
    static const Figure pairs[4][2] = {
        {TradedQty, DeliveredQty}, {TradedQty, DeliveryPercent}, {Price, DeliveredQty}, {Price, DeliveryPercent}};
    const int directions = position % 4;
    return Condition{pairs[position / 4][0], pairs[position / 4][1], directions < 2, directions % 2 == 0};
}

const QString kCombinedGroupLabel = QStringLiteral("Combined Queries");
const QString kIncreasingPrice = QStringLiteral("Increasing Delivery Qty & Increasing Price");
const QString kDecreasingPrice = QStringLiteral("Increasing Delivery Qty & Decreasing Price");

// The position whose condition a label tests. The two labels that no list
// offers test what their names say: rising delivery with rising or falling
// price.
int conditionPosition(const QString& label)
{
    if (label == kIncreasingPrice)
        return 8;
    if (label == kDecreasingPrice)
        return 10;
    return query::labelPosition(6, label);
}

// The window columns of queryresult1: the chosen exchange's figures (the sums
// for both exchanges) and the other exchange's four, empty for both.
QString windowColumns(Exchange exchange)
{
    switch (exchange) {
    case Exchange::Nse:
        return QStringLiteral("mto.scriptcode,nsetrdqty,nsedelyqty,nseperc,mto.transdate,nseclprice,"
                              "bsetrdqty,bsedelyqty,bseperc,bseclprice");
    case Exchange::Bse:
        return QStringLiteral("mto.scriptcode,bsetrdqty,bsedelyqty,bseperc,mto.transdate,bseclprice,"
                              "nsetrdqty,nsedelyqty,nseperc,nseclprice");
    case Exchange::Combined:
        break;
    }
    return QStringLiteral("mto.scriptcode,(nsetrdqty+bsetrdqty),(nsedelyqty+bsedelyqty),"
                          "round((((nsedelyqty+bsedelyqty)*100) / iif(nsetrdqty+bsetrdqty>0,(nsetrdqty+bsetrdqty),1)),2),"
                          "mto.transdate,iif(nseclprice>0,nseclprice,bseclprice),null,null,null,null");
}

void makeEmptyWindowTable(store::Database& db)
{
    db.dropIfExists(QStringLiteral("queryresult1"));
    db.exec(QStringLiteral("CREATE TABLE queryresult1 (scriptcode INTEGER, trdqty REAL, delyqty REAL, perc REAL,"
                           " transdate DATE, clprice REAL, bsetrdqty REAL, bsedelyqty REAL, bseperc REAL,"
                           " bseclprice REAL)"));
}

// A figure of a day as the test sees it: its value when above 0, else 0.
double testedValue(const QVariantList& row, Figure figure)
{
    const QVariant& value = row.at(figure);
    if (value.isNull())
        return 0;
    const double number = value.toDouble();
    return number > 0 ? number : 0;
}

// Whether `figure` moves strictly in its direction over the days, newest
// first: rising means each day above the one before it.
bool movesStrictly(const QList<QVariantList>& days, Figure figure, bool rises)
{
    for (qsizetype k = 1; k < days.size(); ++k) {
        const double newer = testedValue(days.at(k - 1), figure);
        const double older = testedValue(days.at(k), figure);
        if (rises ? !(older < newer) : !(older > newer))
            return false;
    }
    return true;
}

// The scrips a scan lists: those of the exchange and group.
Sql listedScrips(const query::RunState& state)
{
    Sql listed;
    if (state.exchange == Exchange::Nse)
        listed = " and s.nsescrip <> ''";
    else if (state.exchange == Exchange::Bse)
        listed = " and s.bsescrip <> ''";
    return listed + state.groupFilterOn(QStringLiteral("s.srno"));
}

// The plain form of the scan: every window row read into memory in company
// order, each scrip's rows tested together.
void scanWindowsInMemory(query::RunContext& context, int days, const Condition& condition, const QDate& windowStart)
{
    store::Database& db = context.db;
    const query::RunState& state = context.state;
    makeEmptyWindowTable(db);
    const Sql listed = listedScrips(state);
    const Sql read = Sql(QStringLiteral("select ") + windowColumns(state.exchange) +
                         QStringLiteral(", s.company from scripmaster s, mto where mto.scriptcode = s.srno")) +
                     listed + " and mto.transdate <= " +
                     Sql::value(state.firstDate) + " and mto.transdate >= " + Sql::value(windowStart) +
                     " order by s.company, s.srno, mto.transdate desc";
    const store::Rows rows = db.query(read.text, read.params);

    // The rows of each scrip, newest first, in company order.
    std::vector<QList<QVariantList>> scrips;
    for (const QVariantList& row : rows.rows) {
        if (scrips.empty() || scrips.back().first().at(0) != row.at(0))
            scrips.emplace_back();
        scrips.back().append(row);
    }

    store::Statement insert(db, QStringLiteral("INSERT INTO queryresult1 VALUES (?,?,?,?,?,?,?,?,?,?)"));
    const int total = static_cast<int>(scrips.size());
    for (int i = 0; i < total; ++i) {
        QList<QVariantList>& window = scrips[static_cast<size_t>(i)];
        const QString company = window.first().last().toString();
        context.progress(QStringLiteral("Processing for Stock ") + company, i, total);
        // One exchange takes the N newest days of the window; both exchanges
        // take every day of it. Either way the scrip needs a row on each day.
        if (state.exchange != Exchange::Combined && window.size() > days)
            window = window.mid(0, days);
        if (window.size() != days)
            continue;
        if (!movesStrictly(window, condition.first, condition.firstRises) ||
            !movesStrictly(window, condition.second, condition.secondRises))
            continue;
        for (QVariantList row : window) {
            row.removeLast();
            insert.run(row);
        }
    }
}

// A figure of the window columns as an expression over mto.
QString windowFigure(Exchange exchange, Figure figure)
{
    QStringList items;
    const QString columns = windowColumns(exchange);
    int depth = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (columns[i] == QLatin1Char('('))
            ++depth;
        else if (columns[i] == QLatin1Char(')'))
            --depth;
        else if (columns[i] == QLatin1Char(',') && depth == 0) {
            items.append(columns.mid(start, i - start));
            start = i + 1;
        }
    }
    items.append(columns.mid(start));
    return items.at(figure);
}

// One scrip's moves over its window, met newest day first.
struct Moves {
    int days = 0;
    double first = 0, second = 0;  // the tested values of the newer day
    bool firstMoves = true, secondMoves = true;
};

// The scan in one pass over the window's day rows, newest day first,
// keeping for each scrip whether both figures still move strictly; only
// the passing scrips' rows are read again.
void scanWindowsInOnePass(query::RunContext& context, int days, const Condition& condition, const QDate& windowStart)
{
    store::Database& db = context.db;
    const query::RunState& state = context.state;
    const Sql listing = Sql("select s.srno, s.company from scripmaster s where 1=1") + listedScrips(state) +
                        " order by s.company, s.srno";
    const store::Rows scrips = db.query(listing.text, listing.params);
    namespace reading = query::windowreading;
    const reading::ScripRange range = reading::scripRange(db);
    // Each scrip's moves at its place among the codes of mto; each share of
    // the scrips writes its own places.
    std::vector<Moves> moves(static_cast<size_t>(range.count()));
    std::vector<char> listed(moves.size(), 0);
    for (const QVariantList& scrip : scrips.rows) {
        const qint64 code = scrip.at(0).toLongLong();
        if (code >= range.low && code <= range.high)
            listed[static_cast<size_t>(code - range.low)] = 1;
    }

    // One exchange takes the N newest days of a scrip's window; both
    // exchanges take every day of it.
    const bool newestOnly = state.exchange != Exchange::Combined;
    auto tested = [](query::StatementReader& rows, int column) {
        const double value = rows.real(column);
        return value > 0 ? value : 0.0;
    };
    auto stillMoves = [](double newer, double older, bool rises) { return rises ? older < newer : older > newer; };
    // Each share of the scrips is read day by day, newest first, on a
    // connection and thread of its own.
    const int shares = reading::shareCount(db, static_cast<double>(days) * static_cast<double>(range.count()));
    const QString figures =
        windowFigure(state.exchange, condition.first) + QLatin1Char(',') + windowFigure(state.exchange, condition.second);
    QString error;
    reading::readShares(
        db, shares, [&moves](int) { std::fill(moves.begin(), moves.end(), Moves()); },
        [&](int part, int count) {
            return reading::daysOfWindow(windowStart, state.firstDate, true) +
                   Sql(QStringLiteral("select mto.scriptcode, %1 from summary_days cross join mto"
                                      " where mto.TransDate = summary_days.day")
                           .arg(figures)) +
                   reading::withinWindow(windowStart, state.firstDate, true) +
                   (count > 1 ? reading::scripShare(QStringLiteral("mto.scriptcode"), range, part, count) : Sql());
        },
        [&](int, query::StatementReader& rows) {
            while (rows.next()) {
                const qint64 place = rows.integer(0) - range.low;
                if (place < 0 || place >= range.count() || !listed[static_cast<size_t>(place)])
                    continue;
                Moves& m = moves[static_cast<size_t>(place)];
                if (newestOnly && m.days >= days)
                    continue;
                const double first = tested(rows, 1);
                const double second = tested(rows, 2);
                if (m.days > 0) {
                    m.firstMoves = m.firstMoves && stillMoves(m.first, first, condition.firstRises);
                    m.secondMoves = m.secondMoves && stillMoves(m.second, second, condition.secondRises);
                }
                m.first = first;
                m.second = second;
                ++m.days;
            }
        },
        error);
    if (!error.isEmpty())
        throw store::StoreError(error);

    // The scrips in company order: each needs a row on each of the N days.
    // (The table is made after the reading: a write would keep the reading
    // to this connection.)
    makeEmptyWindowTable(db);
    store::Statement insert(db, QStringLiteral("INSERT INTO queryresult1 SELECT ") + windowColumns(state.exchange) +
                                    QStringLiteral(" FROM mto WHERE mto.scriptcode = ? AND mto.transdate <= ?"
                                                   " AND mto.transdate >= ? ORDER BY mto.transdate DESC LIMIT ?"));
    int seen = 0;
    int total = 0;
    auto movesOf = [&](qint64 code) {
        return code >= range.low && code <= range.high ? moves[static_cast<size_t>(code - range.low)] : Moves();
    };
    for (const QVariantList& scrip : scrips.rows)
        total += movesOf(scrip.at(0).toLongLong()).days > 0 ? 1 : 0;
    for (const QVariantList& scrip : scrips.rows) {
        const qint64 code = scrip.at(0).toLongLong();
        const Moves m = movesOf(code);
        if (m.days == 0)
            continue;
        context.progress(QStringLiteral("Processing for Stock ") + scrip.at(1).toString(), seen++, total);
        if (m.days != days || !m.firstMoves || !m.secondMoves)
            continue;
        insert.run({code, state.firstDate, windowStart, newestOnly ? days : -1});
    }
}

// Fills queryresult1 with every day of the window of each scrip of the
// exchange and group that traded on each of the N trading days and passes
// the label's condition.
void scanWindows(query::RunContext& context)
{
    const query::RunState& state = context.state;
    // One day makes no step, so no scrip passes.
    const int days = state.count;
    const std::optional<Condition> condition = conditionAt(conditionPosition(state.label));
    if (!condition || days < 2) {
        makeEmptyWindowTable(context.db);
        return;
    }
    const QDate windowStart = state.requireSecondDate();
    // Scrip codes spread too far apart for a place each are read the plain way.
    if (query::plainStatementsOnly() || query::windowreading::scripRange(context.db).count() > 10000000)
        scanWindowsInMemory(context, days, *condition, windowStart);
    else
        scanWindowsInOnePass(context, days, *condition, windowStart);
}

// The scrips whose query-day row in queryresult1 meets every ticked range,
// as a condition on queryresult1.scriptcode; empty when no range is ticked.
Sql rangeOnFirstDay(const query::RunState& state, const QString& scripColumn)
{
    const Sql condition = state.rangeCondition(query::MeasureColumns::ofScanTable(state.exchange, QStringLiteral("r")));
    if (condition.isBlank())
        return {};
    return Sql(QStringLiteral(" and %1 in (select r.scriptcode from queryresult1 as r where").arg(scripColumn)) +
           condition + " and r.transdate = " + Sql::value(state.firstDate) + ")";
}

// The result columns of a builder: the tested exchange's figures, then the
// other exchange's (for both exchanges, the totals, the delivery percentage
// of the totals and three fillers).
QString resultColumns(Exchange exchange, bool withPercent)
{
    switch (exchange) {
    case Exchange::Nse:
        return withPercent ? QStringLiteral("trdqty as NSETrdQty, perc as [NSEDely %], clprice as NSEPrice,"
                                            "BSEtrdqty as BSETrdQty,bseperc As [% BSEDely],bseclprice as BSEPrice")
                           : QStringLiteral("trdqty as NSETrdQty, delyqty as NSEDelyQty, clprice as NSEPrice,"
                                            "BSEtrdqty as BSETrdQty,BSEdelyqty as BSEDelQty,bseclprice as BSEPrice");
    case Exchange::Bse:
        // In this mode the other-exchange columns hold the NSE figures.
        return withPercent ? QStringLiteral("trdqty as BSETrdQty, perc as [BSEDely %], clprice as BSEPrice,"
                                            "bsetrdqty as NSETrdQty, bseperc as NSEPerc,bseclprice as NSEPrice")
                           : QStringLiteral("trdqty as BSETrdQty, delyqty as BSEDelyQty, clprice as BSEPrice,"
                                            "bsetrdqty as NSETrdQty, bsedelyqty as NSEDelyQty,bseclprice as NSEPrice");
    case Exchange::Combined:
        break;
    }
    return QStringLiteral("trdqty as TotalTrdQty, delyqty as TotalDelyQty, clprice as Price,"
                          "round(((delyqty/trdqty)*100),2) as [Dely %]") +
           query::fillers(3);
}

// Every day of every passing scrip, by company and newest day first.
query::BranchResult windowResult(query::RunContext& context, bool withPercent)
{
    scanWindows(context);
    const query::RunState& state = context.state;
    return query::BranchResult::result(
        Sql(QStringLiteral("select company as Stock,TransDate as TrnDate, ") +
            resultColumns(state.exchange, withPercent) +
            QStringLiteral(" from QueryResult1,scripmaster where queryresult1.scriptcode = scripmaster.srno")) +
        rangeOnFirstDay(state, QStringLiteral("queryresult1.scriptcode")) +
        " order by company,TransDate desc");
}

// The query day's figures of each passing scrip beside those of the window's
// oldest day, the ten largest by the query day's traded quantity (rows tied
// with the tenth included).
query::BranchResult increasingDelivery(query::RunContext& context)
{
    scanWindows(context);
    const query::RunState& state = context.state;
    const QList<query::ResultColumn> columns{
        {QStringLiteral("company"), QStringLiteral("Scrip")},       {QStringLiteral("a.DelyQty"), QStringLiteral("TodayDely")},
        {QStringLiteral("b.DelyQty"), QStringLiteral("PrevDely")},  {QStringLiteral("a.perc"), QStringLiteral("TodayPerc")},
        {QStringLiteral("b.perc"), QStringLiteral("PrevPerc")},     {QStringLiteral("a.clprice"), QStringLiteral("TodayRate")},
        {QStringLiteral("b.clprice"), QStringLiteral("PrevRate")},  {QStringLiteral("a.trdqty"), QStringLiteral("TodayTrdQty")},
        {QStringLiteral("b.trdqty"), QStringLiteral("PrevTrdQty")},
    };
    const Sql fromWhere = Sql(" from QueryResult1 a, queryresult1 b,scripmaster where a.transdate = ") +
                          Sql::value(state.firstDate) + " and b.transdate = " + Sql::value(state.requireSecondDate()) +
                          " and a.scriptcode = scripmaster.srno and a.scriptcode = b.scriptcode" +
                          rangeOnFirstDay(state, QStringLiteral("a.scriptcode"));
    return query::BranchResult::result(
        query::jetTop(10, columns, fromWhere, QStringLiteral("a.trdqty"), true, QStringLiteral("Scrip")));
}

}  // namespace

void registerTwoConditionScanBranches(query::BranchRegistry& registry)
{
    const QStringList& labels = query::queryGroup(6).labels;
    for (int position = 0; position < 16 && position < labels.size(); ++position) {
        const bool withPercent = (position / 4) % 2 == 1;
        registry.add(labels.at(position),
                     [withPercent](query::RunContext& context) { return windowResult(context, withPercent); });
    }
    registry.add(kIncreasingPrice, increasingDelivery);
    registry.add(kDecreasingPrice, increasingDelivery);
}

}  // namespace computations
