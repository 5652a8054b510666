#pragma once

#include "query/runinputs.h"

#include <QDate>
#include <QList>
#include <QString>
#include <functional>

// The inputs the query screen holds after `label` of `group` is chosen on the
// newest trading day with the first scrip group of the list: what the
// parameter set-up proposes, and a 20-day window where it leaves both dates
// on the same day. The options database is `folder`/option.db.
query::RunInputs screenDefaults(int group, const QString& label, query::Exchange exchange, const QList<QDate>& dates,
                                const QString& folder);

// Every label of every query group in NSE and BSE, and in "Combine" unless
// the group turns it off, each with screenDefaults(): `visit` gets the
// inputs and the mode the run was asked in.
void forEveryCatalogueRun(const QList<QDate>& dates, const QString& folder,
                          const std::function<void(const query::RunInputs&, query::Exchange)>& visit);
