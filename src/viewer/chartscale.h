#pragma once

#include "viewer/chartdata.h"

#include <QFont>
#include <QList>
#include <QPointF>
#include <QSizeF>
#include <QString>

// The scales of a chart's two axes: round value ticks with plain grouped
// labels, and how many category labels fit side by side. Used by the 2D and
// the 3D chart alike. No widgets here.
namespace viewer {

// A value axis from `low` to `high` in steps of `step`; `low` and `high`
// are whole multiples of `step`.
struct ValueScale {
    double low = 0.0;
    double high = 1.0;
    double step = 1.0;

    QList<double> ticks() const;
    // Where `value` lies on the axis, 0 at `low` and 1 at `high`.
    double fraction(double value) const;
    // `value` as the axis writes it: digits grouped ("1,50,00,000"), no
    // trailing ".0", only as many decimals as the step needs.
    QString label(double value) const;
};

// A scale of about `tickCount` round steps (1, 2 or 5 times a power of ten)
// that holds `low` to `high`.
ValueScale roundScale(double low, double high, int tickCount = 5);

// The scale for the values of `data`; with `fromZero` it takes in 0 too
// (bars stand on 0). An empty or flat chart still gets a range.
ValueScale valueScaleFor(const ChartData& data, bool fromZero);

// Which category labels are written and whether they are turned on end.
struct CategoryLabelPlan {
    int step = 1;         // every step-th label is written, from the first
    bool turned = false;  // written upwards instead of across

    bool shows(int category) const { return category % step == 0; }
};

// The plan for `count` labels whose neighbours stand `spacing` apart on the
// screen, the longest of them `label` large: across when they fit, else
// turned when that makes them fit with fewer left out, else every step-th.
CategoryLabelPlan planCategoryLabels(int count, const QPointF& spacing, const QSizeF& label);

// The longest a category label is written; longer ones end in "...".
inline constexpr int kCategoryLabelChars = 18;
QString categoryLabel(const QString& category);

// The font of every text of a chart, sized in pixels so that it scales with
// the painter on any device.
QFont chartTextFont();

}  // namespace viewer
