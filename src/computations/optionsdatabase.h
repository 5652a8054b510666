#pragma once

#include "query/branch.h"
#include "store/database.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <utility>

namespace computations {

// Where the open-interest queries find the options database (the run
// inputs' optionPath, from the "sottpath" setting).
struct OptionsSettings {
    QString path;
};

// The text shown when the options database cannot be opened.
QString optionsUnavailableMessage(const QString& path, const QString& reason);

// Opens the options database at `path` on `options` and drops its work table
// `toi`. Another program keeps that file: it is opened as it is (never
// created, its journal mode kept), so the drop is the only change a run makes
// to it. Refuses the run when the file is missing, empty or cannot be opened:
// an open-interest query without its data would look like a query that found
// nothing.
void openOptionsDatabase(store::Database& options, const QString& path);

// The per-day delivery table `TDely` of the open-interest queries: every mto
// row of the days `from` .. `to` (either order) of a scrip in ScripMaster that
// passes the run's scrip and group choice, with NSE and BSE quantities summed.
void makeDeliveryDays(query::RunContext& context, const QDate& from, const QDate& to);

// The side-by-side table `tDelyFinal`: one row per NSE symbol (and company)
// with a `TDely` row on every one of `days` (lettered a, b, c ...), each day's
// figures beside its open interest OI, OI1, OI2 ... (0.01 until filled), then
// `Sector` (blanks until filled) and the `markers` columns (0.01 each).
// Scrips without an NSE symbol are left out: the options data knows scrips by
// their symbol only.
void makeSideBySideTable(store::Database& db, const QList<QDate>& days, const QStringList& markers);

// The open-interest column of the day lettered `index` (0 = a): OI, OI1, ...
QString openInterestColumn(int index);
// The column `name` of the day lettered `index`: a_QtyTraded, b_NSEClPrice ...
QString dayColumn(int index, const QString& name);

// The figures one look-up row puts on its symbol's rows: column, value.
using FieldValues = QList<std::pair<QString, QVariant>>;

// Copies the rows of an options-database look-up into `tDelyFinal`: for each
// look-up row, every row of its symbol (column "script") gets the fields that
// `fieldsOf` names for it; a symbol that the table lacks gets a new row of its
// own first, empty but for its NSE symbol.
void fillSideBySideTable(query::RunContext& context, const store::Rows& lookup,
                         const std::function<FieldValues(int row)>& fieldsOf);

}  // namespace computations
