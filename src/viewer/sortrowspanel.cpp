#include "viewer/sortrowspanel.h"

#include "viewer/viewercontrols.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

namespace viewer {

SortRowsPanel::SortRowsPanel(QWidget* parent) : QFrame(parent)
{
    setUpPanel(this, QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Sorting Order"), this), 0, 1);
    for (int i = 0; i < 4; ++i) {
        const QString number = QString::number(i + 1);
        m_columns[i] = makeColumnCombo(this, QStringLiteral("Combosort") + number, true);
        m_columns[i]->setMinimumWidth(pixels(2175));
        m_orders[i] = makeColumnCombo(this, QStringLiteral("ComboSortorder") + number, true);
        m_orders[i]->setMinimumWidth(pixels(1695));
        grid->addWidget(m_columns[i], i + 1, 0);
        grid->addWidget(m_orders[i], i + 1, 1);
    }
}

void SortRowsPanel::setColumnNames(const QStringList& names)
{
    for (QComboBox* combo : m_columns) {
        combo->clear();
        combo->addItems(names);
        clearChoice(combo);
    }
}

void SortRowsPanel::resetOrders()
{
    for (QComboBox* order : m_orders) {
        order->clear();
        order->addItems({QStringLiteral("Asc"), QStringLiteral("Desc")});
        clearChoice(order);
    }
}

QList<SortRowInput> SortRowsPanel::rows() const
{
    QList<SortRowInput> rows;
    for (int i = 0; i < 4; ++i)
        rows.append({m_columns[i]->currentText(), m_orders[i]->currentText()});
    return rows;
}

}  // namespace viewer
