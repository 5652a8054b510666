// Falling then rising runs ("Research Queries"): the scrips whose figure fell
// over the older M days and then rose over the newest N days up to the
// query's day, with every day of that window listed.

#include "computations/scanbranches.h"

#include "computations/scanframe.h"
#include "query/runstate.h"

namespace computations {

using query::Exchange;
using query::Sql;

bool fellThenRose(const QList<double>& newestFirst, int risingDays, int fallingDays)
{
    // A single rising day makes no step and so no run.
    if (risingDays < 2)
        return false;
    for (int i = 2; i <= risingDays; ++i) {
        if (entry(newestFirst, i) >= entry(newestFirst, i - 1))
            return false;
    }
    for (int i = 1; i <= fallingDays; ++i) {
        if (entry(newestFirst, risingDays + i) <= entry(newestFirst, risingDays + i - 1))
            return false;
    }
    return true;
}

namespace {

struct MixedQuery {
    const char* label;
    RunMeasure measure;
    const char* nseColumns;
    const char* bseColumns;
};

// The result shows the tested exchange's figures with the other exchange's
// of the same kind beside them.
const MixedQuery kMixedQueries[] = {
    {"Delivery Quantity", RunMeasure::DeliveryQty,
     "nsedelyqty as NSEDelQty,BSEdelyqty as BSEDelQty,nseclprice as Price,nsetrdqty as NSETrdQty,BSEtrdqty as BSETrdQty",
     "bsedelyqty as BSEDelyQty,nsedelyqty as NSEDelQty,bseclprice as Price,bsetrdqty as BSETrdQty,nsetrdqty as NSETrdqty"},
    {"% Delivery Quantity", RunMeasure::DeliveryPercent,
     "nseperc As [% NSEDely],bseperc As [% BSEDely],nsedelyqty as NSEDelQty,BSEdelyqty as BSEDelQty,nseclprice as Price",
     "bseperc As [% BSEDely],nseperc As [% NSEDely],BSEdelyqty as BSEDelQty,nsedelyqty as NSEDelQty,bseclprice as Price"},
    {"Traded Quantity", RunMeasure::TradedQty,
     "nsetrdqty as NSETrdqty,BSEtrdqty as BSETrdQty,nseclprice as Price,nsedelyqty as NSEDelQty,BSEdelyqty as BSEDelQty",
     "BSEtrdqty as BSETrdQty,nsetrdqty as NSETrdqty,bseclprice as Price,BSEdelyqty as BSEDelQty,nsedelyqty as NSEDelQty"},
    {"Rate", RunMeasure::Price,
     "nsetrdqty as NSETrdqty,BSEtrdqty as BSETrdQty,nseclprice as NSEPrice,bseclprice as BSEPrice,"
     "nsedelyqty as NSEDelQty,BSEdelyqty as BSEDelQty",
     "BSEtrdqty as BSETrdQty,nsetrdqty as NSETrdqty,bseclprice as BSEPrice,nseclprice as NSEPrice,"
     "BSEdelyqty as BSEDelQty,nsedelyqty as NSEDelQty"},
};

query::Branch mixedBranch(const MixedQuery& query)
{
    return [query](query::RunContext& context) {
        query::RunState& state = context.state;
        // These queries compare one exchange's figures only.
        if (state.exchange == Exchange::Combined)
            throw query::Refusal(query::refusals::optionNotAllowed());
        ScanFrame frame(context, ScripListing::ByExchange);
        // N rising days after M falling ones, at most 30 together.
        const int risingDays = frame.days();
        const int fallingDays = state.count2;
        // The window is the N + M trading days ending with the first date; a
        // day that fails a ticked range is left out and the series closes up.
        state.secondDate = state.tradingDayBefore(risingDays + fallingDays - 1);
        frame.useWholeWindow(state.secondDate,
                             state.andRangeCondition(query::MeasureColumns::ofMto(state.exchange, QStringLiteral("mto"))));
        frame.defineWindow();

        QList<qint64> passing;
        frame.scan([&](const ScanScrip& scrip) {
            QList<double> series;
            for (const ScanDay& day : scrip.days)
                series.append(runEntry(query.measure, state.exchange, day));
            if (fellThenRose(series, risingDays, fallingDays))
                passing.append(scrip.code);
        });
        frame.copyPassingScrips(passing, false);

        const char* columns = state.exchange == Exchange::Nse ? query.nseColumns : query.bseColumns;
        return query::BranchResult::result(
            Sql(QStringLiteral("select company as Stock,") + QString::fromUtf8(columns) +
                QStringLiteral(",TransDate as TradingDate,") + query::filler(2) +
                QStringLiteral(" from QueryResult1,scripmaster where queryresult1.scriptcode = srno"
                               " order by company,queryresult1.TransDate desc")));
    };
}

}  // namespace

void registerMixedRunBranches(query::BranchRegistry& registry)
{
    for (const auto& query : kMixedQueries)
        registry.add(QString::fromUtf8(query.label), mixedBranch(query));
}

}  // namespace computations
