#include "viewer/chartcolumnspanel.h"

#include "viewer/viewercontrols.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace viewer {

ChartColumnsPanel::ChartColumnsPanel(QWidget* parent) : QFrame(parent)
{
    setUpPanel(this, QStringLiteral("Frame2"));
    auto* grid = new QGridLayout(this);
    const QStringList names = {QStringLiteral("Comboxaxis"),   QStringLiteral("Comboyaxis"),
                               QStringLiteral("Combo1series"), QStringLiteral("Combo2series"),
                               QStringLiteral("Combo3series"), QStringLiteral("Combo4series")};
    const QStringList labels = {QStringLiteral("Select X Axis"),   QStringLiteral("Select Y Axis"),
                                QStringLiteral("Select 1 Series"), QStringLiteral("Select 2 Series"),
                                QStringLiteral("Select 3 Series"), QStringLiteral("Select 4 Series")};
    for (int i = 0; i < 6; ++i) {
        m_columns[i] = makeColumnCombo(this, names[i], true);
        m_columns[i]->setMinimumWidth(pixels(2175));
        grid->addWidget(new QLabel(labels[i], this), i, 0);
        grid->addWidget(m_columns[i], i, 1);
    }
    auto* showGraph = new QPushButton(QStringLiteral("Display &Graph"), this);
    showGraph->setObjectName(QStringLiteral("cmdshowgraph"));
    showGraph->setMinimumWidth(std::max(pixels(1815), showGraph->sizeHint().width()));
    grid->addWidget(showGraph, 6, 0, 1, 2, Qt::AlignCenter);
    connect(showGraph, &QPushButton::clicked, this, &ChartColumnsPanel::displayRequested);
}

void ChartColumnsPanel::setColumnNames(const QStringList& names)
{
    for (QComboBox* combo : m_columns) {
        combo->clear();
        combo->addItems(names);
        clearChoice(combo);
    }
}

ChartColumns ChartColumnsPanel::chosen() const
{
    ChartColumns chosen;
    chosen.xAxis = m_columns[0]->currentText();
    chosen.yAxis = m_columns[1]->currentText();
    for (int i = 0; i < 4; ++i)
        chosen.series[i] = m_columns[i + 2]->currentText();
    return chosen;
}

}  // namespace viewer
