// Delivery against its N-day average: the scrips whose newest delivery
// quantity (or percentage) lies above or below its average over the last N
// trading days, one row per scrip with the average as DMA.

#include "computations/scanbranches.h"

#include "computations/scanframe.h"
#include "query/plainstatements.h"
#include "query/worktable.h"
#include "store/database.h"
#include "store/datetext.h"
#include "store/jetfunctions.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace computations {

using query::Exchange;
using query::Sql;

namespace {

// The marker of a window row without an average.
const char* const kNoAverage = "0.01";

double positive(double value)
{
    return value > 0 ? value : 0;
}

struct AverageQuery {
    const char* label;
    bool percentage;
    bool above;
};

const AverageQuery kAverageQueries[] = {
    {"Delivery Qty moving above Average Delivery Qty", false, true},
    {"Delivery Qty moving below Average Delivery Qty", false, false},
    {"Delivery % Qty moving above its Average % Delivery Qty", true, true},
    {"Delivery % Qty moving below its Average % Delivery Qty", true, false},
};

// The delivery percentage of both exchanges' sums of a row (columns
// qualified by `q`, "w." or empty); a day without trades counts as 0 %.
QString combinedPercent(const QString& q = {})
{
    return QStringLiteral("iif((%1bsetrdqty+%1nsetrdqty)>0,(%1bsedelyqty+%1nsedelyqty)*100/(%1bsetrdqty+%1nsetrdqty),0)")
        .arg(q);
}

// The row's own figure that its average is compared with, on QR as `w`.
QString comparedFigure(bool percentage, Exchange exchange)
{
    switch (exchange) {
    case Exchange::Nse: return percentage ? QStringLiteral("w.nseperc") : QStringLiteral("w.nsedelyqty");
    case Exchange::Bse: return percentage ? QStringLiteral("w.bseperc") : QStringLiteral("w.bsedelyqty");
    case Exchange::Combined:
        return percentage ? combinedPercent(QStringLiteral("w.")) : QStringLiteral("w.nsedelyqty+w.bsedelyqty");
    }
    return {};
}

// The result's select list, order and extra condition by query and exchange.
Sql averageResultSelect(const AverageQuery& query, Exchange exchange)
{
    const QString nsePerc = QStringLiteral("nseperc As [% NSEDely]");
    const QString bsePerc = QStringLiteral("bseperc As [% BSEDely]");
    const QString nseDely = QStringLiteral("nsedelyqty as NSEDelQty");
    const QString bseDely = QStringLiteral("BSEdelyqty as BSEDelQty");
    QString select;
    QString order;
    QString condition;
    if (!query.percentage) {
        switch (exchange) {
        case Exchange::Nse:
            select = QStringLiteral("select company as Stock,nsescrip as Symbol,DMA as NSEAvgQty,nsedelyqty as NSEDelQty,"
                                    "round(((nsedelyqty*100)/dma)-100,2) as [%Chg],") + bseDely;
            order = QStringLiteral("round(((nsedelyqty*100)/dma)-100,2)");
            break;
        case Exchange::Bse:
            select = QStringLiteral("select company as Stock,nsescrip as Symbol, DMA as BSEAvgQty,bsedelyqty as BSEDelQty,"
                                    "round(((bsedelyqty*100)/dma)-100,2) as [%Chg],") + nseDely;
            order = QStringLiteral("round(((bsedelyqty*100)/dma)-100,2)");
            break;
        case Exchange::Combined:
            select = QStringLiteral("select company as Stock,nsescrip as Symbol,DMA as AvgQty,nsedelyqty+bsedelyqty as DelQty,"
                                    "round((((nsedelyqty+bsedelyqty)*100)/dma)-100,2) as [%Chg],") +
                     (query.above ? bseDely + QLatin1Char(',') + nseDely : nseDely + QLatin1Char(',') + bseDely);
            order = QStringLiteral("round((((nsedelyqty+bsedelyqty)*100)/dma)-100,2)");
            break;
        }
        if (query.above)
            order += QStringLiteral(" desc");
    } else {
        switch (exchange) {
        case Exchange::Nse:
            select = QStringLiteral("select company as Stock,DMA as [NSEAvgDely %],nseperc as NSEDelyPercQty,"
                                    "round(((nseperc*100)/dma)-100,2) as [%Chg],") + bsePerc;
            order = QStringLiteral("round(((nseperc*100)/dma)-100,2)");
            break;
        case Exchange::Bse:
            select = QStringLiteral("select company as Stock,DMA as [BSEAvgDely %], bseperc as BSEDelyPercQty,"
                                    "round(((bseperc*100)/dma)-100,2) as [%Chg],") + nsePerc;
            order = QStringLiteral("round(((bseperc*100)/dma)-100,2)");
            break;
        case Exchange::Combined: {
            const QString percent = combinedPercent();
            select = QStringLiteral("select company as Stock,DMA as [AvgDely %],round(%1,2) as [Dely%Qty],"
                                    "round((%1*100/dma)-100,2) as [%Chg],")
                         .arg(percent) +
                     nsePerc + QLatin1Char(',') + bsePerc;
            condition = QStringLiteral(" and dma %1 %2").arg(query.above ? QLatin1Char('<') : QLatin1Char('>')).arg(percent);
            // Both combined percentage queries list the largest change first.
            order = QStringLiteral("round((%1*100/dma)-100,2) desc").arg(percent);
            break;
        }
        }
        if (query.above && exchange != Exchange::Combined)
            order += QStringLiteral(" desc");
    }
    return Sql(select + QStringLiteral(" From queryresult1, Scripmaster where queryresult1.scriptcode = srno") +
               condition + QStringLiteral(" order by ") + order + QStringLiteral(", company"));
}

}  // namespace

double averagedFigure(bool percentage, Exchange exchange, const ScanDay& day)
{
    if (!percentage) {
        if (exchange == Exchange::Combined)
            return positive(day.nseDelivered) + positive(day.bseDelivered);
        return positive(exchange == Exchange::Nse ? day.nseDelivered : day.bseDelivered);
    }
    if (exchange != Exchange::Combined)
        return positive(exchange == Exchange::Nse ? day.nsePercent : day.bsePercent);
    // A day without trades counts as 0 %, as on one exchange. Otherwise the
    // day's sums are kept in single precision and floored at 1.
    float delivered = static_cast<float>(positive(day.nseDelivered) + positive(day.bseDelivered));
    float traded = static_cast<float>(positive(day.nseTraded) + positive(day.bseTraded));
    if (!(traded > 0.0f))
        return 0;
    if (delivered < 1.0f)
        delivered = 1.0f;
    if (traded < 1.0f)
        traded = 1.0f;
    const float percent = delivered * 100.0f / traded;
    return store::jetRound(static_cast<double>(percent), 2);
}

std::optional<double> dayAverage(const QList<double>& newestFirst, int days)
{
    // No average unless the day before the newest holds more than 1.
    if (!(entry(newestFirst, 2) > 1.0) || days <= 0)
        return std::nullopt;
    double sum = 0;
    for (int j = 1; j <= days; ++j)
        sum += entry(newestFirst, j);
    const double average = sum / days;
    if (!(average > 0))
        return std::nullopt;
    return store::jetRound(average, 2);
}

namespace {

query::Branch averageBranch(const AverageQuery& query)
{
    return [query](query::RunContext& context) {
        const Exchange exchange = context.state.exchange;
        ScanFrame frame(context, exchange == Exchange::Combined ? ScripListing::Everyone : ScripListing::ByExchange);
        // The day averages go into the window rows of QR when plain
        // statements are asked for; otherwise they meet the day rows of mto
        // straight away.
        const bool windowTable = query::plainStatementsOnly();
        const QList<ExtraColumn> noAverage{{QStringLiteral("DMA"), QString::fromLatin1(kNoAverage)}};
        if (windowTable)
            frame.makeWindowTable(noAverage);
        else
            frame.defineWindow(noAverage);

        QJsonArray averages;
        frame.scan([&](const ScanScrip& scrip) {
            QList<double> figures;
            for (const ScanDay& day : scrip.days)
                figures.append(averagedFigure(query.percentage, exchange, day));
            if (const auto average = dayAverage(figures, frame.days()))
                averages.append(QJsonArray{scrip.code, datetext::toStorage(scrip.days.first().day), *average});
        });

        store::Database& db = context.db;
        db.exec(QStringLiteral("drop table if exists temp.dayaverage"));
        db.exec(QStringLiteral("create temp table dayaverage (scriptcode INTEGER, TransDate DATE, DMA REAL,"
                               " primary key (scriptcode, TransDate))"));
        db.exec(QStringLiteral("insert into temp.dayaverage select json_extract(value,'$[0]'),"
                               " json_extract(value,'$[1]'), json_extract(value,'$[2]') from json_each(?)"),
                {QString::fromUtf8(QJsonDocument(averages).toJson(QJsonDocument::Compact))});
        if (windowTable)
            db.exec(QStringLiteral(
                "update QR set DMA = (select a.DMA from temp.dayaverage as a where a.scriptcode = QR.scriptcode"
                " and a.TransDate = QR.TransDate) where exists (select 1 from temp.dayaverage as a"
                " where a.scriptcode = QR.scriptcode and a.TransDate = QR.TransDate)"));

        QList<store::Column> columns = db.tableColumns(QStringLiteral("mto"));
        QStringList copied;
        for (const auto& column : columns) {
            const bool listedCode = column.name.compare(QLatin1String("NSEScriptCode"), Qt::CaseInsensitive) == 0 ||
                                    column.name.compare(QLatin1String("BSEScriptCode"), Qt::CaseInsensitive) == 0;
            copied.append(listedCode ? QStringLiteral("null") : QStringLiteral("w.") + store::quoteIdentifier(column.name));
        }
        columns.append({QStringLiteral("DMA"), store::ColumnKind::Real});
        copied.append(QStringLiteral("w.DMA"));
        // Every window row of QR but the days with an average keeps 0.01; the
        // day rows with an average are those of temp.dayaverage.
        const QString rows = windowTable ? QStringLiteral("QR as w")
                                         : QStringLiteral("(select m.*, a.DMA as DMA from temp.dayaverage as a, mto as m"
                                                          " where m.scriptcode = a.scriptcode and m.TransDate = a.TransDate"
                                                          " order by m.scriptcode) as w");
        query::remakeWorkTable(db, QStringLiteral("queryresult1"), columns,
                               Sql(QStringLiteral("select %1 from %5 where w.DMA %2 %3 and w.DMA <> %4")
                                       .arg(copied.join(QLatin1Char(',')), query.above ? QStringLiteral("<") : QStringLiteral(">"),
                                            comparedFigure(query.percentage, exchange), QString::fromLatin1(kNoAverage), rows)));
        db.exec(QStringLiteral("drop table temp.dayaverage"));
        return query::BranchResult::result(averageResultSelect(query, exchange));
    };
}

}  // namespace

void registerAverageChangeBranches(query::BranchRegistry& registry)
{
    for (const auto& query : kAverageQueries)
        registry.add(QString::fromUtf8(query.label), averageBranch(query));
}

}  // namespace computations
