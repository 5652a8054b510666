#pragma once

#include "viewer/resultsort.h"

#include <QFrame>
#include <QList>
#include <array>

class QComboBox;

namespace viewer {

// The result viewer's sort rows (shown and hidden by "Select Columns To
// Sort"): four rows of a column and its "Asc" or "Desc" order, which
// "&Refresh Query" reads the result again by.
class SortRowsPanel : public QFrame {
    Q_OBJECT
public:
    explicit SortRowsPanel(QWidget* parent = nullptr);

    // Lists `names` in every column box; none is chosen.
    void setColumnNames(const QStringList& names);
    // Lists "Asc" and "Desc" in every order box; none is chosen.
    void resetOrders();
    // The four rows as they stand.
    QList<SortRowInput> rows() const;

private:
    std::array<QComboBox*, 4> m_columns{};
    std::array<QComboBox*, 4> m_orders{};
};

}  // namespace viewer
