#pragma once

#include "query/parametersetup.h"
#include "query/runinputs.h"

#include <QList>
#include <QWidget>
#include <array>

class QCheckBox;
class QLineEdit;

namespace query {

// The five range filters of the query screen, one row each: a check box and
// the ">=" and "<=" boxes, which are available only while the filter is
// ticked and itself available. Ticking a filter proposes no upper limit. The
// "Trades" filter stays unavailable: the market data keeps no trade counts.
class RangeFilterPanel : public QWidget {
    Q_OBJECT
public:
    explicit RangeFilterPanel(QWidget* parent = nullptr);

    // Makes every check box available (but "Trades") or unavailable, and
    // each row's boxes follow.
    void setAvailable(bool available);
    // Each row's boxes follow its check box again.
    void followChecks();
    // Ticks the filter of `preset` and puts its lower bound in the ">=" box.
    void applyPreset(const RangePreset& preset);

    // The filters as they stand; an unavailable one does not apply.
    std::array<RangeBox, kRangeMeasureCount> ranges() const;
    // The bound boxes, lower then upper, filter by filter.
    QList<QLineEdit*> boundBoxes() const;
    // The check boxes, filter by filter.
    QList<QCheckBox*> checkBoxes() const;

private:
    struct RangeControls {
        QCheckBox* check = nullptr;
        QLineEdit* low = nullptr;
        QLineEdit* high = nullptr;
    };

    void followCheck(int filter);

    std::array<RangeControls, kRangeMeasureCount> m_ranges{};
};

}  // namespace query
