#pragma once

#include <QString>

class QComboBox;
class QFrame;
class QWidget;

// What the result viewer and its panels build their controls with. The
// window was laid out in twips; its sizes are kept in them.
namespace viewer {

// 15 twips make a pixel on a 96 dpi screen.
inline int pixels(int twips)
{
    return twips / 15;
}

// A list of the result's columns named `name`; a typable one takes text
// but never adds it to its items.
QComboBox* makeColumnCombo(QWidget* parent, const QString& name, bool typable);

// Gives one of the viewer's panels its name and frame; panels start hidden.
void setUpPanel(QFrame* panel, const QString& name);

// Shows no choice in `combo`, and no typed text in a typable one.
void clearChoice(QComboBox* combo);

}  // namespace viewer
