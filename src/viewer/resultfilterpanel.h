#pragma once

#include "viewer/resultfilter.h"

#include <QFrame>
#include <QList>
#include <array>

class QComboBox;
class QLineEdit;

namespace viewer {

class ResultModel;

// The result viewer's filter panel (shown and hidden by "Filter"): four rows
// of a column, an operator offered for the column's kind, a value and the
// joiner to the next row, and the buttons "Show", "Show All" and "Show In
// Results". What the rows mean is read by readFilterRows(); the panel only
// holds them.
class ResultFilterPanel : public QFrame {
    Q_OBJECT
public:
    // `model` gives the kinds of the columns the rows pick.
    explicit ResultFilterPanel(const ResultModel* model, QWidget* parent = nullptr);

    // Lists `names` in every row's column box; none is chosen.
    void setColumnNames(const QStringList& names);
    // Empties every row: no column chosen, no value.
    void resetRows();
    // The rows as they stand.
    QList<FilterRowInput> inputs() const;
    // Puts the focus on the field a problem was found in.
    void focusProblem(const FilterProblem& problem);

signals:
    void showRequested();
    void showAllRequested();
    void showInResultsRequested();

private:
    struct RowControls {
        QComboBox* column = nullptr;
        QComboBox* op = nullptr;
        QLineEdit* value = nullptr;
        QComboBox* joiner = nullptr;  // none on the last row
    };

    void fillOperators(int row);

    const ResultModel* m_model;
    std::array<RowControls, 4> m_rows{};
};

}  // namespace viewer
