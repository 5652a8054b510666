#include "reports/reportbinding.h"

#include "reports/numberformat.h"
#include "store/datetext.h"

#include <QHash>

namespace reports {

namespace {

bool isOneOf(const QString& label, std::initializer_list<const char*> labels)
{
    for (const char* candidate : labels) {
        if (label == QLatin1String(candidate))
            return true;
    }
    return false;
}

QString dayText(const QDate& date)
{
    return datetext::toDisplay(date);
}

// The day written out in English ("December 05,2026") for the delivery
// statistics heading.
QString longDayText(const QDate& date)
{
    return datetext::toLongDisplay(date);
}

bool isAllColumnsLayout(LayoutId id)
{
    return id == LayoutId::DrOIC || id == LayoutId::DrQXV;
}

QString queryHeading(LayoutId id, const ReportFacts& facts)
{
    const QString& label = facts.queryLabel;
    if (isAllColumnsLayout(id))
        return label;
    if (facts.queryGroup == QueryGroup::Research) {
        return label + QLatin1Char(' ') + facts.secondParameter.caption + QLatin1Char(' ')
               + facts.secondParameter.text + QStringLiteral(" Days & ") + facts.firstParameter.caption
               + QLatin1Char(' ') + facts.firstParameter.text + QStringLiteral(" Days");
    }
    if (facts.queryGroup == QueryGroup::RisingFalling) {
        // "Rising Price for N days" with 3 days reads "Rising Price for 3 Days".
        return label.chopped(std::min<qsizetype>(6, label.size())) + facts.firstParameter.text
               + QStringLiteral(" Days");
    }
    return label;
}

QString dateHeading(const ReportFacts& facts)
{
    if (facts.queryGroup == QueryGroup::Average)
        return dayText(facts.firstDate) + QStringLiteral(" - To : ") + dayText(facts.secondDate);
    return dayText(facts.firstDate);
}

QString topTenHeading(LayoutId id, const ReportFacts& facts)
{
    const QString day = dayText(facts.firstDate);
    if (id == LayoutId::DrBelm) {
        static const QHash<Exchange, QString> prefixes{{Exchange::Nse, QStringLiteral("NSE Top ")},
                                                        {Exchange::Bse, QStringLiteral("BSE Top ")},
                                                        {Exchange::Combined, QStringLiteral("NSE+BSE Top ")}};
        return prefixes.value(facts.exchange) + facts.queryLabel + QStringLiteral(" As On") + day;
    }
    switch (facts.exchange) {
    case Exchange::Nse:
        return QStringLiteral("NSE Top 10 Delivery Scrip As On ") + day;
    case Exchange::Bse:
        return QStringLiteral("BSE Top 10 Delivery Scrip As On ") + day;
    case Exchange::Combined:
        break;
    }
    return QString();
}

void writePageHeader(const Layout& layout, const ReportFacts& facts, ReportDocument& document)
{
    switch (layout.header) {
    case HeaderStyle::QueryHeadings:
        if (!layout.title.isEmpty())
            document.titleLines.append(layout.title);
        document.headerLines = {
            {QString(), facts.groupName.trimmed() + QStringLiteral(" - ") + exchangeName(facts.exchange)},
            {QStringLiteral("Query:"), queryHeading(layout.id, facts)},
            {QStringLiteral("Date :"), dateHeading(facts)},
        };
        break;
    case HeaderStyle::TopTenHeading:
        document.titleLines.append(topTenHeading(layout.id, facts));
        break;
    case HeaderStyle::DeliveryStatistics:
        document.titleLines.append(QStringLiteral("Delivery Statistics - ") + longDayText(facts.firstDate));
        break;
    }
    document.pageText = layout.pageText;
}

// The day columns of the two-day comparison: the day and the day before, in
// four pairs under the figures they compare.
void writeTwoDayHeadings(const ReportFacts& facts, ReportDocument& document)
{
    const QString day = dayText(facts.firstDate).left(6);
    const QString dayBefore = dayText(facts.secondDate).left(6);
    for (qsizetype i = 1; i < document.columns.size(); ++i)
        document.columns[i].heading = (i % 2 == 1) ? day : dayBefore;
    document.headingBands.append({{QString(), 1},
                                  {QStringLiteral("Delivery Qty"), 2},
                                  {QStringLiteral("% Of Del. Qty"), 2},
                                  {QString(), 2},
                                  {QStringLiteral("Trading Qty"), 2}});
}

QString patternFor(const Layout& layout, store::ColumnKind kind)
{
    if (layout.numberRule == NumberRule::LayoutPattern)
        return layout.numberPattern;
    if (kind == store::ColumnKind::Integer)
        return kWholeNumberPattern;
    if (kind == store::ColumnKind::Real)
        return kDecimalNumberPattern;
    return QString();
}

bool isNumericKind(store::ColumnKind kind)
{
    return kind == store::ColumnKind::Integer || kind == store::ColumnKind::Real;
}

// The sums of the layout's total columns, gathered row by row.
class Totals {
public:
    Totals(const Layout& layout, const QList<store::Column>& columns, qsizetype columnCount)
    {
        for (const QString& name : layout.totalColumns) {
            const int column = store::Rows{columns, {}}.columnIndex(name);
            if (column >= 0 && column < columnCount)
                m_sums.append({column, 0.0});
        }
    }

    void add(const QVariantList& row)
    {
        for (auto& [column, sum] : m_sums) {
            const QVariant value = row.value(column);
            if (!value.isNull())
                sum += value.toDouble();
        }
    }

    QStringList line(const Layout& layout, const QList<store::Column>& columns, qsizetype columnCount) const
    {
        if (m_sums.isEmpty())
            return {};
        QStringList totals(columnCount);
        for (const auto& [column, sum] : m_sums) {
            const QString pattern = patternFor(layout, columns[column].kind);
            totals[column] = formatNumber(sum, pattern.isEmpty() ? kDecimalNumberPattern : pattern);
        }
        return totals;
    }

private:
    QList<std::pair<int, double>> m_sums;
};

ResultRowSource rowsOf(const store::Rows& result)
{
    return [&result](const ResultRow& visit) {
        for (const QVariantList& row : result.rows)
            visit(row);
    };
}

}  // namespace

LayoutId chooseLayout(const QString& label, QueryGroup group, Exchange exchange)
{
    if (isOneOf(label, {"Tovil Query - Delivery Value", "Tovil Query - Delivery Volume", "Tovil Query - Cash Volume"}))
        return LayoutId::DrTovilI;
    if (isOneOf(label, {"Increasing Delivery Qty & Decreasing Price", "Increasing Delivery Qty & Increasing Price"}))
        return LayoutId::DrBelm;
    if (label == QLatin1String("Market Strength"))
        return LayoutId::DrMarket;
    if (label == QLatin1String("QXV Query"))
        return LayoutId::DrQXV;
    if ((label == QLatin1String("View All Records") && exchange == Exchange::Combined)
        || label == QLatin1String("Combined Report"))
        return LayoutId::DrOIC;
    if (isOneOf(label, {"52 Week Low", "52 Week High", "Monthly Low", "Monthly High", "Weekly Low", "Weekly High",
                        "200 day SMA Negative", "200 day SMA Positive", "34 day EMA Negative", "34 day EMA Positive",
                        "14 day EMA Negative", "14 day EMA Positive", "3 Months Low Delivery",
                        "3 Months High Delivery", "Fall in Delivery Qty over 3 days",
                        "Rise in Delivery Qty over 3 days", "Abnormal Fall in Delivery Qty",
                        "Abnormal Rise in Delivery Qty", "Top N by Delivery Value"}))
        return LayoutId::DrQuery1;
    if (label == QLatin1String("Total Delivery Value"))
        return LayoutId::DrQueryOi;
    if (isOneOf(label, {"Abnormal Change in Trading qty below Average Trading Qty",
                        "Abnormal Change in Trading qty above Average Trading Qty",
                        "Abnormal Change in delivery qty above Average Delivery Qty",
                        "Abnormal Change in Trading qty over previous day",
                        "Abnormal Change in % delivery qty over previous day",
                        "Abnormal Change in delivery qty over previous day"}))
        return LayoutId::DrQueryOi;
    if (label == QLatin1String("Top N Combined Query"))
        return LayoutId::DrBelmora;
    if (label == QLatin1String("Top 5 Gainer & Loser"))
        return LayoutId::DrQueryOi;

    switch (group) {
    case QueryGroup::Statistical:
        return LayoutId::DrQuery1;
    case QueryGroup::Average:
    case QueryGroup::TopBottom:
        return LayoutId::DrQuery;
    case QueryGroup::Price:
        return LayoutId::DrCombine;
    case QueryGroup::RisingFalling:
    case QueryGroup::Combined:
    case QueryGroup::Research:
    case QueryGroup::Misc:
    case QueryGroup::Kelvarn:
    case QueryGroup::None:
        break;
    }
    return LayoutId::DrQueryOi;
}

ReportDocument bindReport(const ReportFacts& facts, const store::Rows& result)
{
    return bindReport(facts, result.columns, rowsOf(result));
}

ReportDocument bindReport(const ReportFacts& facts, const QList<store::Column>& columns, const ResultRowSource& rows)
{
    return bindReport(chooseLayout(facts.queryLabel, facts.queryGroup, facts.exchange), facts, columns, rows);
}

ReportDocument bindReport(LayoutId id, const ReportFacts& facts, const store::Rows& result)
{
    return bindReport(id, facts, result.columns, rowsOf(result));
}

ReportDocument bindReport(LayoutId id, const ReportFacts& facts, const QList<store::Column>& resultColumns,
                          const ResultRowSource& rows)
{
    const Layout& design = layout(id);
    ReportDocument document;
    document.windowCaption = facts.queryLabel;
    document.orientation = design.orientation;
    writePageHeader(design, facts, document);

    const qsizetype columnCount = design.columns.size();
    const qsizetype boundCount = std::min<qsizetype>(columnCount, resultColumns.size());
    QStringList patterns(columnCount);
    for (qsizetype i = 0; i < columnCount; ++i) {
        const LayoutSlot& slot = design.columns[i];
        ReportColumn column;
        column.width = slot.width;
        if (i < boundCount) {
            const store::Column& source = resultColumns[i];
            column.heading = slot.heading.value_or(source.name);
            column.alignRight = isNumericKind(source.kind);
            patterns[i] = patternFor(design, source.kind);
        } else {
            column.heading = slot.heading.value_or(QString());
        }
        document.columns.append(column);
    }
    if (facts.queryLabel == QLatin1String("Top 5 Gainer & Loser") && !document.columns.isEmpty())
        document.columns.first().canGrow = true;
    if (id == LayoutId::DrBelm)
        writeTwoDayHeadings(facts, document);

    Totals totals(design, resultColumns, boundCount);
    rows([&](const QVariantList& row) {
        QStringList cells(columnCount);
        for (qsizetype i = 0; i < boundCount; ++i)
            cells[i] = formatCell(row.value(i), resultColumns[i].kind, patterns[i]);
        document.rows.append(cells);
        totals.add(row);
    });

    document.totals = totals.line(design, resultColumns, boundCount);
    if (!document.totals.isEmpty())
        document.totals.resize(columnCount);
    if (design.recordCount)
        document.footerLines.append({QStringLiteral("Total No Of Records"), QString::number(document.rows.size())});
    document.footnotes = design.footnotes;
    return document;
}

}  // namespace reports
