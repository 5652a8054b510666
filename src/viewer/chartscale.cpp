#include "viewer/chartscale.h"

#include "reports/numberformat.h"

#include <cmath>

namespace viewer {

QList<double> ValueScale::ticks() const
{
    QList<double> values;
    if (step <= 0.0)
        return values;
    const int count = int(std::llround((high - low) / step));
    for (int i = 0; i <= count; ++i) {
        double value = low + i * step;
        if (std::abs(value) < step * 1e-9)
            value = 0.0;
        values.append(value);
    }
    return values;
}

double ValueScale::fraction(double value) const
{
    return high > low ? (value - low) / (high - low) : 0.0;
}

QString ValueScale::label(double value) const
{
    int decimals = 0;
    if (step > 0.0 && step < 1.0)
        decimals = std::min(6, int(std::ceil(-std::log10(step) - 1e-9)));
    QString pattern = reports::kWholeNumberPattern;
    if (decimals > 0)
        pattern += QLatin1Char('.') + QString(decimals, QLatin1Char('#'));
    return reports::formatNumber(value, pattern);
}

ValueScale roundScale(double low, double high, int tickCount)
{
    if (!std::isfinite(low) || !std::isfinite(high))
        return ValueScale();
    if (high < low)
        std::swap(low, high);
    if (high == low) {
        const double margin = low == 0.0 ? 1.0 : std::abs(low) * 0.1;
        low -= low < 0.0 || low - margin >= 0.0 ? margin : 0.0;
        high += margin;
    }
    const double rough = (high - low) / std::max(1, tickCount);
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power;
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        step = factor * power;
        if (step >= rough)
            break;
    }
    ValueScale scale;
    scale.step = step;
    scale.low = std::floor(low / step + 1e-9) * step;
    scale.high = std::ceil(high / step - 1e-9) * step;
    if (scale.high <= scale.low)
        scale.high = scale.low + step;
    return scale;
}

ValueScale valueScaleFor(const ChartData& data, bool fromZero)
{
    bool any = false;
    double low = 0.0;
    double high = 0.0;
    for (const ChartSeriesData& series : data.series) {
        for (const std::optional<double>& value : series.values) {
            if (!value || !std::isfinite(*value))
                continue;
            low = any ? std::min(low, *value) : *value;
            high = any ? std::max(high, *value) : *value;
            any = true;
        }
    }
    if (fromZero || !any) {
        low = std::min(low, 0.0);
        high = std::max(high, 0.0);
    }
    return roundScale(low, high);
}

CategoryLabelPlan planCategoryLabels(int count, const QPointF& spacing, const QSizeF& label)
{
    CategoryLabelPlan plan;
    if (count <= 1)
        return plan;
    constexpr double gap = 10.0;
    const double across = std::abs(spacing.x());
    const double down = std::abs(spacing.y());
    // The step at which labels `width` wide and `height` high stop touching:
    // they part either sideways or up and down.
    auto stepFor = [&](double width, double height) {
        double needed = 1e9;
        if (across > 0.01)
            needed = std::min(needed, (width + gap) / across);
        if (down > 0.01)
            needed = std::min(needed, (height + gap) / down);
        return std::clamp(int(std::ceil(needed - 1e-9)), 1, count);
    };
    const int flat = stepFor(label.width(), label.height());
    if (flat == 1)
        return plan;
    const int upright = stepFor(label.height(), label.width());
    if (upright < flat) {
        plan.turned = true;
        plan.step = upright;
    } else {
        plan.step = flat;
    }
    return plan;
}

QString categoryLabel(const QString& category)
{
    const QString text = category.simplified();
    if (text.size() <= kCategoryLabelChars)
        return text;
    return text.left(kCategoryLabelChars - 1) + QChar(0x2026);
}

QFont chartTextFont()
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

}  // namespace viewer
