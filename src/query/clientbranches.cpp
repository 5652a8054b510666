// Client layouts and miscellaneous listings. "Maltry Query" and "QXV Query"
// lay out a day's delivery statistics beside the previous day and recent
// averages, NSE and BSE added; "View All Records" lists the day rows of a
// period; the total delivery values sum the market per day; "Stock
// Statistics" sets each scrip's day beside its previous day and two averages.

#include "query/clientbranches.h"

#include "query/branch.h"
#include "query/breakoutbranches.h"
#include "query/dayrows.h"
#include "query/plainstatements.h"
#include "query/windowsummary.h"
#include "query/worktable.h"
#include "store/database.h"
#include "store/datetext.h"
#include "store/jetfunctions.h"
#include "store/showntext.h"

#include <QFile>
#include <QStringList>
#include <QTextStream>
#include <algorithm>
#include <optional>
#include <stdexcept>

namespace query {

namespace {

using store::Column;
using store::ColumnKind;

Sql between(const QDate& one, const QDate& other)
{
    return Sql(" between ") + Sql::value(std::min(one, other)) + " and " + Sql::value(std::max(one, other));
}

// The mto rows between two days (either order) that meet `condition`,
// summed up per day.
SummarySource dayTotals(const QDate& one, const QDate& other, const Sql& condition)
{
    SummarySource source;
    source.dayColumn = QStringLiteral("TransDate");
    source.scripColumn = QStringLiteral("scriptcode");
    source.first = one;
    source.last = other;
    source.condition = condition;
    source.groupBy = QStringList{QStringLiteral("TransDate")};
    return source;
}

// The filters of a client layout, all on the day's row `a`.
Sql clientFilters(const RunState& state)
{
    return qualifiedScripFilter(state.scripFilter, QStringLiteral("a")) +
           state.andRangeCondition(MeasureColumns::ofMto(state.exchange, QStringLiteral("a"))) +
           state.groupFilterOn(QStringLiteral("a.scriptcode"));
}

// Delivered over traded quantity of row `r` (NSE + BSE) in per cent, 2
// places; a traded quantity that is empty or not above 0 counts as 0.00001.
QString clientDeliveryPercent(const char* r)
{
    return QStringLiteral("round((((%1.nsedelyqty+%1.bsedelyqty)*100)/ iif((%1.nsetrdqty+%1.bsetrdqty) IS NULL or "
                          "(%1.nsetrdqty+%1.bsetrdqty)<=0,0.00001,(%1.nsetrdqty+%1.bsetrdqty))),2)")
        .arg(QLatin1String(r));
}

// NSE + BSE average delivery per scrip over a window, as `alias`.`column`.
Sql averageDelivery(const QString& column, const QDate& from, const QDate& to, const QString& alias)
{
    return Sql(QStringLiteral(" (select scriptcode,round(avg(nsedelyqty+bsedelyqty),0) as %1 from mto where transdate")
                   .arg(column)) +
           between(from, to) + Sql(QStringLiteral(" group by Scriptcode) %1").arg(alias));
}

BranchResult maltryQuery(RunContext& context)
{
    RunState& state = context.state;
    state.secondDate = state.previousTradingDay();
    state.fourthDate = state.tradingDayBefore(5);
    state.eighthDate = state.tradingDayBefore(10);
    return BranchResult::result(
        Sql(QStringLiteral("SELECT company, (a.nsetrdqty+a.bsetrdqty) as QtyTraded, (a.nsedelyqty+a.bsedelyqty) as QtyDely, "
                           "%1 as [Dely %], %2 as [PrevDay Dely %],"
                           " round(((a.nsedelyqty+a.bsedelyqty) * iif(a.nseclprice<=0,a.bseclprice,a.nseclprice)),2) as [Total Dely Val],"
                           " round(((b.nsedelyqty+b.bsedelyqty) * iif(b.nseclprice<=0,b.bseclprice,b.nseclprice)),2) as [Prev Day Dely Val],"
                           "AvgDely as [5Days AvgDely],Avg10DaysDely as [10Days AvgDely]")
                .arg(clientDeliveryPercent("a"), clientDeliveryPercent("b")) +
            fillers(1) + QStringLiteral(" from mto a, mto b,scripmaster,")) +
        averageDelivery(QStringLiteral("AvgDely"), state.secondDate, state.fourthDate, QStringLiteral("avgmto")) + "," +
        averageDelivery(QStringLiteral("Avg10DaysDely"), state.secondDate, state.eighthDate, QStringLiteral("avg10mto")) +
        " where a.transdate = " + Sql::value(state.firstDate) + " and b.transdate = " + Sql::value(state.secondDate) +
        " and a.scriptcode = b.scriptcode and a.scriptcode = avgmto.scriptcode and a.scriptcode = avg10mto.scriptcode"
        " and a.ScriptCode = scripmaster.srno " +
        clientFilters(state) + " order by company, a.scriptcode");
}

BranchResult qxvQuery(RunContext& context)
{
    RunState& state = context.state;
    state.secondDate = state.previousTradingDay();
    state.fourthDate = state.tradingDayBefore(9);
    return BranchResult::result(
        Sql(QStringLiteral("SELECT company, round(iif(a.nseclprice>0,a.nseclprice,a.bseclprice),2) as TodaysPrice,"
                           "iif(b.nseclprice>0,b.nseclprice,b.bseclprice) as PrevDayPrice,"
                           " (a.nsetrdqty+a.bsetrdqty) as TodaysVolume,(b.nsetrdqty+b.bsetrdqty) as PrevDayVolume,AvgVolume,"
                           " %1 as [TodaysDely %], %2 as [PrevDay Dely %],"
                           "((avgdely*100) / iif(avgvolume>0,avgvolume,1)) as [AvgDely %]")
                .arg(clientDeliveryPercent("a"), clientDeliveryPercent("b")) +
            fillers(1) +
            QStringLiteral(" from mto a, mto b,scripmaster, ( select scriptcode,round(avg(nsetrdqty+bsetrdqty),0) as AvgVolume,"
                           "round(avg(nsedelyqty+bsedelyqty),0) as AvgDely from mto where transdate")) +
        between(state.firstDate, state.fourthDate) + " group by Scriptcode ) avgmto where a.transdate = " +
        Sql::value(state.firstDate) + " and b.transdate = " + Sql::value(state.secondDate) +
        " and a.scriptcode = b.scriptcode and a.scriptcode = avgmto.scriptcode and a.ScriptCode = scripmaster.srno " +
        clientFilters(state) + " order by company, a.scriptcode");
}

// The kind the result table gives a column of `expression`, which yields a
// number or nothing on each row of `rows` (a FROM clause with its WHERE):
// real when some row gives a real, else whole when some row gives a whole
// number, else text, as the kinds are taken from the values.
ColumnKind numberKind(store::Database& db, const QString& expression, const Sql& rows)
{
    const auto gives = [&](const char* type) {
        return db.scalar(QStringLiteral("select exists(select 1") + rows.text +
                             QStringLiteral(" and typeof(%1) = '%2')").arg(expression, QLatin1String(type)),
                         rows.params)
                   .toInt() == 1;
    };
    return gives("real") ? ColumnKind::Real : gives("integer") ? ColumnKind::Integer : ColumnKind::Text;
}

// The columns of View All Records, NSE & BSE: name, expression, and the
// declared kind of a stored figure (none for a figure worked out).
struct RecordColumn {
    QString name;
    QString expression;
    std::optional<ColumnKind> stored;
};

QList<RecordColumn> combinedRecordColumns()
{
    const QString price = QStringLiteral("iif(nseclprice>0,nseclprice,bseclprice)");
    return {{QStringLiteral("nsescrip"), QStringLiteral("nsescrip"), ColumnKind::Text},
            {QStringLiteral("bsescrip"), QStringLiteral("bsescrip"), ColumnKind::Text},
            {QStringLiteral("Stock"), QStringLiteral("company"), ColumnKind::Text},
            {QStringLiteral("TrnDate"), QStringLiteral("TransDate"), ColumnKind::Date},
            {QStringLiteral("NSEDel"), QStringLiteral("nsedelyqty"), ColumnKind::Real},
            {QStringLiteral("BSEDel"), QStringLiteral("BSEdelyqty"), ColumnKind::Real},
            {QStringLiteral("TotalDel"), QStringLiteral("nsedelyqty+bsedelyqty"), std::nullopt},
            {QStringLiteral("Rate"), QStringLiteral("round(%1,2)").arg(price), std::nullopt},
            {QStringLiteral("DelVal"), QStringLiteral("round((nsedelyqty+bsedelyqty)*%1,2)").arg(price), std::nullopt},
            {QStringLiteral("NSEtrdqty"), QStringLiteral("nsetrdqty"), ColumnKind::Real},
            {QStringLiteral("BSETrdQty"), QStringLiteral("BSEtrdqty"), ColumnKind::Real},
            {QStringLiteral("TotalVol"), QStringLiteral("nsetrdqty+bsetrdqty"), std::nullopt},
            {QStringLiteral("DelyPerc"),
             QStringLiteral("iif((nsedelyqty+bsedelyqty) > 0 and (nsetrdqty+bsetrdqty) > 0,"
                            "round((nsedelyqty+bsedelyqty)*100/(NSEtrdqty+BSEtrdqty),2),0)"),
             std::nullopt}};
}

// The rows of View All Records, NSE & BSE (`rows`: FROM with WHERE), made in
// `table` in the order shown, each column declared as the result table
// would take it: the result is then the table's copy, with no staging of
// the rows to learn the kinds of the figures worked out. The sort spills
// to files on helper threads.
void makeCombinedRecords(store::Database& db, const QString& table, const Sql& rows, const QString& order)
{
    QList<Column> columns;
    QStringList list;
    for (const RecordColumn& column : combinedRecordColumns()) {
        columns.append({column.name, column.stored ? *column.stored : numberKind(db, column.expression, rows)});
        list.append(column.expression);
    }
    const SortsInFiles sorts(db);
    remakeWorkTable(db, table, columns, Sql(QStringLiteral("select ") + list.join(QLatin1Char(','))) + rows + Sql(order));
}

BranchResult viewAllRecords(RunContext& context)
{
    const RunState& state = context.state;
    const QDate secondDate = state.requireSecondDate();
    // However long the period, the rows are read in the store's own order
    // and put in the order shown by one sort, which spreads over helper
    // threads and spills to files.
    QString selectList;
    QString from = QStringLiteral(" from mto,scripmaster");
    QString listedOn;
    QString order;
    if (state.exchange == Exchange::Combined) {
        QStringList list;
        for (const RecordColumn& column : combinedRecordColumns())
            list.append(column.expression + QStringLiteral(" as ") + store::quoteIdentifier(column.name));
        selectList = QStringLiteral("select ") + list.join(QLatin1Char(','));
        order = QStringLiteral(" order by company,TransDate desc");
    } else {
        makeFillerRow(context.db);
        const QString x = state.exchange == Exchange::Nse ? QStringLiteral("NSE") : QStringLiteral("BSE");
        selectList = QStringLiteral("select nsescrip,bsescrip, company as Stock, TransDate as TrnDate,%1clprice as Price,"
                                    "%1trdqty as TradingQty, %1delyqty as DelyQty, %1perc  as DelyPrecQty")
                         .arg(x) +
                     declaredFillers(1) + declaredFillers(1, 3) + declaredFillers(1, 6);
        from += QLatin1Char(',') + kFillerRow;
        listedOn = QStringLiteral(" and trim(%1scriptcode) <> '' ").arg(x.toLower());
        order = QStringLiteral(" order by %1scriptcode,TransDate desc").arg(x.toLower());
    }
    order += QStringLiteral(", mto.scriptcode");
    const Sql rows = Sql(from + QStringLiteral(" where srno = scriptcode and TransDate")) + between(state.firstDate, secondDate) +
                     Sql(listedOn) + qualifiedScripFilter(state.scripFilter, QStringLiteral("mto")) +
                     state.andRangeCondition(MeasureColumns::ofMto(state.exchange, QStringLiteral("mto"))) + state.groupFilter;
    if (state.exchange == Exchange::Combined && !plainStatementsOnly()) {
        // A table the next run drops before it starts, outside its transaction.
        const QString records = QStringLiteral("QueryResult1");
        makeCombinedRecords(context.db, records, rows, order);
        return BranchResult::wholeWorkTable(records);
    }
    FinalStatement final;
    final.select = Sql(selectList) + rows + Sql(order);
    final.sortsManyRows = true;
    return BranchResult::result(std::move(final));
}

BranchResult totalDeliveryValue(RunContext& context)
{
    const RunState& state = context.state;
    const QDate secondDate = state.requireSecondDate();
    const QList<Column> columns{{QStringLiteral("TradingDate"), ColumnKind::Date},
                                {QStringLiteral("NSE Total TurnOver In Crs"), ColumnKind::Real},
                                {QStringLiteral("NSE Total Dely Val In Crs"), ColumnKind::Real},
                                {QStringLiteral("BSE Total TurnOver In Crs"), ColumnKind::Real},
                                {QStringLiteral("BSE Total Dely Val In Crs"), ColumnKind::Real},
                                {QStringLiteral("Total TurnOver In Crs"), ColumnKind::Real},
                                {QStringLiteral("Total Dely Val In Crs"), ColumnKind::Real},
                                {QStringLiteral("% Dely"), ColumnKind::Real}};
    // The delivery share is taken from the day's sums as they are, before
    // they are rounded to crores for showing. A day without turnover has no
    // delivery share: an empty value.
    remakeWorkTable(
        context.db, QStringLiteral("queryresult1"), columns,
        Sql("select * from ") +
            summaryTable(
                context.db, QStringLiteral("totaldeliveryvalue"),
                QStringLiteral(
                    "TransDate,round((sum(nsetrdqty * nseclprice)/10000000),2),round((sum(nsedelyqty * nseclprice)/10000000),2),"
                    "round((sum(bsetrdqty * bseclprice)/10000000),2),round((sum(bsedelyqty * bseclprice)/10000000),2),"
                    "round((sum(nsetrdqty * nseclprice)/10000000),2)+round((sum(bsetrdqty * bseclprice)/10000000),2),"
                    "round((sum(nsedelyqty * nseclprice)/10000000),2)+round((sum(bsedelyqty * bseclprice)/10000000),2),"
                    "round((((sum(nsedelyqty * nseclprice)+sum(bsedelyqty * bseclprice))/"
                    "(sum(nsetrdqty * nseclprice)+sum(bsetrdqty * bseclprice)))*100),2)"),
                dayTotals(state.firstDate, secondDate,
                          qualifiedScripFilter(state.scripFilter, QStringLiteral("mto")) +
                              state.andRangeCondition(MeasureColumns::ofMto(state.exchange, QStringLiteral("mto"))) +
                              state.groupFilter)) +
            " as totals");
    return BranchResult::result(Sql(
        "Select TradingDate,[NSE Total TurnOver In Crs],[NSE Total Dely Val In Crs],[BSE Total TurnOver In Crs],"
        "[BSE Total Dely Val In Crs],[Total TurnOver In Crs],[Total Dely Val In Crs],[% Dely] from queryresult1"
        " order by TradingDate desc"));
}

BranchResult totalDeliveryValueHarnwell(RunContext& context)
{
    const RunState& state = context.state;
    const QDate secondDate = state.requireSecondDate();
    return BranchResult::result(
        Sql("select * from ") +
        summaryTable(
            context.db, QStringLiteral("harnwell"),
            QStringLiteral(
                "TransDate As TradingDate,"
                " round((sum(nsetrdqty * nseclprice)/1000000),2)+round((sum(bsetrdqty * bseclprice)/1000000),2) as [Total TurnOverVal In Mn],"
                " round((sum(nsedelyqty * nseclprice)/1000000),2)+round((sum(bsedelyqty * bseclprice)/1000000),2)  as [Total DelyVal In Mn],"
                " round((( sum(nsetrdqty) + sum(bsetrdqty))/1000000),2)  as TotalVolumeQty,"
                " round(((Sum(NSEDelyQty) + Sum(BSEDelyQty)) / 1000000), 2) As TotalDelyQty") +
                fillers(3),
            dayTotals(state.firstDate, secondDate, Sql())) +
        " as totals order by TradingDate desc");
}

// One scrip's figures of a day (in millions for the values).
QString dayFigures()
{
    return QStringLiteral(
        "(nsetrdqty+bsetrdqty) AS Vol, (nsedelyqty+bsedelyqty) AS Dely,"
        " round(((nsetrdqty*nseclprice)+(bsetrdqty*bseclprice))/1000000,2) AS Volvalue,"
        " round(((nsedelyqty*nseclprice)+(bsedelyqty*bseclprice))/1000000,2) AS Delyvalue");
}

Sql stockDay(const QDate& day, const char* alias)
{
    return Sql(QStringLiteral("(SELECT MTO.scriptcode, ScripMaster.company, ") + dayFigures() +
               QStringLiteral(" FROM ScripMaster INNER JOIN MTO ON ScripMaster.srno=MTO.ScriptCode WHERE transdate=")) +
           Sql::value(day) + Sql(QStringLiteral(") AS %1").arg(QLatin1String(alias)));
}

Sql stockAverage(const QDate& from, const QDate& to, const char* alias)
{
    return Sql(QStringLiteral(
               "(SELECT MTO.scriptcode, round(avg(nsetrdqty+bsetrdqty),0) AS Vol, round(avg(nsedelyqty+bsedelyqty),0) AS Dely,"
               " round(avg(round(((nsetrdqty*nseclprice)+(bsetrdqty*bseclprice))/1000000,2)),0) AS Volvalue,"
               " round(avg(round(((nsedelyqty*nseclprice)+(bsedelyqty*bseclprice))/1000000,2)),0) AS Delyvalue"
               " FROM MTO WHERE transdate")) +
           between(from, to) + Sql(QStringLiteral(" group by scriptcode) AS %1").arg(QLatin1String(alias)));
}

BranchResult stockStatistics(RunContext& context)
{
    RunState& state = context.state;
    state.secondDate = state.previousTradingDay();
    state.thirdDate = state.tradingDayBefore(30);
    state.fourthDate = state.tradingDayBefore(5);
    // The four tables meet on the scrip, so that two scrips of one company
    // name are never set beside each other.
    QStringList list{QStringLiteral("a.company AS company")};
    for (const char* figure : {"vol", "dely"})
        for (const char* table : {"a", "b", "c", "d"})
            list.append(QStringLiteral("%1.%2 AS [%1.%2]").arg(QLatin1String(table), QLatin1String(figure)));
    for (const char* figure : {"volvalue", "delyvalue"})
        for (const char* table : {"a", "b"})
            list.append(QStringLiteral("%1.%2 AS [%1.%2]").arg(QLatin1String(table), QLatin1String(figure)));
    return BranchResult::result(Sql(QStringLiteral("SELECT ") + list.join(QStringLiteral(", ")) + QStringLiteral(" FROM ")) +
                                stockDay(state.firstDate, "a") + ", " + stockDay(state.secondDate, "b") + ", " +
                                stockAverage(state.firstDate, state.fourthDate, "c") + ", " +
                                stockAverage(state.firstDate, state.thirdDate, "d") +
                                " WHERE a.scriptcode = b.scriptcode and a.scriptcode = c.scriptcode"
                                " and a.scriptcode = d.scriptcode order by a.company, a.scriptcode");
}

// A field of the comma-separated file: quoted when it holds a comma, a quote
// or a line break, so that a company name never shifts the columns.
QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// A figure as the file writes it: rounded to `places` when asked (-1 keeps
// it as stored), an empty value as an empty field.
QString csvNumber(const QVariant& value, int places = -1)
{
    if (value.isNull())
        return {};
    const double number = value.toDouble();
    return store::jetNumberText(places < 0 ? number : store::jetRound(number, places));
}

// A quantity in lakhs (hundred thousands), 2 places.
QString csvLakhs(const QVariant& value)
{
    return value.isNull() ? QString() : csvNumber(value.toDouble() / 100000, 2);
}

}  // namespace

QString belmoraCsvFileName(const QDate& firstDate)
{
    return QStringLiteral("KWF%1%2%3.csv")
        .arg(firstDate.day(), 2, 10, QLatin1Char('0'))
        .arg(datetext::monthAbbreviation(firstDate.month()))
        .arg(firstDate.year(), 4, 10, QLatin1Char('0'));
}

QString writeBelmoraCsv(store::Database& db, const QString& folder, const QDate& firstDate, const QDate& secondDate)
{
    const store::Rows rows = db.query(QStringLiteral("Select * from tBelmoraResult"));
    const QString path = folder + QLatin1Char('/') + belmoraCsvFileName(firstDate);
    QFile file(path);
    const auto cannotBeWritten = [&path, &file] {
        return std::runtime_error(
            QStringLiteral("%1 cannot be written: %2").arg(store::shownPath(path), file.errorString()).toStdString());
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        throw cannotBeWritten();
    QTextStream out(&file);
    out << "company,groupcode,query,tvol,pvol,tdely,pdely,tdelyperc,TPrice,PPrice,todays date,previous date\n";
    for (int r = 0; r < rows.size(); ++r) {
        auto value = [&rows, r](const char* column) { return rows.value(r, QString::fromLatin1(column)); };
        const QStringList fields{csvField(value("company").toString()),
                                 csvField(value("groupcode").toString()),
                                 csvField(value("query").toString()),
                                 csvLakhs(value("tvol")),
                                 csvLakhs(value("pvol")),
                                 csvLakhs(value("tdely")),
                                 csvLakhs(value("pdely")),
                                 csvNumber(value("tdelyperc")),
                                 csvNumber(value("tprice"), 2),
                                 csvNumber(value("pprice"), 2),
                                 datetext::toDisplay(firstDate),
                                 datetext::toDisplay(secondDate)};
        out << fields.join(QLatin1Char(',')) << '\n';
    }
    out.flush();
    if (out.status() != QTextStream::Ok || !file.flush())
        throw cannotBeWritten();
    return path;
}

void registerClientBranches(BranchRegistry& registry)
{
    registry.add(QStringLiteral("Maltry Query"), maltryQuery);
    registry.add(QStringLiteral("QXV Query"), qxvQuery);
    registry.add(QStringLiteral("View All Records"), viewAllRecords);
    registry.add(QStringLiteral("Total Delivery Value"), totalDeliveryValue);
    registry.add(QStringLiteral("Total Delivery Value - Harnwell"), totalDeliveryValueHarnwell);
    registry.add(QStringLiteral("Stock Statistics"), stockStatistics);
}

}  // namespace query
