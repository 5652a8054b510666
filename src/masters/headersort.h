#pragma once

#include "store/recordset.h"

#include <optional>

namespace masters {

// The sort of a grid whose column headings are clicked: the first click on a
// column sorts it ascending, the next click on the same column descending,
// the next ascending again; a click on another column starts ascending.
// Filler columns (names starting with a no-break space) are not sorted.
class HeaderSortToggle {
public:
    // The sort that a click on the column named `field` asks for.
    std::optional<store::Recordset::SortKey> click(const QString& field);

private:
    QString m_lastField;
    bool m_lastAscending = false;
};

// True for the name of a filler column (its first character is U+00A0).
bool isFillerColumn(const QString& field);

}  // namespace masters
