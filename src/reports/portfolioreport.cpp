#include "reports/portfolioreport.h"

#include "reports/numberformat.h"
#include "store/datetext.h"

namespace reports {

namespace {

struct Field {
    QString heading;
    QString column;
    double width;
    bool number;
};

QList<Field> fieldsOf(PortfolioLayout layout)
{
    const Field portfolio{QStringLiteral("Portfolio"), QStringLiteral("Name"), 1.6, false};
    const Field company{QStringLiteral("Company"), QStringLiteral("Company"), 2.4, false};
    const QList<Field> holding{
        {QStringLiteral("Total Purchase Value"), QStringLiteral("PurAmt"), 1.2, true},
        {QStringLiteral("Total Sales Value"), QStringLiteral("SalesAmt"), 1.2, true},
        {QStringLiteral("NetQty"), QStringLiteral("NetQty"), 0.9, true},
        {QStringLiteral("Net Purchase Value"), QStringLiteral("NetPurchase"), 1.2, true},
        {QStringLiteral("Curr Price"), QStringLiteral("CurrPrice"), 0.9, true},
        {QStringLiteral("Net Market Value"), QStringLiteral("NetValue"), 1.2, true},
        {QStringLiteral("Gain / Loss"), QStringLiteral("Gainloss"), 1.1, true},
    };
    const QList<Field> detail{
        {QStringLiteral("Date"), QStringLiteral("tdt"), 1.1, false},
        {QStringLiteral("Purchase Qty"), QStringLiteral("PurQty"), 1.0, true},
        {QStringLiteral("Sales Qty"), QStringLiteral("SellQty"), 1.0, true},
        {QStringLiteral("Purchase Value"), QStringLiteral("PurAmt"), 1.2, true},
        {QStringLiteral("Sales Value"), QStringLiteral("SalesAmt"), 1.2, true},
        {QStringLiteral("Curr Price"), QStringLiteral("CurrPrice"), 0.9, true},
    };
    switch (layout) {
    case PortfolioLayout::PortfolioSummary:
        return QList<Field>{portfolio, company} + holding;
    case PortfolioLayout::ScriptSummary:
        return QList<Field>{company, portfolio} + holding;
    case PortfolioLayout::PortfolioDetail:
        return QList<Field>{portfolio, company} + detail;
    case PortfolioLayout::ScriptDetail:
        return QList<Field>{company, portfolio} + detail;
    case PortfolioLayout::Sector:
        return QList<Field>{portfolio, {QStringLiteral("Sector"), QStringLiteral("GroupName"), 1.4, false}, company} + holding;
    }
    return {};
}

}  // namespace

ReportDocument buildPortfolioReport(PortfolioLayout layout, const store::Rows& rows, const QDate& valuationDay,
                                    const QDate& printedOn)
{
    ReportDocument document;
    const bool sector = layout == PortfolioLayout::Sector;
    document.windowCaption = sector ? QStringLiteral("Portfoilo Details - Sector Wise") : QStringLiteral("Portfolio / Script Details");
    document.orientation = QPageLayout::Landscape;
    document.titleLines = {QStringLiteral("Portfolio Details")};
    document.headerLines = {{QStringLiteral("Valuation Date"), datetext::toDisplay(valuationDay)},
                            {QString(), datetext::toDisplay(printedOn)}};
    document.pageText = QStringLiteral("%1 Of %2");

    const QList<Field> fields = fieldsOf(layout);
    QList<int> sources;
    for (const Field& field : fields) {
        document.columns.append({field.heading, field.width, field.number, !field.number});
        sources.append(rows.columnIndex(field.column));
    }
    for (const QVariantList& row : rows.rows) {
        QStringList texts;
        for (qsizetype i = 0; i < fields.size(); ++i) {
            const int source = sources.at(i);
            if (source < 0) {
                texts.append(QString());
                continue;
            }
            const store::ColumnKind kind = rows.columns.at(source).kind;
            QString pattern;
            if (fields.at(i).number)
                pattern = fields.at(i).column.endsWith(QLatin1String("Qty")) ? kWholeNumberPattern : kDecimalNumberPattern;
            texts.append(formatCell(row.value(source), kind, pattern));
        }
        document.rows.append(texts);
    }
    return document;
}

QList<SectorValue> sectorValues(const store::Rows& rows)
{
    QList<SectorValue> sectors;
    const int sectorColumn = rows.columnIndex(QStringLiteral("GroupName"));
    const int valueColumn = rows.columnIndex(QStringLiteral("NetValue"));
    if (sectorColumn < 0 || valueColumn < 0)
        return sectors;
    for (const QVariantList& row : rows.rows) {
        const QString sector = row.value(sectorColumn).toString();
        auto known = std::find_if(sectors.begin(), sectors.end(),
                                  [&sector](const SectorValue& value) { return value.sector == sector; });
        if (known == sectors.end()) {
            sectors.append({sector, 0.0});
            known = sectors.end() - 1;
        }
        known->value += row.value(valueColumn).toDouble();
    }
    std::stable_sort(sectors.begin(), sectors.end(), [](const SectorValue& a, const SectorValue& b) {
        return a.sector.compare(b.sector, Qt::CaseInsensitive) < 0;
    });
    return sectors;
}

}  // namespace reports
