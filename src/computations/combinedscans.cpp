// Three-condition combined scans: traded quantity and delivery rising on
// every one of the last N trading days while the close rises (or falls).

#include "computations/scanbranches.h"

#include "computations/scanframe.h"
#include "query/runstate.h"

namespace computations {

using query::Exchange;
using query::Sql;

namespace {

double positive(double value)
{
    return value > 0 ? value : 0;
}

CombinedDay combinedDay(Exchange exchange, const ScanDay& day)
{
    switch (exchange) {
    case Exchange::Nse: return {positive(day.nseTraded), positive(day.nseDelivered), positive(day.nseClose)};
    case Exchange::Bse: return {positive(day.bseTraded), positive(day.bseDelivered), positive(day.bseClose)};
    case Exchange::Combined: break;
    }
    return {positive(day.nseTraded + day.bseTraded), positive(day.nseDelivered + day.bseDelivered),
            positive(day.nseClose > 0 ? day.nseClose : day.bseClose)};
}

// queryresult1's layout: the chosen exchange's figures under neutral names,
// then (NSE and BSE) the other exchange's figures of the same days.
QString copiedColumns(Exchange exchange)
{
    switch (exchange) {
    case Exchange::Nse:
        return QStringLiteral("w.scriptcode,w.nsetrdqty,w.nsedelyqty,w.nseperc,w.TransDate,w.nseclprice,"
                              "w.bsetrdqty,w.bsedelyqty,w.bseperc,w.bseclprice");
    case Exchange::Bse:
        return QStringLiteral("w.scriptcode,w.bsetrdqty,w.bsedelyqty,w.bseperc,w.TransDate,w.bseclprice,"
                              "w.nsetrdqty,w.nsedelyqty,w.nseperc,w.nseclprice");
    case Exchange::Combined: break;
    }
    return QStringLiteral("w.scriptcode,(w.nsetrdqty+w.bsetrdqty),(w.nsedelyqty+w.bsedelyqty),"
                          "round((((w.nsedelyqty+w.bsedelyqty)*100) / iif(w.nsetrdqty+w.bsetrdqty>0,"
                          "(w.nsetrdqty+w.bsetrdqty),1)),2),w.TransDate,iif(w.nseclprice>0,w.nseclprice,w.bseclprice),"
                          "null,null,null,null");
}

QList<store::Column> combinedLayout()
{
    using store::ColumnKind;
    QList<store::Column> columns{{QStringLiteral("scriptcode"), ColumnKind::Integer}};
    for (const char* name : {"trdqty", "delyqty", "perc"})
        columns.append({QString::fromLatin1(name), ColumnKind::Real});
    columns.append({QStringLiteral("transdate"), ColumnKind::Date});
    for (const char* name : {"clprice", "bsetrdqty", "bsedelyqty", "bseperc", "bseclprice"})
        columns.append({QString::fromLatin1(name), ColumnKind::Real});
    return columns;
}

// The range boxes test the scan's own figures on the first date.
query::MeasureColumns combinedMeasures(Exchange exchange)
{
    return query::MeasureColumns::ofScanTable(exchange, QStringLiteral("a"));
}

Sql combinedResultSelect(const query::RunState& state)
{
    const QString listedOnNse = QStringLiteral(
        " from QueryResult1,scripmaster,nnf_security where queryresult1.scriptcode = scripmaster.srno"
        " and scripmaster.nsescrip = nnf_security.symbol and nnf_security.segment = 'EQ'");
    QString select;
    switch (state.exchange) {
    case Exchange::Nse:
        select = QStringLiteral("select nnf_security.srno,bsescrip,nsescrip,company as Stock,TransDate as TrnDate,"
                                " trdqty as NSETrdQty, delyqty as NSEDelyQty, clprice as NSEPrice,"
                                "BSEtrdqty as BSETrdQty,BSEdelyqty as BSEDelQty,bseclprice as BSEPrice") +
                 listedOnNse;
        break;
    case Exchange::Bse:
        // The bse-named columns hold the NSE figures of the same days.
        select = QStringLiteral("select bsescrip,nsescrip,company as Stock,TransDate as TrnDate, trdqty as BSETrdQty,"
                                " delyqty as BSEDelyQty, clprice as BSEPrice,bsetrdqty as NSETrdQty,"
                                " bsedelyqty as NSEDelyQty,bseclprice as NSEPrice"
                                " from QueryResult1,scripmaster where queryresult1.scriptcode = scripmaster.srno");
        break;
    case Exchange::Combined:
        select = QStringLiteral("select nnf_security.srno,bsescrip,nsescrip,company as Stock,TransDate as TrnDate,"
                                " trdqty as TotalTrdQty, delyqty as TotalDelyQty, clprice as Price,"
                                "round(((delyqty/trdqty)*100),2) as [Dely %]") +
                 query::fillers(3) + listedOnNse;
        break;
    }
    return Sql(select) + rangeOnFirstDate(state, QStringLiteral("queryresult1.scriptcode"), combinedMeasures(state.exchange)) +
           " order by company,queryresult1.TransDate desc";
}

query::Branch combinedBranch(bool risingPrice)
{
    return [risingPrice](query::RunContext& context) {
        const query::RunState& state = context.state;
        ScanFrame frame(context, ScripListing::ByExchange);
        rangeOnFirstDate(state, QStringLiteral("queryresult1.scriptcode"), combinedMeasures(state.exchange));
        frame.defineWindow();
        QList<qint64> passing;
        frame.scan([&](const ScanScrip& scrip) {
            // Only a scrip with a row on each of the N days is tested.
            if (scrip.days.size() != frame.days())
                return;
            QList<CombinedDay> days;
            for (const ScanDay& day : scrip.days)
                days.append(combinedDay(state.exchange, day));
            if (risesWithPrice(days, frame.days(), risingPrice))
                passing.append(scrip.code);
        });
        frame.copyPassingScrips(passing, combinedLayout(), copiedColumns(state.exchange));
        return query::BranchResult::result(combinedResultSelect(state));
    };
}

}  // namespace

bool risesWithPrice(const QList<CombinedDay>& newestFirst, int days, bool risingPrice)
{
    if (days < 2 || newestFirst.size() < days)
        return false;
    for (int i = 2; i <= days; ++i) {
        const CombinedDay& older = newestFirst.at(i - 1);
        const CombinedDay& newer = newestFirst.at(i - 2);
        const bool priceMoved = risingPrice ? older.close < newer.close : older.close > newer.close;
        if (!(older.traded < newer.traded && older.delivered < newer.delivered && priceMoved))
            return false;
    }
    return true;
}

void registerCombinedScanBranches(query::BranchRegistry& registry)
{
    registry.add(QStringLiteral("Rising Traded Qty, Rising Delivery Qty, Rising Price"), combinedBranch(true));
    registry.add(QStringLiteral("Rising Traded Qty, Rising Delivery Qty, Falling Price"), combinedBranch(false));
}

}  // namespace computations
