#pragma once

#include "viewer/chartdata.h"

#include <QFrame>
#include <array>

class QComboBox;

namespace viewer {

// The result viewer's chart panel (shown and hidden by "&Show Graph"): the
// columns of the X axis, the Y axis and up to four series, and "Display
// &Graph", which asks for the chart.
class ChartColumnsPanel : public QFrame {
    Q_OBJECT
public:
    explicit ChartColumnsPanel(QWidget* parent = nullptr);

    // Lists `names` in every column box; none is chosen.
    void setColumnNames(const QStringList& names);
    // The columns as chosen or typed.
    ChartColumns chosen() const;

signals:
    void displayRequested();

private:
    std::array<QComboBox*, 6> m_columns{};
};

}  // namespace viewer
