#include "query/rangefilterpanel.h"

#include "query/querywidgets.h"

#include <QCheckBox>
#include <QGridLayout>

namespace query {

namespace {

constexpr int kTradesFilter = static_cast<int>(RangeMeasure::Trades);
const QString kNoTradesTip = QStringLiteral("Not available: the market data keeps no number of trades.");

}  // namespace

RangeFilterPanel::RangeFilterPanel(QWidget* parent) : QWidget(parent)
{
    static const char* const captions[kRangeMeasureCount] = {"Rate", "Trading Qty", "Delivery Qty", "% Delivery Qty",
                                                             "Trades"};
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int filter = 0; filter < kRangeMeasureCount; ++filter) {
        RangeControls& controls = m_ranges[filter];
        const int lowIndex = 2 * filter;
        const int highIndex = lowIndex + 1;
        controls.check = named(new QCheckBox(QString::fromLatin1(captions[filter]), this),
                               QStringLiteral("Check%1").arg(filter + 1));
        controls.low = makeBox(QStringLiteral("Text2_%1").arg(lowIndex), this);
        controls.high = makeBox(QStringLiteral("Text2_%1").arg(highIndex), this);
        grid->addWidget(controls.check, filter, 0);
        grid->addWidget(makeLabel(QStringLiteral("Label1_%1").arg(lowIndex), QStringLiteral(">="), this), filter, 1);
        grid->addWidget(controls.low, filter, 2);
        grid->addWidget(makeLabel(QStringLiteral("Label1_%1").arg(highIndex), QStringLiteral("<="), this), filter, 3);
        grid->addWidget(controls.high, filter, 4);
        for (QLineEdit* box : {controls.low, controls.high}) {
            box->setEnabled(false);
            // Numbers of up to ten digits; the rest of the room goes to the lists.
            box->setFixedWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 11);
        }
        if (filter == kTradesFilter) {
            controls.check->setEnabled(false);
            controls.check->setToolTip(kNoTradesTip);
        }
        connect(controls.check, &QCheckBox::toggled, this, [this, filter](bool ticked) {
            if (ticked)
                m_ranges[filter].high->setText(kOpenUpperBound);
            followCheck(filter);
        });
    }
}

void RangeFilterPanel::setAvailable(bool available)
{
    for (int filter = 0; filter < kRangeMeasureCount; ++filter) {
        m_ranges[filter].check->setEnabled(available && filter != kTradesFilter);
        followCheck(filter);
    }
}

void RangeFilterPanel::followChecks()
{
    for (int filter = 0; filter < kRangeMeasureCount; ++filter)
        followCheck(filter);
}

void RangeFilterPanel::followCheck(int filter)
{
    const RangeControls& controls = m_ranges[filter];
    const bool applies = controls.check->isEnabled() && controls.check->isChecked();
    controls.low->setEnabled(applies);
    controls.high->setEnabled(applies);
}

void RangeFilterPanel::applyPreset(const RangePreset& preset)
{
    const RangeControls& controls = m_ranges[static_cast<int>(preset.measure)];
    controls.check->setChecked(true);
    controls.low->setText(preset.lowText);
}

std::array<RangeBox, kRangeMeasureCount> RangeFilterPanel::ranges() const
{
    std::array<RangeBox, kRangeMeasureCount> ranges{};
    for (int filter = 0; filter < kRangeMeasureCount; ++filter) {
        const RangeControls& controls = m_ranges[filter];
        const bool ticked = controls.check->isEnabled() && controls.check->isChecked();
        ranges[filter] = rangeFromBoxes(ticked, controls.low->text(), controls.high->text());
    }
    return ranges;
}

QList<QLineEdit*> RangeFilterPanel::boundBoxes() const
{
    QList<QLineEdit*> boxes;
    for (const RangeControls& controls : m_ranges)
        boxes << controls.low << controls.high;
    return boxes;
}

QList<QCheckBox*> RangeFilterPanel::checkBoxes() const
{
    QList<QCheckBox*> checks;
    for (const RangeControls& controls : m_ranges)
        checks << controls.check;
    return checks;
}

}  // namespace query
