// Rising and falling runs over N days: the scrips whose delivery quantity,
// delivery percentage, traded quantity or close moved strictly the same way
// on every step of the last N trading days, with those N days listed.

#include "computations/scanbranches.h"

#include "computations/scanframe.h"
#include "query/dayrows.h"
#include "query/plainstatements.h"
#include "store/jetfunctions.h"

#include <algorithm>

namespace computations {

using query::Exchange;
using query::Sql;

namespace {

double positive(double value)
{
    return value > 0 ? value : 0;
}

}  // namespace

double runEntry(RunMeasure measure, Exchange exchange, const ScanDay& day)
{
    switch (measure) {
    case RunMeasure::DeliveryQty:
        if (exchange == Exchange::Combined)
            return positive(day.bseDelivered) + positive(day.nseDelivered);
        return positive(exchange == Exchange::Nse ? day.nseDelivered : day.bseDelivered);
    case RunMeasure::DeliveryPercent:
        if (exchange == Exchange::Combined) {
            const double traded = day.nseTraded + day.bseTraded;
            return store::jetRound((day.nseDelivered + day.bseDelivered) * 100 / (traded > 0 ? traded : 1), 2);
        }
        // An exchange's percentage counts only on days it delivered anything.
        if (exchange == Exchange::Nse)
            return day.nseDelivered > 0 ? day.nsePercent : 0;
        return day.bseDelivered > 0 ? day.bsePercent : 0;
    case RunMeasure::TradedQty:
        if (exchange == Exchange::Combined)
            return positive(day.bseTraded) + positive(day.nseTraded);
        // An exchange's traded quantity counts only on days with a delivery percentage.
        if (exchange == Exchange::Nse)
            return day.nsePercent > 0 ? day.nseTraded : 0;
        return day.bsePercent > 0 ? day.bseTraded : 0;
    case RunMeasure::Price:
        if (exchange == Exchange::Combined)
            return day.nseClose > 0 ? day.nseClose : day.bseClose;
        return positive(exchange == Exchange::Nse ? day.nseClose : day.bseClose);
    }
    return 0;
}

namespace {

// A figure of the mto row `row` as the scans read it: a number, 0 when
// empty (as sqlite3_column_double reads it).
QString figure(const QString& row, const char* column)
{
    return QStringLiteral("ifnull(cast(%1.%2 as real),0)").arg(row, QLatin1String(column));
}

// The figure when above 0, else 0 (an empty one reads NULL, not above 0).
QString positiveFigure(const QString& row, const char* column)
{
    return QStringLiteral("iif(cast(%1.%2 as real)>0,cast(%1.%2 as real),0)").arg(row, QLatin1String(column));
}

// `column` on a day whose `condition` figure is above 0, else 0.
QString countedWhen(const QString& row, const char* condition, const char* column)
{
    return QStringLiteral("iif(cast(%1.%2 as real)>0,%3,0)").arg(row, QLatin1String(condition), figure(row, column));
}

}  // namespace

QString runEntrySql(RunMeasure measure, Exchange exchange, const QString& row)
{
    const bool nse = exchange == Exchange::Nse;
    switch (measure) {
    case RunMeasure::DeliveryQty:
        if (exchange == Exchange::Combined)
            return positiveFigure(row, "BSEDelyQty") + QLatin1Char('+') + positiveFigure(row, "NSEDelyQty");
        return positiveFigure(row, nse ? "NSEDelyQty" : "BSEDelyQty");
    case RunMeasure::DeliveryPercent:
        if (exchange == Exchange::Combined) {
            const QString traded = figure(row, "NSETrdQty") + QLatin1Char('+') + figure(row, "BSETrdQty");
            // round() is the store's: halves to the even figure, as jetRound.
            return QStringLiteral("round((%1+%2)*100/iif(%3>0,%3,1),2)")
                .arg(figure(row, "NSEDelyQty"), figure(row, "BSEDelyQty"), traded);
        }
        return nse ? countedWhen(row, "NSEDelyQty", "NSEPerc") : countedWhen(row, "BSEDelyQty", "BSEPerc");
    case RunMeasure::TradedQty:
        if (exchange == Exchange::Combined)
            return positiveFigure(row, "BSETrdQty") + QLatin1Char('+') + positiveFigure(row, "NSETrdQty");
        return nse ? countedWhen(row, "NSEPerc", "NSETrdQty") : countedWhen(row, "BSEPerc", "BSETrdQty");
    case RunMeasure::Price:
        if (exchange == Exchange::Combined)
            return QStringLiteral("iif(cast(%1.NSEClPrice as real)>0,cast(%1.NSEClPrice as real),%2)")
                .arg(row, figure(row, "BSEClPrice"));
        return positiveFigure(row, nse ? "NSEClPrice" : "BSEClPrice");
    }
    return QStringLiteral("0");
}

namespace {

QString strictly(bool rising)
{
    return rising ? QStringLiteral(" < ") : QStringLiteral(" > ");
}

// The codes of the scrips whose entries over their rows in `window` (a FROM
// source of mto rows, read as `w`) rise (or fall) strictly on every step of
// the `days` newest rows.
Sql runScrips(const Sql& window, RunMeasure measure, Exchange exchange, int days, bool rising)
{
    // Step k compares the k-th newest row with the one before it, for k up
    // to N - 1; a row past the window's rows counts as 0, so a scrip with
    // fewer than N - 1 rows compares two zeros and fails, and one of N - 1
    // rows steps from 0. A single day makes no step and so no run.
    return Sql("select scriptcode from (select scriptcode, v, lead(v, 1, 0) over byScrip as older,"
               " row_number() over byScrip as k from (select w.scriptcode, w.TransDate, ") +
           runEntrySql(measure, exchange, QStringLiteral("w")) + " as v from " + window +
           " as w) window byScrip as (partition by scriptcode order by TransDate desc))"
           " group by scriptcode having " +
           Sql::value(days) + " >= 2 and count(*) >= " + Sql::value(days - 1) + " and min(k >= " +
           Sql::value(days) + " or older" + strictly(rising) + "v)";
}

// The listed scrips that make the run. When the window holds N trading
// days or fewer, they are found without reading the whole window: the
// scrips with a row on the newest day are walked through the day index,
// each next day looked up the same way, and a scrip is left at the first
// step that fails between two neighbouring days that both hold a row, so
// a scrip left with a row on each of the N days makes the run. The others
// left, and the scrips with a row on the day before the newest but none on
// it (found by merging the two days' scrip codes in the order of the
// index; a scrip without either has too few rows), are tested by
// runScrips() over their own rows: there missing days close up the rows,
// and a row past them counts as 0.
QList<qint64> runningScrips(store::Database& db, ScanFrame& frame, RunMeasure measure, Exchange exchange, bool rising)
{
    auto codesOf = [&db](const Sql& select, QList<qint64>& codes, QList<qint64>* unsure = nullptr) {
        for (const auto& row : db.query(select.text, select.params).rows)
            (unsure && row.at(1).toInt() == 0 ? *unsure : codes).append(row.at(0).toLongLong());
    };
    const QList<QDate> days = frame.windowDays();
    QList<qint64> passing;
    if (frame.days() < 2 || days.isEmpty())
        return passing;
    if (days.size() > frame.days()) {
        codesOf(runScrips(frame.windowSource(), measure, exchange, frame.days(), rising), passing);
        return passing;
    }
    const Sql listed = frame.scripCondition(QStringLiteral("s"));
    Sql joins, steps;
    QStringList present;
    for (int i = 1; i < days.size(); ++i) {
        const QString day = QStringLiteral("d%1").arg(i);
        const QString newer = QStringLiteral("d%1").arg(i - 1);
        joins += Sql(QStringLiteral(" left join mto as %1 on %1.TransDate = ").arg(day)) + Sql::value(days[i]) +
                 QStringLiteral(" and %1.scriptcode = d0.scriptcode").arg(day);
        present.append(day + QStringLiteral(".scriptcode is not null"));
        steps += QStringLiteral(" and (%1.scriptcode is null or %2.scriptcode is null or %3%4%5)")
                     .arg(newer, day, runEntrySql(measure, exchange, day), strictly(rising),
                          runEntrySql(measure, exchange, newer));
    }
    const bool wholeWindow = days.size() == frame.days();
    Sql select = Sql(QStringLiteral("select d0.scriptcode, %1 from mto as d0 cross join scripmaster as s")
                         .arg(wholeWindow ? present.join(QLatin1String(" and ")) : QStringLiteral("0"))) +
                 joins + " where d0.TransDate = " + Sql::value(days[0]) + " and s.srno = d0.scriptcode and " + listed +
                 steps;
    if (days.size() > 1)
        select += Sql(" union all select s.srno, 0 from scripmaster as s where ") + listed +
                  " and s.srno in (select scriptcode from mto where TransDate = " + Sql::value(days[1]) +
                  " except select scriptcode from mto where TransDate = " + Sql::value(days[0]) + " order by 1)";
    QList<qint64> unsure;
    codesOf(select, passing, &unsure);
    if (!unsure.isEmpty()) {
        frame.narrowTo(unsure);
        codesOf(runScrips(frame.windowSource(), measure, exchange, frame.days(), rising), passing);
    }
    // By code: rows that the result's order leaves tied (two scrips of one
    // company name) come in the order they had in queryresult1.
    std::sort(passing.begin(), passing.end());
    return passing;
}

// The result: the rows of the passing scrips, read from `rows` (the work
// table queryresult1, or the same rows as a FROM source).
Sql runResultSelect(const query::RunState& state, const Sql& rows)
{
    // The blank column of one exchange declares its type (the filler row),
    // so that every column does and the rows go straight into the result.
    QString head, from = QStringLiteral(" from ");
    switch (state.exchange) {
    case Exchange::Nse:
        head = QStringLiteral("select company as Stock,nsedelyqty as NSEDelQty,BSEdelyqty as BSEDelQty,"
                              " nseclprice as Price,nseperc as [NSEDely%], nsetrdqty as NSETrdQty,BSEtrdqty as BSETrdQty,"
                              "TransDate as TradingDate,") +
               query::declaredFiller(2);
        from = QStringLiteral(" from %1,").arg(query::kFillerRow);
        break;
    case Exchange::Bse:
        head = QStringLiteral("select company as Stock, bsedelyqty as BSEDelyQty,nsedelyqty as NSEDelQty,"
                              "bseclprice as Price,bseperc as [BSEDely%],bsetrdqty as BSETrdQty,nsetrdqty as NSETrdqty,"
                              "TransDate as TradingDate,") +
               query::declaredFiller(2);
        from = QStringLiteral(" from %1,").arg(query::kFillerRow);
        break;
    case Exchange::Combined:
        head = QStringLiteral(
                   "select NSEScriptCode,BSEScriptCode,company as Stock, bsedelyqty+nsedelyqty as TotalDelyQty,"
                   " round(val(iif(nseclprice>0,nseclprice,bseclprice)),2) as Rate,"
                   " bsetrdqty+nsetrdqty as TotalTrdQty,"
                   " round((((nsedelyqty+bsedelyqty)*100) / iif(nsetrdqty+bsetrdqty>0,(nsetrdqty+bsetrdqty),1)),2)"
                   " as [TotalDelyQty%],TransDate as TradingDate") +
               query::fillers(3);
        break;
    }
    return Sql(head + from) + rows + " as QueryResult1,scripmaster where queryresult1.scriptcode = srno" +
           rangeOnFirstDate(state, QStringLiteral("queryresult1.scriptcode")) +
           " order by company,queryresult1.TransDate desc";
}

query::Branch runBranch(RunMeasure measure, bool rising)
{
    return [measure, rising](query::RunContext& context) {
        ScanFrame frame(context, ScripListing::ByExchange);
        // The range test reads the result's rows; refuse an impossible one
        // before the scan.
        const bool ranged = !rangeOnFirstDate(context.state, QStringLiteral("queryresult1.scriptcode")).isBlank();
        frame.defineWindow();
        frame.reportScrips();
        const Exchange exchange = context.state.exchange;
        if (exchange != Exchange::Combined)
            query::makeFillerRow(context.db);
        if (query::plainStatementsOnly()) {
            frame.copyPassingScrips(runScrips(frame.windowSource(), measure, exchange, frame.days(), rising));
            return query::BranchResult::result(runResultSelect(context.state, Sql("QueryResult1")));
        }
        const QList<qint64> passing = runningScrips(context.db, frame, measure, exchange, rising);
        frame.narrowTo(passing);
        // Without a range to test on them, the passing rows go straight
        // into the result.
        if (!ranged)
            return query::BranchResult::result(runResultSelect(context.state, frame.passingRows(passing)));
        frame.copyPassingScrips(passing);
        return query::BranchResult::result(runResultSelect(context.state, Sql("QueryResult1")));
    };
}

}  // namespace

void registerRunBranches(query::BranchRegistry& registry)
{
    const struct {
        const char* name;
        RunMeasure measure;
    } kinds[] = {{"Delivery Quantity", RunMeasure::DeliveryQty},
                 {"% Delivery Quantity", RunMeasure::DeliveryPercent},
                 {"Traded Quantity", RunMeasure::TradedQty},
                 {"Price", RunMeasure::Price}};
    for (const auto& kind : kinds) {
        const QString name = QString::fromUtf8(kind.name);
        registry.add(QStringLiteral("Rising %1 for N days").arg(name), runBranch(kind.measure, true));
        registry.add(QStringLiteral("Falling %1 for N days").arg(name), runBranch(kind.measure, false));
    }
}

}  // namespace computations
