// Rankings of one trading day: the N highest or lowest scrips by a figure,
// each beside its figure of the previous trading day.

#include "query/rankingbranches.h"

#include "query/branch.h"
#include "query/jettop.h"

namespace query {

namespace {

// The figure a Top/Bottom N query ranks by, on each exchange.
struct RankedFigure {
    // NSE, BSE, combined: the current column, its heading, the previous
    // column and its heading. The current column is also the order key.
    struct Form {
        QString current, currentHeading, previous, previousHeading, guard;
    };
    Form nse, bse, combined;
    int fillerWidth = 2;  // the combined percentage texts name their filler with one no-break space

    const Form& form(Exchange exchange) const
    {
        return exchange == Exchange::Nse ? nse : exchange == Exchange::Bse ? bse : combined;
    }
};

RankedFigure::Form ownExchange(const char* prefix, const char* column, const char* heading, const char* previousHeading)
{
    const QString name = QString::fromLatin1(prefix) + QString::fromLatin1(column);
    return {QStringLiteral("mto.") + name, QString::fromLatin1(heading), QStringLiteral("y.") + name,
            QString::fromLatin1(previousHeading), QStringLiteral("mto.") + name};
}

RankedFigure quantityFigure(const char* column, const char* heading, const char* previousHeading,
                            const char* totalHeading, const char* previousTotalHeading)
{
    RankedFigure figure;
    figure.nse = ownExchange("nse", column, heading, previousHeading);
    figure.bse = ownExchange("bse", column, heading, previousHeading);
    const QString c = QString::fromLatin1(column);
    figure.combined = {QStringLiteral("mto.bse%1+mto.nse%1").arg(c), QString::fromLatin1(totalHeading),
                       QStringLiteral("y.bse%1+y.nse%1").arg(c), QString::fromLatin1(previousTotalHeading), QString()};
    return figure;
}

RankedFigure percentageFigure()
{
    RankedFigure figure;
    figure.nse = ownExchange("nse", "perc", "% Delivery", "Prev % Delivery");
    figure.bse = ownExchange("bse", "perc", "% Delivery", "Prev % Delivery");
    auto combinedPercentage = [](const char* a) {
        return QStringLiteral("round(((((%1.nsedelyqty+%1.bsedelyqty)*100) / "
                              "iif(%1.nsetrdqty+%1.bsetrdqty>0,(%1.nsetrdqty+%1.bsetrdqty),1))),2)")
            .arg(QString::fromLatin1(a));
    };
    figure.combined = {combinedPercentage("mto"), QStringLiteral("TotalDelyQty%"), combinedPercentage("y"),
                       QStringLiteral("Prev % Delivery"), QString()};
    figure.fillerWidth = 1;
    return figure;
}

// "Top N ..." and "Bottom N ...": the scrips with a row on the day and on
// the previous trading day, ranked by the day's figure. The Bottom lists of
// one exchange leave out scrips whose figure is 0 on the day.
Branch topBottomBranch(RankedFigure figure, bool top)
{
    return [figure, top](RunContext& context) {
        RunState& state = context.state;
        state.secondDate = state.previousTradingDay();
        const int n = state.rankCount();
        const RankedFigure::Form& form = figure.form(state.exchange);
        QString guard;
        if (!top && !form.guard.isEmpty())
            guard = QStringLiteral(" and ") + form.guard + QStringLiteral(" > 0");
        const Sql fromWhere = Sql(" from mto,scripmaster, mto as y where srno=mto.scriptcode") + guard +
                              " and mto.TransDate = " + Sql::value(state.firstDate) +
                              " and y.transdate = " + Sql::value(state.secondDate) + " and mto.scriptcode = y.scriptcode " +
                              state.andRangeCondition(MeasureColumns::ofMto(state.exchange, QStringLiteral("mto"))) +
                              state.groupFilter;
        QList<ResultColumn> columns{{QStringLiteral("company"), QStringLiteral("Stock")},
                                    {form.current, form.currentHeading},
                                    {form.previous, form.previousHeading}};
        columns += fillerColumns(1, figure.fillerWidth);
        return BranchResult::result(jetTop(n, columns, fromWhere, form.current, top, QStringLiteral("Stock")));
    };
}

BranchResult topByDeliveryValue(RunContext& context)
{
    RunState& state = context.state;
    state.secondDate = state.previousTradingDay();
    const int n = state.rankCount();
    QList<ResultColumn> columns{{QStringLiteral("company"), QStringLiteral("Stock")}};
    QString orderKey;
    if (state.exchange == Exchange::Combined) {
        columns += {{QStringLiteral("mto.nsedelyqty+mto.bsedelyqty"), QStringLiteral("TotalDeliveryQty")},
                    {QStringLiteral("round((((mto.nsedelyqty * mto.nseclprice)+(mto.bsedelyqty*mto.bseclprice))/10000000),2)"),
                     QStringLiteral("Dely Value In Crs")},
                    {QStringLiteral("y.nsedelyqty+y.bsedelyqty"), QStringLiteral("PrevTotalDelyQty")},
                    {QStringLiteral("round((((y.nsedelyqty * y.nseclprice)+(y.bsedelyqty * y.bseclprice))/10000000),2)"),
                     QStringLiteral("PrevDelyValueInCrs")}};
        orderKey = QStringLiteral("((mto.nsedelyqty*mto.nseclprice)+(mto.bsedelyqty*mto.bseclprice))/10000000");
    } else {
        const QString x = state.exchange == Exchange::Nse ? QStringLiteral("nse") : QStringLiteral("bse");
        columns += {{QStringLiteral("mto.%1delyqty").arg(x), QStringLiteral("DeliveryQty")},
                    {QStringLiteral("round((mto.%1delyqty * mto.%1clprice)/10000000,2)").arg(x),
                     QStringLiteral("Dely Value In Crs")},
                    {QStringLiteral("y.%1delyqty").arg(x), QStringLiteral("PrevDelyQty")},
                    {QStringLiteral("round((y.%1delyqty * y.%1clprice)/10000000,2)").arg(x),
                     QStringLiteral("PrevDelyValueInCrs")}};
        orderKey = QStringLiteral("(mto.%1delyqty*mto.%1clprice)/10000000").arg(x);
    }
    // The combined form shows the NSE closes only.
    const QString x = state.exchange == Exchange::Bse ? QStringLiteral("bse") : QStringLiteral("nse");
    columns += {{QStringLiteral("mto.%1clprice").arg(x), QStringLiteral("TodaysPrice")},
                {QStringLiteral("y.%1clprice").arg(x), QStringLiteral("PrevClPrice")}};
    columns += fillerColumns(1, 2);
    const Sql fromWhere = Sql(" from mto,scripmaster,mto as y where mto.TransDate = ") + Sql::value(state.firstDate) +
                          " and srno=mto.scriptcode and y.transdate = " + Sql::value(state.secondDate) +
                          " and mto.scriptcode = y.scriptcode " +
                          state.andRangeCondition(MeasureColumns::ofMto(state.exchange, QStringLiteral("mto"))) +
                          state.groupFilter;
    return BranchResult::result(jetTop(n, columns, fromWhere, orderKey, true, QStringLiteral("Stock")));
}

// The N scrips with the highest traded quantity, numbered 1, 2, 3 ... by
// their delivery percentage, highest first, and shown in that order.
BranchResult topCombinedQuery(RunContext& context)
{
    RunState& state = context.state;
    if (state.exchange == Exchange::Combined)
        throw Refusal(refusals::optionNotAllowed(), ui::Icon::Critical);
    state.secondDate = state.previousTradingDay();
    const int n = state.rankCount();
    const QString x = state.exchange == Exchange::Nse ? QStringLiteral("nse") : QStringLiteral("bse");
    const QList<ResultColumn> columns{
        {QStringLiteral("0"), QStringLiteral("SrNo")},
        {QStringLiteral("Scripmaster.company"), QStringLiteral("NameOfSecurity")},
        {QStringLiteral("m1.%1trdqty").arg(x), QStringLiteral("Volume")},
        {QStringLiteral("m1.%1delyqty").arg(x), QStringLiteral("DeliveryQty")},
        {QStringLiteral("m1.%1perc").arg(x), QStringLiteral("Per%")},
        {QStringLiteral("m1.%1clprice").arg(x), QStringLiteral("TodaysClosing")},
        {QStringLiteral("m2.%1clprice").arg(x), QStringLiteral("PrvClosing")},
        {QStringLiteral("(m1.%1clprice - m2.%1clprice)").arg(x), QStringLiteral("NetChangeInRsTerms")}};
    const Sql fromWhere = Sql(" from mto m1,mto m2,scripmaster where m1.TransDate = ") + Sql::value(state.firstDate) +
                          " and m1.scriptcode = scripmaster.srno and m1.scriptcode = m2.scriptcode and m2.TransDate = " +
                          Sql::value(state.secondDate);
    FinalStatement final;
    final.select = jetTop(n, columns, fromWhere, QStringLiteral("m1.%1trdqty").arg(x), true, QStringLiteral("NameOfSecurity"));
    final.afterMake = Sql(
        "UPDATE QueryResult SET SrNo = numbered.n FROM"
        " (SELECT rowid AS r, row_number() OVER (ORDER BY \"Per%\" DESC, rowid) AS n FROM QueryResult) AS numbered"
        " WHERE numbered.r = QueryResult.rowid");
    final.viewerOrder = QStringLiteral("srno");
    return BranchResult::result(final);
}

}  // namespace

void registerRankingBranches(BranchRegistry& registry)
{
    const RankedFigure traded = quantityFigure("trdqty", "TradedQty", "PrevTradedQty", "TotalTradedQty", "PrevTotalTradedQty");
    const RankedFigure delivered =
        quantityFigure("delyqty", "DeliveryQty", "PrevDelyQty", "TotalDeliveryQty", "PrevTotalDelyQty");
    const RankedFigure percentage = percentageFigure();
    registry.add(QStringLiteral("Top N Traded Quantity"), topBottomBranch(traded, true));
    registry.add(QStringLiteral("Top N Delivery Quantity"), topBottomBranch(delivered, true));
    registry.add(QStringLiteral("Top N % Delivery Quantity"), topBottomBranch(percentage, true));
    registry.add(QStringLiteral("Bottom N Traded Quantity"), topBottomBranch(traded, false));
    registry.add(QStringLiteral("Bottom N Delivery Quantity"), topBottomBranch(delivered, false));
    registry.add(QStringLiteral("Bottom N % Delivery Quantity"), topBottomBranch(percentage, false));
    registry.add(QStringLiteral("Top N by Delivery Value"), topByDeliveryValue);
    registry.add(QStringLiteral("Top N Combined Query"), topCombinedQuery);
}

}  // namespace query
