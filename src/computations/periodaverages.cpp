// Scrips against their average over a period of trading days ("Strev Query",
// "Abnormal Change in Trading qty below Average Trading Qty") and the market's
// traded and delivered quantity and value per day ("Delivery Value - Summary").

#include "computations/scanandsignalbranches.h"

#include "query/branch.h"
#include "query/plainstatements.h"
#include "query/statementreader.h"
#include "query/windowreading.h"
#include "query/windowsummary.h"
#include "query/worktable.h"
#include "store/database.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <utility>

namespace computations {

namespace {

using query::Exchange;
using query::Sql;

// The day's close of a row: the NSE close when above 0, else the BSE close.
QString closeOf(const char* alias)
{
    return QStringLiteral("iif(%1.nseclprice>0,%1.nseclprice,%1.bseclprice)").arg(QLatin1String(alias));
}

// Every scrip with rows on the query's day and on the day before, its close,
// price change and quantities per exchange, and its average traded quantity
// (both exchanges) over the N trading days before the query's day.
query::BranchResult strevQuery(query::RunContext& context)
{
    query::RunState& state = context.state;
    state.secondDate = state.previousTradingDay();
    state.fifthDate = state.tradingDayBefore(state.count);
    const QDate from = std::min(state.secondDate, state.fifthDate);
    const QDate to = std::max(state.secondDate, state.fifthDate);

    state.groupFilter = state.groupFilterOn(QStringLiteral("a.scriptcode"));
    if (!state.scripFilter.isBlank())
        state.scripFilter.text.replace(QStringLiteral("scriptcode"), QStringLiteral("a.scriptcode"), Qt::CaseInsensitive);
    // The range boxes judge the query day's row.
    const Sql range = state.andRangeCondition(query::MeasureColumns::ofMto(state.exchange, QStringLiteral("a")));

    query::SummarySource window;
    window.first = from;
    window.last = to;
    const Sql averages = query::summaryTable(
        context.db, QStringLiteral("avgmto"), QStringLiteral("scriptcode,round(avg(NSETrdQty+BSETrdQty),0) as AvgDely"),
        window);
    return query::BranchResult::result(
        Sql(QStringLiteral("SELECT company, ") + closeOf("a") + QStringLiteral(" as ClosingPrice, round(((") +
            closeOf("a") + QStringLiteral(" * 100) / ") + closeOf("b") +
            QStringLiteral(") -100,2) as [%ChgInPrice],"
                           " a.bsedelyqty as BSEDely,a.nsedelyqty as NSEDely,(a.nsedelyqty+a.bsedelyqty) as TotalDely,"
                           "a.BSETrdQty as BSEVol,a.NSETrdQty as NSEVol, (a.BSETrdQty + a.NSETrdQty) as TotalVol,"
                           " AvgDely as [7Days AvgVol]") +
            query::fillers(1) +
            QStringLiteral(" from mto a, mto b,scripmaster, ")) +
        averages + " avgmto where a.transdate = " +
        Sql::value(state.firstDate) + " and b.transdate = " + Sql::value(state.secondDate) +
        " and a.scriptcode = b.scriptcode and a.scriptcode = avgmto.scriptcode and a.ScriptCode = scripmaster.srno " +
        state.scripFilter + range + state.groupFilter + " order by company, a.scriptcode");
}

// The exchange's figures of the averages and of the day rows. The day's
// traded quantity is set against the average traded quantity; the average
// close takes the days with a close only (a day without a trade has no
// price).
struct AbnormalColumns {
    const char* averages;  // traded quantity and close averaged per scrip
    const char* dayRow;    // the day's figures against the averages
    const char* head;      // the result's columns
};

AbnormalColumns abnormalColumns(Exchange exchange)
{
    switch (exchange) {
    case Exchange::Nse:
        return {"SELECT scriptcode,round(avg(nsetrdqty),0) as AvgDelyQty,"
                " round(avg(iif(nseclprice>0,nseclprice,null)),2) as AvgClPrice",
                "select company as Stock,a.nsetrdqty as DelyQty,b.AvgDelyQty as AvgDelyQty,"
                "round((a.nsetrdqty-b.avgdelyqty),2) as Difference,"
                "round(((a.nsetrdqty * 100) / iif(b.avgdelyqty>0,b.avgdelyqty,1))-100,2) as Perchange,"
                "a.nseclprice as rate,round(((a.nseclprice*100)/iif(b.avgclprice>0,b.avgclprice,1))-100,2) as [% Chg]",
                "select Stock,DelyQty as [Trading Qty],AvgDelyQty as [Avg Trd Qty],Difference,Perchange as [Trd Chg %],"
                "Rate as Rate,[% Chg] as [% Rate Chg From Avg Rate]"};
    case Exchange::Bse:
        return {"SELECT scriptcode,round(avg(bsetrdqty),0) as AvgDelyQty,"
                " round(avg(iif(bseclprice>0,bseclprice,null)),2) as AvgClPrice",
                "select company as Stock,a.bsetrdqty as DelyQty,b.AvgDelyQty as AvgDelyQty,"
                "round((a.bsetrdqty-b.avgdelyqty),2) as Difference,"
                "round(((a.bsetrdqty * 100) / iif(b.avgdelyqty>0,b.avgdelyqty,1))-100,2) as Perchange,"
                "a.bseclprice as rate,round(((a.bseclprice*100)/iif(b.avgclprice>0,b.avgclprice,1))-100,2) as [% Chg]",
                "select Stock,DelyQty as [Trading Qty],AvgDelyQty as [Avg Trd Qty],Difference,Perchange as [Dely Chg %],"
                "Rate as Rate,[% Chg] as [% Rate Chg From Avg Rate]"};
    case Exchange::Combined:
        break;
    }
    return {"SELECT scriptcode,round(avg(nsetrdqty+bsetrdqty),0) as AvgDelyQty,"
            " round(avg(iif(nseclprice>0,nseclprice,iif(bseclprice>0,bseclprice,null))),2) as AvgClPrice",
            "select company as Stock,a.nsetrdqty+a.bsetrdqty as DelyQty,b.AvgDelyQty as AvgDelyQty,"
            "round((a.nsetrdqty+a.bsetrdqty-b.avgdelyqty),2) as Difference,"
            "round((((a.nsetrdqty+a.bsetrdqty) * 100) / iif(b.avgdelyqty>0,b.avgdelyqty,1))-100,2) as Perchange,"
            "iif(a.nseclprice>0,a.nseclprice,a.bseclprice) as rate,"
            "round(((iif(a.nseclprice>0,a.nseclprice,a.bseclprice)*100)/iif(b.avgclprice>0,b.avgclprice,1))-100,2)"
            " as [% Chg]",
            "select Stock,DelyQty as [Trading Qty],AvgDelyQty as [Avg Trd Qty],Difference,Perchange as [Trd Chg %],"
            "round(Rate,2) as Rate,[% Chg] as [% Rate Chg From Avg Rate]"};
}

// The scrips of the group whose traded quantity on the query's day lies
// below the period's average traded quantity by at most the percentage.
query::BranchResult abnormalTrading(query::RunContext& context)
{
    query::RunState& state = context.state;
    store::Database& db = context.db;
    // The period: the query's day and the trading days before it, N1 days in
    // all.
    const QDate periodStart = state.requireSecondDate();
    const QDate from = std::min(state.firstDate, periodStart);
    const QDate to = std::max(state.firstDate, periodStart);
    // Group "ALL" (or none) goes through the membership that lists every scrip.
    const QString groupCode = state.groupRestricts() ? state.groupCode : QStringLiteral("ALL");
    auto memberOf = [&groupCode](const char* scripColumn) {
        return Sql(" And Exists(Select ScrCode From LinkDetails Where GrpCode = ") + Sql::value(groupCode) +
               Sql(QStringLiteral(" And LinkDetails.ScrCode = %1) ").arg(QLatin1String(scripColumn)));
    };
    const AbnormalColumns columns = abnormalColumns(state.exchange);

    // Only the combined averages are limited to the group; the day rows are
    // limited for every exchange.
    query::SummarySource window;
    window.first = from;
    window.last = to;
    if (state.exchange == Exchange::Combined)
        window.condition = memberOf("mto.scriptcode");
    query::remakeSummaryTable(db, QStringLiteral("ttemp"), QString::fromLatin1(columns.averages), window);
    query::remakeTable(db, QStringLiteral("queryresult1"),
                       Sql(QString::fromLatin1(columns.dayRow) +
                           QStringLiteral(" from mto a,ttemp b,scripmaster where a.TransDate = ")) +
                           Sql::value(state.firstDate) +
                           " and a.scriptcode= b.scriptcode and a.scriptcode = scripmaster.srno" + memberOf("a.scriptcode"));
    return query::BranchResult::result(Sql(QString::fromLatin1(columns.head) + query::fillers(2) +
                                           QStringLiteral(" from QueryResult1 where perchange >= ")) +
                                       Sql::value(-state.number) + " and perchange < 0 order by perchange desc, Stock");
}

// The BSE or NSE columns of a day of "Delivery Value - Summary": the day's
// traded and delivered quantity and value, and the delivery percentages of
// quantity and value. `total(figure, expression)` gives the day's total of
// figure 0 .. 3 (traded quantity, traded value, delivered quantity,
// delivered value), each given as an expression over mto.
QStringList exchangeDayColumns(const char* exchange, const std::function<QString(int, const QString&)>& total)
{
    const QString x = QString::fromLatin1(exchange);
    const QString traded = total(0, x + QStringLiteral("trdqty"));
    const QString tradedValue = total(1, QStringLiteral("%1trdqty*%1clprice").arg(x));
    const QString delivered = total(2, x + QStringLiteral("delyqty"));
    const QString deliveredValue = total(3, QStringLiteral("%1delyqty*%1clprice").arg(x));
    return {traded, tradedValue, delivered, deliveredValue,
            QStringLiteral("round(%1*100 / %2,2)").arg(delivered, traded),
            QStringLiteral("round(%1*100/%2,2)").arg(deliveredValue, tradedValue)};
}

// The names the BSE part gives the union's columns (the other part's follow
// them).
const char* const kBseNames[] = {"BSETradedQty", "BSETradedValue", "BSEDelQty", "BSEDelyValue", "[BSE % dely]",
                                 "[BSE % delyvalue]"};
const char* const kNseNames[] = {"NSETradedQty", "NSETradedValue", "NSEDelQty", "NSEDelyValue", "[NSE % dely]",
                                 "[NSE % delyvalue]"};

QString sumOf(int, const QString& expression)
{
    return QStringLiteral("sum(%1)").arg(expression);
}

// The two parts of the union: the BSE days (the union's column names) and
// the NSE days, each "transdate, exchange letter, six BSE columns, six NSE
// columns" with zeros in the other exchange's, from `from`.
std::pair<QString, QString> exchangeDayLists(const std::function<QString(int, const QString&)>& bseTotal,
                                             const std::function<QString(int, const QString&)>& nseTotal)
{
    QStringList bse{QStringLiteral("transdate as transdate"), QStringLiteral("'B' as Exchange")};
    const QStringList bseColumns = exchangeDayColumns("bse", bseTotal);
    for (int i = 0; i < 6; ++i)
        bse.append(bseColumns[i] + QStringLiteral(" as ") + QLatin1String(kBseNames[i]));
    for (const char* name : kNseNames)
        bse.append(QStringLiteral("0 as ") + QLatin1String(name));
    const QStringList nse = QStringList{QStringLiteral("transdate"), QStringLiteral("'N' as Exchange"),
                                        QStringLiteral("0,0,0,0,0,0")} +
                            exchangeDayColumns("nse", nseTotal);
    return {bse.join(QLatin1Char(',')), nse.join(QLatin1Char(','))};
}

// Whether a scrip code read as the statement's trim(code) <> '' reads it:
// a text holding anything but blanks. Nothing for a value that is no text.
std::optional<bool> listedCode(const query::RowValue& code)
{
    const int type = code.type();
    if (type == SQLITE_NULL)
        return false;
    if (type != SQLITE_TEXT)
        return std::nullopt;
    const QByteArrayView text = code.view();
    return std::any_of(text.begin(), text.end(), [](char c) { return c != ' '; });
}

// The day totals of both exchanges in one pass over the window's day rows
// (read in shares of the days), each row counted for an exchange where its
// scrip is listed there: the sums the two statements take, added in their
// order. They go into a temporary table of one row per day; the two parts
// of the union are read from it. Nothing when a value is not a real number
// or a code not a text (the statements then run).
std::optional<std::pair<Sql, Sql>> exchangeDaysInOnePass(store::Database& db, const QDate& one, const QDate& other)
{
    namespace reading = query::windowreading;
    const QDate from = std::min(one, other), to = std::max(one, other);
    const std::vector<QByteArray> days = reading::tradingDays(db, from, to);
    const int shares = std::min(static_cast<int>(days.size()),
                                reading::shareCount(db, static_cast<double>(days.size()) *
                                                            static_cast<double>(reading::scripRange(db).count()),
                                                    reading::Reading::MarketTables));
    // The statements are the quicker on one connection.
    if (query::plainStatementsOnly() || shares <= 1)
        return std::nullopt;
    struct ExchangeTotals {
        qint64 rows = 0;
        std::array<double, 4> sums{};
        std::array<qint64, 4> counts{};
    };
    struct DayTotals {
        ExchangeTotals bse, nse;
    };
    std::vector<DayTotals> totals(days.size());
    std::vector<char> unreadable;
    QString error;
    reading::readShares(
        db, shares, [&](int parts) { unreadable.assign(static_cast<size_t>(parts), 0); },
        [&](int part, int parts) {
            const size_t begin = days.size() * static_cast<size_t>(part) / static_cast<size_t>(parts);
            const size_t end = days.size() * static_cast<size_t>(part + 1) / static_cast<size_t>(parts);
            const QString first = QString::fromLatin1(days[begin]), last = QString::fromLatin1(days[end - 1]);
            // The day is read from the row: the day of summary_days would
            // be copied afresh for each row.
            return reading::daysOfWindow(first, last) +
                   Sql("SELECT mto.bsescriptcode, mto.nsescriptcode, mto.TransDate, bsetrdqty, bsedelyqty, bseclprice,"
                       " nsetrdqty, nsedelyqty, nseclprice FROM summary_days CROSS JOIN mto"
                       " WHERE mto.TransDate = summary_days.day") +
                   reading::withinWindow(first, last);
        },
        [&](int part, query::StatementReader& rows) {
            size_t day = days.size() * static_cast<size_t>(part) / static_cast<size_t>(unreadable.size());
            while (rows.next()) {
                const QByteArrayView dayText = rows.value(2).view();
                while (day < days.size() && QByteArrayView(days[day]) != dayText)
                    ++day;
                const std::optional<bool> bseListed = listedCode(rows.value(0)), nseListed = listedCode(rows.value(1));
                if (day == days.size() || !bseListed || !nseListed) {
                    unreadable[static_cast<size_t>(part)] = 1;
                    return;
                }
                for (int x = 0; x < 2; ++x) {
                    if (!(x == 0 ? *bseListed : *nseListed))
                        continue;
                    // Traded and delivered quantity and close; the values
                    // are the quantities and their products with the close,
                    // as the statement multiplies them (empty where one is).
                    std::array<std::optional<double>, 3> figures;
                    for (int f = 0; f < 3; ++f) {
                        const int column = 3 + 3 * x + f;
                        const query::RowValue value = rows.value(column);
                        const int type = value.type();
                        if (type == SQLITE_FLOAT) {
                            figures[static_cast<size_t>(f)] = value.real();
                        } else if (type != SQLITE_NULL) {
                            unreadable[static_cast<size_t>(part)] = 1;
                            return;
                        }
                    }
                    const auto& [traded, delivered, close] = figures;
                    auto times = [&close](const std::optional<double>& quantity) {
                        return quantity && close ? std::optional<double>(*quantity * *close) : std::nullopt;
                    };
                    ExchangeTotals& exchange = x == 0 ? totals[day].bse : totals[day].nse;
                    ++exchange.rows;
                    const std::array<std::optional<double>, 4> values{traded, times(traded), delivered, times(delivered)};
                    for (size_t f = 0; f < values.size(); ++f) {
                        if (values[f]) {
                            exchange.sums[f] += *values[f];
                            ++exchange.counts[f];
                        }
                    }
                }
            }
        },
        error);
    if (!error.isEmpty() || std::any_of(unreadable.begin(), unreadable.end(), [](char u) { return u != 0; }))
        return std::nullopt;

    const QString table = QStringLiteral("temp.deliveryvaluedays");
    db.exec(QStringLiteral("DROP TABLE IF EXISTS ") + table);
    db.exec(QStringLiteral("CREATE TABLE %1 (transdate DATE, bse_rows, bse_0, bse_1, bse_2, bse_3,"
                           " nse_rows, nse_0, nse_1, nse_2, nse_3)")
                .arg(table));
    query::RepeatedStatement insert(db.handle(), QStringLiteral("INSERT INTO %1 VALUES (?,?,?,?,?,?,?,?,?,?,?)").arg(table));
    for (size_t d = 0; d < days.size(); ++d) {
        insert.bindText(1, days[d]);
        int column = 2;
        for (const ExchangeTotals* exchange : {&totals[d].bse, &totals[d].nse}) {
            insert.bindInteger(column++, exchange->rows);
            for (int f = 0; f < 4; ++f, ++column) {
                if (exchange->counts[static_cast<size_t>(f)] > 0)
                    insert.bindReal(column, exchange->sums[static_cast<size_t>(f)]);
                else
                    insert.bindNull(column);
            }
        }
        insert.run();
    }
    auto stored = [](const char* exchange) {
        return [exchange](int figure, const QString&) {
            return QStringLiteral("s.%1_%2").arg(QLatin1String(exchange)).arg(figure);
        };
    };
    const auto [bse, nse] = exchangeDayLists(stored("bse"), stored("nse"));
    auto part = [&table](const QString& list, const char* exchange) {
        return Sql(QStringLiteral("(SELECT %1 FROM %2 AS s WHERE s.%3_rows > 0 ORDER BY s.transdate)")
                       .arg(list, table, QLatin1String(exchange)));
    };
    return std::make_pair(part(bse, "bse"), part(nse, "nse"));
}

// Per trading day between the two dates: traded and delivered quantity and
// value on BSE and NSE in crores, with the delivery percentages. Each day has
// one row over the BSE-listed scrips and one over the NSE-listed ones, each
// with zeros in the other exchange's columns; the outer sums set them side by
// side.
query::BranchResult deliveryValueSummary(query::RunContext& context)
{
    const query::RunState& state = context.state;
    const QDate secondDate = state.requireSecondDate();
    std::optional<std::pair<Sql, Sql>> parts = exchangeDaysInOnePass(context.db, state.firstDate, secondDate);
    if (!parts) {
        auto exchangeDays = [&](const char* listed) {
            query::SummarySource days;
            days.dayColumn = QStringLiteral("transdate");
            days.scripColumn = QStringLiteral("scriptcode");
            days.first = state.firstDate;
            days.last = secondDate;
            days.condition = Sql(QStringLiteral(" and trim(%1) <> ''").arg(QLatin1String(listed)));
            days.groupBy = QStringList{QStringLiteral("transdate")};
            return days;
        };
        // The union's columns take the names of its first select's items as
        // written ("transdate"), so the day keeps that name here.
        const auto [bse, nse] = exchangeDayLists(sumOf, sumOf);
        parts = std::make_pair(
            query::summaryTable(context.db, QStringLiteral("bsedays"), bse, exchangeDays("bsescriptcode")),
            query::summaryTable(context.db, QStringLiteral("nsedays"), nse, exchangeDays("nsescriptcode")));
    }
    return query::BranchResult::result(
        Sql("select transdate,round(sum(BSETradedQty/10000000),2) as BTradedQty,"
            "round(sum(BSETradedValue/10000000),2) as BTradedValue,round(sum(BSEDelQty/10000000),2) as BDelyQty,"
            "round(sum(BSEDelyvalue/10000000),2) as BDelyValue,sum([BSE % Dely]) as [BSE%Dely],"
            "sum([BSE % DelyValue]) as [BSE%DelyValue],"
            "round(sum(NSETradedQty/10000000),2) as NTradedQty,round(sum(NSETradedValue/10000000),2) as NTradedValue,"
            "round(sum(NSEDelQty/10000000),2) as NDelyQty,round(sum(NSEDelyvalue/10000000),2) as NDelyValue,"
            "sum([NSE % Dely]) as [NSE%Dely],sum([NSE % delyvalue]) As [NSE%DelyValue] from ("
            " SELECT * FROM ") +
        parts->first + " UNION SELECT * FROM " + parts->second + " ) group by transdate order by transdate");
}

}  // namespace

void registerPeriodAverageBranches(query::BranchRegistry& registry)
{
    registry.add(QStringLiteral("Strev Query"), strevQuery);
    registry.add(QStringLiteral("Abnormal Change in Trading qty below Average Trading Qty"), abnormalTrading);
    registry.add(QStringLiteral("Delivery Value - Summary"), deliveryValueSummary);
}

}  // namespace computations
