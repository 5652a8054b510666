#pragma once

#include "store/recordset.h"

#include <QStringList>
#include <optional>

namespace store {
class Database;
}

namespace masters {

// The type-ahead criterion for a search text in one column of a recordset:
// text columns match rows whose value begins with the text (without regard
// to case; quotes and wildcard characters are plain characters); number
// columns match the equal value, and only when the text is a number; date
// columns match the equal day, and only when the text is a date
// (dd/MMM/yyyy). Nothing when the text is empty or not of the column's kind.
std::optional<store::Recordset::RowPredicate> typeAheadCriterion(const store::Recordset& records, int column,
                                                                 const QString& text);

// The scrip search: what the typed text is compared with.
enum class ScripSearchField { Script, NseCode, BseCode };

// The statement of the scrip search grid (columns Srno, Script, Nse Code,
// Bse Code).
QString scripSearchSql();

// The filter of one scrip search on the rows of scripSearchSql():
//  - Script: names that begin with the trimmed text;
//  - NseCode: the NSE code equal to the trimmed text;
//  - BseCode: the BSE code equal to the text as typed.
// Codes and names compare without regard to case.
store::Recordset::RowPredicate scripSearchFilter(const store::Recordset& scrips, ScripSearchField field,
                                                 const QString& text);

// Names of the groups that hold scrip `srno`, in the order the store
// returns them.
QStringList groupsOfScrip(store::Database& db, qint64 srno);

}  // namespace masters
