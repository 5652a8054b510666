// Rising and falling runs over N days: the scrips whose delivery quantity,
// delivery percentage, traded quantity or close moved strictly the same way
// on every step of the last N trading days, with those N days listed.

#include "computations/scanbranches.h"

#include "computations/scanframe.h"
#include "store/jetfunctions.h"

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

bool isRun(const QList<double>& newestFirst, int days, bool rising)
{
    // Entries past the window's rows count as 0. A single day makes no step
    // and so no run.
    if (days < 2)
        return false;
    for (int k = 2; k <= days; ++k) {
        const double newer = entry(newestFirst, k - 1);
        const double older = entry(newestFirst, k);
        if (rising ? !(older < newer) : !(older > newer))
            return false;
    }
    return true;
}

namespace {

Sql runResultSelect(const query::RunState& state)
{
    QString head;
    switch (state.exchange) {
    case Exchange::Nse:
        head = QStringLiteral("select company as Stock,nsedelyqty as NSEDelQty,BSEdelyqty as BSEDelQty,"
                              " nseclprice as Price,nseperc as [NSEDely%], nsetrdqty as NSETrdQty,BSEtrdqty as BSETrdQty,"
                              "TransDate as TradingDate,") +
               query::filler(2);
        break;
    case Exchange::Bse:
        head = QStringLiteral("select company as Stock, bsedelyqty as BSEDelyQty,nsedelyqty as NSEDelQty,"
                              "bseclprice as Price,bseperc as [BSEDely%],bsetrdqty as BSETrdQty,nsetrdqty as NSETrdqty,"
                              "TransDate as TradingDate,") +
               query::filler(2);
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
    return Sql(head + QStringLiteral(" from QueryResult1,scripmaster where queryresult1.scriptcode = srno")) +
           rangeOnFirstDate(state, QStringLiteral("queryresult1.scriptcode")) +
           " order by company,queryresult1.TransDate desc";
}

query::Branch runBranch(RunMeasure measure, bool rising)
{
    return [measure, rising](query::RunContext& context) {
        ScanFrame frame(context, ScripListing::ByExchange);
        // The range test reads the result's rows; refuse an impossible one
        // before the scan.
        rangeOnFirstDate(context.state, QStringLiteral("queryresult1.scriptcode"));
        frame.defineWindow();
        QList<qint64> passing;
        frame.scan([&](const ScanScrip& scrip) {
            QList<double> series;
            for (const ScanDay& day : scrip.days)
                series.append(runEntry(measure, context.state.exchange, day));
            if (isRun(series, frame.days(), rising))
                passing.append(scrip.code);
        });
        frame.copyPassingScrips(passing);
        return query::BranchResult::result(runResultSelect(context.state));
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
