#include "viewer/chart2d.h"

#include "viewer/chartscale.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsRectItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <numeric>

namespace viewer {

namespace {

const char* const kCategoryProperty = "chartCategory";
constexpr int kMostLegendEntries = 16;
constexpr double kShadowOffset = 6.0;

// Axis labels must differ from one another; repeated texts get invisible
// zero-width spaces appended.
QString distinctLabel(const QString& text, QStringList& used)
{
    QString label = text;
    while (used.contains(label))
        label += QChar(0x200B);
    used.append(label);
    return label;
}

QCategoryAxis* valueAxis(const ValueScale& scale)
{
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setLabelsFont(chartTextFont());
    axis->setRange(scale.low, scale.high);
    // Every tick ends a category of its own, the lowest one too, so that
    // each gets its label.
    axis->setStartValue(scale.low - scale.step * 1e-6);
    QStringList used;
    for (double tick : scale.ticks())
        axis->append(distinctLabel(scale.label(tick), used), tick);
    return axis;
}

QCategoryAxis* categoryAxis(const ChartData& data, const ValueScale& values, double width)
{
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setLabelsFont(chartTextFont());
    axis->setGridLineVisible(false);
    const int count = int(data.categories.size());
    axis->setRange(-0.5, count - 0.5);
    axis->setStartValue(-0.5);

    const QFontMetricsF metrics(chartTextFont());
    double widest = 0;
    for (const QString& category : data.categories)
        widest = std::max(widest, metrics.horizontalAdvance(categoryLabel(category)));
    double widestValue = 0;
    for (double tick : values.ticks())
        widestValue = std::max(widestValue, metrics.horizontalAdvance(values.label(tick)));
    const double plotWidth = std::max(40.0, width - widestValue - 70);
    const CategoryLabelPlan plan =
        planCategoryLabels(count, QPointF(plotWidth / std::max(1, count), 0), QSizeF(widest, metrics.height()));
    if (plan.turned)
        axis->setLabelsAngle(-90);
    QStringList used;
    for (int i = 0; i < count; ++i) {
        if (plan.shows(i))
            axis->append(distinctLabel(categoryLabel(data.categories[i]), used), i);
    }
    return axis;
}

void addBars(QChart* chart, const ChartData& data, const ChartLook& look)
{
    auto* bars = new QBarSeries;
    bars->setBarWidth(0.8);
    for (int s = 0; s < data.series.size(); ++s) {
        auto* set = new QBarSet(data.series[s].name);
        for (const std::optional<double>& value : data.series[s].values)
            set->append(value.value_or(0.0));
        set->setColor(seriesColour(look, s));
        set->setBorderColor(seriesColour(look, s).darker(135));
        bars->append(set);
    }
    chart->addSeries(bars);
}

void addLines(QChart* chart, const ChartData& data, const ChartLook& look)
{
    for (int s = 0; s < data.series.size(); ++s) {
        auto* line = new QLineSeries;
        line->setName(data.series[s].name);
        const QList<std::optional<double>>& values = data.series[s].values;
        for (int i = 0; i < values.size(); ++i) {
            if (values[i])
                line->append(i, *values[i]);
        }
        QPen pen(seriesColour(look, s), 2);
        line->setPen(pen);
        line->setPointsVisible(values.size() <= 40);
        chart->addSeries(line);
    }
}

// The first series as a pie of its positive values, the largest slices
// first; past kMostPieSlices the smallest are joined as "Others".
void addPie(QChart* chart, const ChartData& data, const ChartLook& look)
{
    auto* pie = new QPieSeries;
    pie->setPieSize(0.8);
    if (!data.series.isEmpty()) {
        const ChartSeriesData& first = data.series.first();
        QList<int> shown;
        for (int i = 0; i < data.categories.size(); ++i) {
            const std::optional<double> value = first.values.value(i);
            if (value && *value > 0)
                shown.append(i);
        }
        std::stable_sort(shown.begin(), shown.end(),
                         [&first](int a, int b) { return *first.values.value(a) > *first.values.value(b); });
        double rest = 0;
        if (shown.size() > kMostPieSlices) {
            for (qsizetype i = kMostPieSlices - 1; i < shown.size(); ++i)
                rest += *first.values.value(shown[i]);
            shown.resize(kMostPieSlices - 1);
        }
        for (int slice = 0; slice < shown.size(); ++slice) {
            const int category = shown[slice];
            QPieSlice* made = pie->append(categoryLabel(data.categories[category]), *first.values.value(category));
            made->setProperty(kCategoryProperty, category);
            made->setColor(look.seriesColours.contains(0) ? look.seriesColours.value(0) : seriesColour(ChartLook(), slice));
            made->setBorderColor(Qt::white);
        }
        if (rest > 0) {
            QPieSlice* others = pie->append(QStringLiteral("Others"), rest);
            others->setProperty(kCategoryProperty, -1);
            others->setColor(QColor(0xb0, 0xb0, 0xb0));
            others->setBorderColor(Qt::white);
        }
    }
    chart->addSeries(pie);
}

}  // namespace

int pieSliceCategory(const QPieSlice* slice)
{
    const QVariant category = slice ? slice->property(kCategoryProperty) : QVariant();
    return category.isValid() ? category.toInt() : -1;
}

QChart* buildChart2D(const ChartData& data, const ChartLook& look, double width)
{
    auto* chart = new QChart;
    chart->setBackgroundRoundness(0);
    chart->legend()->setVisible(true);
    chart->legend()->setFont(chartTextFont());

    // The plot's backdrop: white when it has a wall, a border or a shadow
    // (which falls behind it), hatched for the hatched wall.
    const bool backdrop = look.border || look.shadow || look.wall != ChartLook::Wall::Plain;
    chart->setPlotAreaBackgroundVisible(backdrop);
    chart->setPlotAreaBackgroundBrush(look.wall == ChartLook::Wall::Hatched ? QBrush(QColor(0xa0, 0xa0, 0xa0), Qt::HorPattern)
                                                                          : QBrush(Qt::white));
    chart->setPlotAreaBackgroundPen(look.border ? QPen(Qt::black, 3) : QPen(Qt::NoPen));
    if (look.shadow) {
        // Room for the shadow beside and under the plot.
        chart->setMargins(chart->margins() + QMargins(0, 0, int(kShadowOffset), int(kShadowOffset)));
        auto* shadow = new QGraphicsRectItem(chart);
        shadow->setPen(Qt::NoPen);
        shadow->setBrush(QColor(0x70, 0x70, 0x70, 150));
        shadow->setZValue(-0.5);
        QObject::connect(chart, &QChart::plotAreaChanged, chart,
                         [shadow](const QRectF& plot) { shadow->setRect(plot.translated(kShadowOffset, kShadowOffset)); });
    }
    if (look.wall == ChartLook::Wall::Hatched) {
        // The hatching over a white wall.
        auto* wall = new QGraphicsRectItem(chart);
        wall->setPen(Qt::NoPen);
        wall->setBrush(Qt::white);
        wall->setZValue(-0.4);
        QObject::connect(chart, &QChart::plotAreaChanged, chart, [wall](const QRectF& plot) { wall->setRect(plot); });
    }

    if (look.type == ChartType::Pie2D) {
        addPie(chart, data, look);
        chart->legend()->setAlignment(Qt::AlignRight);
        return chart;
    }
    if (look.type == ChartType::Bar2D)
        addBars(chart, data, look);
    else
        addLines(chart, data, look);
    if (data.series.size() > kMostLegendEntries) {
        chart->legend()->setAlignment(Qt::AlignRight);
        const QList<QLegendMarker*> markers = chart->legend()->markers();
        for (qsizetype i = kMostLegendEntries; i < markers.size(); ++i)
            markers[i]->setVisible(false);
    }
    if (chart->series().isEmpty())
        return chart;
    const ValueScale scale = valueScaleFor(data, look.type == ChartType::Bar2D);
    QCategoryAxis* categories = categoryAxis(data, scale, width);
    QCategoryAxis* values = valueAxis(scale);
    chart->addAxis(categories, Qt::AlignBottom);
    chart->addAxis(values, Qt::AlignLeft);
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(categories);
        series->attachAxis(values);
    }
    return chart;
}

}  // namespace viewer
