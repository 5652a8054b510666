#include "reports/layouts.h"

#include <QHash>

namespace reports {

namespace {

const QString kPagesOf = QStringLiteral("Pages %1 Of %2");

// A first column for names and as many ordinary columns as the design has.
QList<LayoutSlot> nameAndFigures(double nameWidth, int figureColumns)
{
    QList<LayoutSlot> columns{{nameWidth, std::nullopt}};
    for (int i = 0; i < figureColumns; ++i)
        columns.append({1.0, std::nullopt});
    return columns;
}

Layout queryLayout(LayoutId id, const QString& name, QPageLayout::Orientation orientation,
                   QList<LayoutSlot> columns, const QString& title = QString())
{
    Layout layout;
    layout.id = id;
    layout.name = name;
    layout.title = title;
    layout.orientation = orientation;
    layout.header = HeaderStyle::QueryHeadings;
    layout.columns = std::move(columns);
    layout.pageText = kPagesOf;
    return layout;
}

Layout allColumnsLayout(LayoutId id, const QString& name, const QString& pattern)
{
    Layout layout = queryLayout(id, name, QPageLayout::Landscape, nameAndFigures(2.0, 9),
                                QStringLiteral("Open Interest"));
    layout.numberRule = NumberRule::LayoutPattern;
    layout.numberPattern = pattern;
    return layout;
}

Layout topTenLayout()
{
    Layout layout;
    layout.id = LayoutId::DrBelmora;
    layout.name = QStringLiteral("DrBelmora");
    layout.orientation = QPageLayout::Landscape;
    layout.header = HeaderStyle::TopTenHeading;
    layout.columns = {
        {0.6, std::nullopt},
        {2.4, QStringLiteral("Name Of Security")},
        {1.1, std::nullopt},
        {1.1, QStringLiteral("Delivery Qty")},
        {0.8, QStringLiteral("PER (%)")},
        {1.0, QStringLiteral("Todays Closing")},
        {1.0, QStringLiteral("Previous Closing")},
        {1.1, QStringLiteral("Net (+/-) In Rs Terms")},
    };
    layout.recordCount = false;
    layout.pageText = kPagesOf;
    return layout;
}

// The two-day comparison: the name, then four pairs of the day and the day
// before; the day headings are written by the binding.
Layout twoDayLayout()
{
    Layout layout;
    layout.id = LayoutId::DrBelm;
    layout.name = QStringLiteral("DrBelm");
    layout.orientation = QPageLayout::Landscape;
    layout.header = HeaderStyle::TopTenHeading;
    layout.columns = {{2.4, QStringLiteral("Name Of Security")}};
    for (int i = 0; i < 8; ++i)
        layout.columns.append({1.0, QString()});
    layout.recordCount = false;
    layout.pageText = kPagesOf;
    return layout;
}

Layout deliveryStatisticsLayout()
{
    Layout layout;
    layout.id = LayoutId::DrTovilI;
    layout.name = QStringLiteral("DrTovilI");
    layout.orientation = QPageLayout::Landscape;
    layout.header = HeaderStyle::DeliveryStatistics;
    const QString change = QStringLiteral("% C");
    layout.columns = {
        {2.4, QStringLiteral("Name Of Security")},
        {1.0, QStringLiteral("Close Price")},
        {0.6, change},
        {1.2, QStringLiteral("Cash Volume")},
        {0.6, change},
        {1.2, QStringLiteral("Del Volume")},
        {0.6, change},
        {0.8, QStringLiteral("Del Perc.")},
        {0.6, change},
        {1.1, QStringLiteral("Del Value (Rs. mn)")},
        {0.6, change},
    };
    layout.recordCount = false;
    layout.totalColumns = {QStringLiteral("cash vol"), QStringLiteral("del vol"), QStringLiteral("del value")};
    layout.footnotes = {
        QStringLiteral("% C -- % Change From Previous Day"),
        QStringLiteral("Cl Price  -- Close Price"),
        QStringLiteral("Del Perc  -- Delivery % to volume"),
    };
    layout.pageText = QStringLiteral("Page : %1");
    return layout;
}

QHash<LayoutId, Layout> makeLayouts()
{
    const auto portrait = QPageLayout::Portrait;
    const auto landscape = QPageLayout::Landscape;
    QHash<LayoutId, Layout> layouts;
    const QList<Layout> all = {
        queryLayout(LayoutId::DrQueryOi, QStringLiteral("drqueryoi"), landscape, nameAndFigures(2.4, 7)),
        queryLayout(LayoutId::DrQuery, QStringLiteral("drquery"), portrait, nameAndFigures(2.5, 2)),
        queryLayout(LayoutId::DrQuery1, QStringLiteral("drquery1"), portrait, nameAndFigures(2.2, 4)),
        queryLayout(LayoutId::DrCombine, QStringLiteral("DrCombine"), portrait, nameAndFigures(2.4, 3),
                    QStringLiteral("Combine Queries")),
        queryLayout(LayoutId::DrMarket, QStringLiteral("drmarket"), portrait, nameAndFigures(5.0, 1)),
        allColumnsLayout(LayoutId::DrOIC, QStringLiteral("DrOIC"), QStringLiteral("#,##,##,##0.00")),
        allColumnsLayout(LayoutId::DrQXV, QStringLiteral("DrQXV"), QStringLiteral("0.00")),
        topTenLayout(),
        twoDayLayout(),
        deliveryStatisticsLayout(),
    };
    for (const Layout& layout : all)
        layouts.insert(layout.id, layout);
    return layouts;
}

}  // namespace

const Layout& layout(LayoutId id)
{
    static const QHash<LayoutId, Layout> layouts = makeLayouts();
    return *layouts.find(id);
}

QList<LayoutId> allLayouts()
{
    return {LayoutId::DrQueryOi, LayoutId::DrQuery, LayoutId::DrQuery1, LayoutId::DrCombine,
            LayoutId::DrMarket,  LayoutId::DrOIC,   LayoutId::DrQXV,    LayoutId::DrBelmora,
            LayoutId::DrBelm,    LayoutId::DrTovilI};
}

}  // namespace reports
