#include "viewer/viewercontrols.h"

#include <QComboBox>
#include <QFrame>

namespace viewer {

QComboBox* makeColumnCombo(QWidget* parent, const QString& name, bool typable)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(typable);
    if (typable)
        combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

void setUpPanel(QFrame* panel, const QString& name)
{
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->hide();
}

void clearChoice(QComboBox* combo)
{
    combo->setCurrentIndex(-1);
    if (combo->isEditable())
        combo->clearEditText();
}

}  // namespace viewer
