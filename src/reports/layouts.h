#pragma once

#include <QList>
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <optional>

// The printed layouts of query results, as data: their detail columns, fixed
// headings, number formats, footers and orientation.
namespace reports {

enum class LayoutId {
    DrQueryOi,
    DrQuery,
    DrQuery1,
    DrCombine,
    DrMarket,
    DrOIC,
    DrQXV,
    DrBelmora,
    DrBelm,
    DrTovilI,
};

// What the page header of a layout shows.
enum class HeaderStyle {
    QueryHeadings,       // group and exchange, "Query:", "Date :"
    TopTenHeading,       // one heading line naming the exchange and the day
    DeliveryStatistics,  // "Delivery Statistics - " and the day written out
};

// How detail values of numeric columns are formatted.
enum class NumberRule {
    ByColumnKind,   // whole numbers "#,##,###", others "#,##,###.##"
    LayoutPattern,  // every numeric column with the layout's own pattern
};

// One detail column of a layout. It takes the result's column of the same
// position; its heading is the fixed caption of the design, or the result
// column's name when the design has none.
struct LayoutSlot {
    double width = 1.0;
    std::optional<QString> heading;
};

struct Layout {
    LayoutId id = LayoutId::DrQueryOi;
    QString name;   // "drqueryoi"
    QString title;  // fixed title line of the design; empty for none
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    HeaderStyle header = HeaderStyle::QueryHeadings;
    QList<LayoutSlot> columns;
    NumberRule numberRule = NumberRule::ByColumnKind;
    QString numberPattern;   // for NumberRule::LayoutPattern
    bool recordCount = true;  // "Total No Of Records" in the report footer
    QStringList totalColumns;  // result columns summed in the report footer
    QStringList footnotes;
    QString pageText;
};

const Layout& layout(LayoutId id);
QList<LayoutId> allLayouts();

}  // namespace reports
