#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

namespace query {

// What choosing a group does to a control that other groups switch.
enum class ControlChange { Enable, Disable, Unchanged };

// One query group: an option of the query screen and the labels it lists.
struct QueryGroup {
    int number = 0;                 // 1 to 9: Option1 .. Option9
    QString caption;                // with "&&" for one ampersand, as the option shows it
    QStringList labels;             // in list order; a label is the key of its query
    QColor backColour;              // the list's colour while the group is chosen
    ControlChange scripList = ControlChange::Unchanged;
    ControlChange rangeFilters = ControlChange::Unchanged;
    // The "Combine" exchange option; Disable also moves a chosen Combine to NSE.
    ControlChange combine = ControlChange::Unchanged;
};

// The nine groups in option order.
const QList<QueryGroup>& queryGroups();
// Group 1 to 9; throws std::out_of_range for any other number.
const QueryGroup& queryGroup(int number);

// Position of `label` in the list of `group` (0 first), or -1.
int labelPosition(int group, const QString& label);

// Every label that a list offers, each once, in group and list order (114).
QStringList catalogueLabels();

// Separator lines of dashes that the dispatcher accepts (no list offers them):
// a run on one of them stops without a result and without a message.
QStringList separatorLabels();

}  // namespace query
