#include "query/runstate.h"

#include "query/catalogue.h"
#include "query/countboxes.h"
#include "query/worktable.h"
#include "store/datetext.h"
#include "store/jetfunctions.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace query {

namespace refusals {

QString noTradesData()
{
    return QStringLiteral("The \"Trades\" range cannot be applied: the market data holds no number of trades.");
}

QString notATradingDay(const QDate& day)
{
    return QStringLiteral("%1 is not a trading day.").arg(datetext::toDisplay(day));
}

QString tooFewTradingDays(const QDate& firstDate)
{
    return QStringLiteral("There are not enough trading days before %1 for this query.")
        .arg(datetext::toDisplay(firstDate));
}

}  // namespace refusals

namespace {

// The two queries whose percentage is their own, not a window length.
bool usesAbnormalPercent(const QString& label)
{
    return label == QLatin1String("Abnormal Change in delivery qty over previous day") ||
           label == QLatin1String("Abnormal Change in % delivery qty over previous day");
}

}  // namespace

MeasureColumns MeasureColumns::ofMto(Exchange exchange, const QString& alias)
{
    const QString q = alias.isEmpty() ? QString() : alias + QLatin1Char('.');
    MeasureColumns columns;
    auto set = [&columns](RangeMeasure measure, const QString& expression) {
        columns.expressions[static_cast<int>(measure)] = expression;
    };
    if (exchange == Exchange::Combined) {
        const QString traded = QStringLiteral("(%1nsetrdqty+%1bsetrdqty)").arg(q);
        const QString delivered = QStringLiteral("(%1nsedelyqty+%1bsedelyqty)").arg(q);
        set(RangeMeasure::Price, QStringLiteral("iif(%1nseclprice>0,%1nseclprice,%1bseclprice)").arg(q));
        set(RangeMeasure::TradedQty, traded);
        set(RangeMeasure::DeliveryQty, delivered);
        // The percentage of the sums as it is, not rounded for showing.
        set(RangeMeasure::DeliveryPercent, QStringLiteral("((%1*100)/iif(%2>0,%2,1))").arg(delivered, traded));
    } else {
        const QString own = q + (exchange == Exchange::Nse ? QStringLiteral("nse") : QStringLiteral("bse"));
        set(RangeMeasure::Price, own + QStringLiteral("clprice"));
        set(RangeMeasure::TradedQty, own + QStringLiteral("trdqty"));
        set(RangeMeasure::DeliveryQty, own + QStringLiteral("delyqty"));
        set(RangeMeasure::DeliveryPercent, own + QStringLiteral("perc"));
    }
    // The market data keeps no number of trades: the Trades measure has no
    // column in any statement over mto.
    return columns;
}

MeasureColumns MeasureColumns::ofScanTable(Exchange exchange, const QString& alias)
{
    const QString q = alias + QLatin1Char('.');
    MeasureColumns columns;
    columns.expressions[static_cast<int>(RangeMeasure::Price)] = q + QStringLiteral("clprice");
    columns.expressions[static_cast<int>(RangeMeasure::TradedQty)] = q + QStringLiteral("trdqty");
    columns.expressions[static_cast<int>(RangeMeasure::DeliveryQty)] = q + QStringLiteral("delyqty");
    columns.expressions[static_cast<int>(RangeMeasure::DeliveryPercent)] =
        exchange == Exchange::Combined ? QStringLiteral("((%1delyqty*100)/iif(%1trdqty>0,%1trdqty,1))").arg(q)
                                       : q + QStringLiteral("perc");
    return columns;
}

Sql RunState::rangeCondition(const MeasureColumns& columns) const
{
    Sql condition;
    for (int i = 0; i < kRangeMeasureCount; ++i) {
        const RangeBox& box = ranges[i];
        if (!box.ticked)
            continue;
        const QString& expression = columns.expressions[i];
        if (expression.isEmpty())
            throw Refusal(refusals::noTradesData());
        if (!condition.text.isEmpty())
            condition += " and ";
        condition += Sql(QLatin1Char(' ') + expression + QStringLiteral(" >= ")) + Sql::value(std::min(box.low, box.high)) +
                     Sql(QStringLiteral(" and ") + expression + QStringLiteral(" <= ")) +
                     Sql::value(std::max(box.low, box.high));
    }
    return condition;
}

Sql RunState::andRangeCondition(const MeasureColumns& columns) const
{
    const Sql condition = rangeCondition(columns);
    return condition.isBlank() ? Sql() : Sql(" and ") + condition;
}

bool RunState::hasRangeFilter() const
{
    return std::any_of(ranges.begin(), ranges.end(), [](const RangeBox& box) { return box.ticked; });
}

bool RunState::groupRestricts() const
{
    return !groupCode.isEmpty() && groupCode.compare(QLatin1String("ALL"), Qt::CaseInsensitive) != 0;
}

Sql RunState::groupFilterOn(const QString& scripColumn) const
{
    if (!groupRestricts())
        return {};
    return Sql(" And Exists(Select ScrCode From LinkDetails Where GrpCode = ") + Sql::value(groupCode) +
           Sql(QStringLiteral(" And LinkDetails.ScrCode = %1) ").arg(scripColumn));
}

void RunState::readCounts(const RunInputs& inputs)
{
    const CountBoxes boxes = countBoxes(group, label);
    if (boxes.first)
        count = readCount(inputs.numberText, *boxes.first);
    if (boxes.second) {
        CountBox second = *boxes.second;
        if (boxes.jointMaximum > 0)
            second.maximum = std::min(second.maximum, boxes.jointMaximum - count);
        count2 = readCount(inputs.number2Text, second);
    }
}

QDate RunState::tradingDayBefore(int k) const
{
    if (!calendar.holdsFirstDate())
        throw Refusal(refusals::notATradingDay(firstDate));
    if (const auto day = calendar.dayBefore(k))
        return *day;
    throw Refusal(refusals::tooFewTradingDays(firstDate));
}

QDate RunState::requireSecondDate() const
{
    if (secondDate.isValid())
        return secondDate;
    if (!secondDateIsWindowStart)
        throw Refusal(refusals::selectValidDate());
    if (!calendar.holdsFirstDate())
        throw Refusal(refusals::notATradingDay(firstDate));
    throw Refusal(refusals::tooFewTradingDays(firstDate));
}

RunState buildRunState(const RunInputs& inputs, const QList<QDate>& tradingDates)
{
    if (!inputs.firstDate.isValid())
        throw Refusal(refusals::selectValidDate());

    RunState state;
    state.label = inputs.label;
    state.group = inputs.group;
    state.labelPosition = labelPosition(inputs.group, inputs.label);
    state.exchange = inputs.exchange;
    state.exchangeName = exchangeName(inputs.exchange);
    state.firstDate = inputs.firstDate;
    const WindowBox daysBox = windowBox(inputs.group, inputs.label);
    state.secondDateIsWindowStart = daysBox != WindowBox::None;
    if (!state.secondDateIsWindowStart)
        state.secondDate = inputs.secondDate;
    state.scripText = inputs.scripText;
    state.groupName = inputs.groupName;
    state.groupCode = inputs.groupCode.trimmed();
    state.groupFilter = state.groupFilterOn(QStringLiteral("mto.scriptcode"));
    state.ranges = inputs.ranges;
    state.number = store::jetVal(inputs.numberText);
    state.number2 = store::jetVal(inputs.number2Text);

    for (const qint64 code : inputs.scripCodes) {
        state.scripFilter += Sql(state.scripCount == 0 ? " and scriptcode in (" : ",") + Sql::value(code);
        ++state.scripCount;
    }
    if (state.scripCount > 0)
        state.scripFilter += ")";

    // The window of N trading days ending with the first date gives the
    // second date. The two "over previous day" delivery queries take their
    // number box as a percentage and look 100 trading days back instead.
    double windowDays = daysBox == WindowBox::Second ? state.number2 : state.number;
    if (usesAbnormalPercent(inputs.label)) {
        state.abnormalPercent = state.number;
        windowDays = 100;
    }
    state.calendar = TradingCalendar(tradingDates, state.firstDate);
    if (windowDays >= 1 && windowDays == std::trunc(windowDays)) {
        if (const auto start = state.calendar.dayBefore(static_cast<int>(windowDays) - 1)) {
            state.secondDate = *start;
            state.windowFound = true;
            state.dayPosition = static_cast<int>(windowDays);
        }
    }
    if (!state.windowFound && state.calendar.holdsFirstDate())
        state.dayPosition = state.calendar.daysBefore() + 1;
    return state;
}

void makeAverageDayTable(store::Database& db, const RunState& state)
{
    using store::ColumnKind;
    const QDate secondDate = state.requireSecondDate();
    const QDate from = std::min(state.firstDate, secondDate);
    const QDate to = std::max(state.firstDate, secondDate);

    QList<store::Column> columns{{QStringLiteral("Scrip"), ColumnKind::Text}, {QStringLiteral("TransDate"), ColumnKind::Date}};
    QString selectList;
    QString listedOn = QStringLiteral("nsescriptcode");
    auto real = [&columns](const char* name) { columns.append({QString::fromLatin1(name), ColumnKind::Real}); };
    switch (state.exchange) {
    case Exchange::Nse:
        selectList = QStringLiteral("mto.nsetrdqty,mto.nsedelyqty,mto.nseperc,mto.nseclprice");
        for (const char* name : {"nsetrdqty", "nsedelyqty", "nseperc", "nseclprice"})
            real(name);
        break;
    case Exchange::Bse:
        selectList = QStringLiteral("mto.bsetrdqty,mto.bsedelyqty,mto.bseperc,mto.bseclprice");
        for (const char* name : {"bsetrdqty", "bsedelyqty", "bseperc", "bseclprice"})
            real(name);
        listedOn = QStringLiteral("bsescriptcode");
        break;
    case Exchange::Combined:
        selectList = QStringLiteral(
            "mto.bsetrdqty,mto.nsetrdqty,mto.bsedelyqty,mto.nsedelyqty,mto.bseperc,mto.nseperc,mto.bseclprice,"
            "mto.nseclprice,(mto.bsetrdqty+mto.nsetrdqty),(mto.bsedelyqty+mto.nsedelyqty),"
            "round(((mto.BSEDelyQty + mto.NSEDelyQty) * 100) / (mto.BSETrdQty + mto.NSETrdQty), 2)");
        for (const char* name : {"bsetrdqty", "nsetrdqty", "bsedelyqty", "nsedelyqty", "bseperc", "nseperc", "bseclprice",
                                 "nseclprice", "TotalTrdqty", "TotalDelyQty", "TotalDelyPerc"})
            real(name);
        break;
    }

    const Sql select = Sql(QStringLiteral("select company,mto.TransDate,%1 from mto,scripmaster"
                                          " where srno=mto.scriptcode and trim(mto.%2) <> '' and mto.TransDate between ")
                               .arg(selectList, listedOn)) +
                       Sql::value(from) + " and " + Sql::value(to) + state.scripFilter +
                       state.andRangeCondition(MeasureColumns::ofMto(state.exchange, QStringLiteral("mto"))) +
                       state.groupFilter;
    remakeWorkTable(db, QStringLiteral("queryresult1"), columns, select);
}

}  // namespace query
