#include "viewer/resultfilterpanel.h"

#include "viewer/resultmodel.h"
#include "viewer/viewercontrols.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace viewer {

ResultFilterPanel::ResultFilterPanel(const ResultModel* model, QWidget* parent) : QFrame(parent), m_model(model)
{
    setUpPanel(this, QStringLiteral("Frame3"));
    auto* grid = new QGridLayout(this);
    auto* title = new QLabel(QStringLiteral("Filter"), this);
    title->setObjectName(QStringLiteral("Label7"));
    grid->addWidget(title, 0, 0);
    const QStringList suffixes = {QString(), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
    for (int row = 0; row < 4; ++row) {
        RowControls& controls = m_rows[row];
        const QString& suffix = suffixes[row];
        controls.column = makeColumnCombo(this, QStringLiteral("cboFilterCols") + suffix, false);
        controls.column->setMinimumWidth(pixels(1905));
        controls.op = makeColumnCombo(this, QStringLiteral("cboOper") + suffix, false);
        controls.op->setMinimumWidth(pixels(855));
        controls.value = new QLineEdit(this);
        controls.value->setObjectName(QStringLiteral("txtFilterValue") + suffix);
        controls.value->setMinimumWidth(pixels(1455));
        grid->addWidget(controls.column, row + 1, 0);
        grid->addWidget(controls.op, row + 1, 1);
        grid->addWidget(controls.value, row + 1, 2);
        if (row < 3) {
            controls.joiner = makeColumnCombo(this, QStringLiteral("CmbOpt") + suffix, false);
            controls.joiner->setMinimumWidth(pixels(975));
            grid->addWidget(controls.joiner, row + 1, 3);
        }
        connect(controls.column, &QComboBox::currentIndexChanged, this, [this, row] { fillOperators(row); });
        connect(controls.column, &QComboBox::activated, this, [this, row] { fillOperators(row); });
    }
    const QStringList captions = {QStringLiteral("Show"), QStringLiteral("Show All"), QStringLiteral("Show In Results")};
    const QList<void (ResultFilterPanel::*)()> requests = {&ResultFilterPanel::showRequested,
                                                           &ResultFilterPanel::showAllRequested,
                                                           &ResultFilterPanel::showInResultsRequested};
    const QList<int> widths = {825, 945, 945};
    auto* buttons = new QHBoxLayout;
    for (int index = 0; index < 3; ++index) {
        auto* button = new QPushButton(captions[index], this);
        button->setObjectName(QStringLiteral("cmdFilterShow") + QString::number(index));
        button->setMinimumWidth(std::max(pixels(widths[index]), button->sizeHint().width()));
        connect(button, &QPushButton::clicked, this, requests[index]);
        buttons->addWidget(button);
    }
    grid->addLayout(buttons, 2, 4, 2, 1, Qt::AlignTop);
    grid->setColumnStretch(5, 1);
}

void ResultFilterPanel::setColumnNames(const QStringList& names)
{
    for (RowControls& row : m_rows) {
        row.column->clear();
        row.column->addItems(names);
        clearChoice(row.column);
    }
}

void ResultFilterPanel::resetRows()
{
    for (RowControls& row : m_rows) {
        clearChoice(row.column);
        row.value->clear();
    }
}

QList<FilterRowInput> ResultFilterPanel::inputs() const
{
    QList<FilterRowInput> inputs;
    for (const RowControls& controls : m_rows) {
        inputs.append({controls.column->currentIndex(), controls.op->currentText(), controls.value->text(),
                       controls.joiner ? controls.joiner->currentText() : QString()});
    }
    return inputs;
}

void ResultFilterPanel::focusProblem(const FilterProblem& problem)
{
    const RowControls& controls = m_rows[problem.row];
    switch (problem.field) {
    case FilterProblem::Field::Column:
        controls.column->setFocus();
        break;
    case FilterProblem::Field::Operator:
        controls.op->setFocus();
        break;
    case FilterProblem::Field::Value:
        controls.value->setFocus();
        break;
    case FilterProblem::Field::None:
        break;
    }
}

void ResultFilterPanel::fillOperators(int row)
{
    RowControls& controls = m_rows[row];
    controls.op->clear();
    if (controls.joiner)
        controls.joiner->clear();
    const int column = controls.column->currentIndex();
    if (column < 0 || column >= m_model->columns().size())
        return;
    controls.op->addItems(operatorCaptions(m_model->columns()[column].kind));
    controls.op->setCurrentIndex(0);
    if (controls.joiner) {
        controls.joiner->addItems(joinerCaptions());
        controls.joiner->setCurrentIndex(0);
    }
}

}  // namespace viewer
