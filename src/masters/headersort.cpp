#include "masters/headersort.h"

namespace masters {

bool isFillerColumn(const QString& field)
{
    return field.startsWith(QChar(0x00A0));
}

std::optional<store::Recordset::SortKey> HeaderSortToggle::click(const QString& field)
{
    if (isFillerColumn(field))
        return std::nullopt;
    const bool ascending = !(field == m_lastField && m_lastAscending);
    m_lastField = field;
    m_lastAscending = ascending;
    return store::Recordset::SortKey{field, ascending};
}

}  // namespace masters
