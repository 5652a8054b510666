#pragma once

#include <QDate>
#include <QString>

namespace store {
class Database;
}

namespace query {

class BranchRegistry;

// The client layouts and the miscellaneous listings: "Maltry Query",
// "QXV Query", "View All Records", the total delivery values and
// "Stock Statistics".
void registerClientBranches(BranchRegistry& registry);

// The file name of the client price list of a day: "KWF05Jan2024.csv".
QString belmoraCsvFileName(const QDate& firstDate);

// Writes every row of the work table TBelmoraResult into the comma-separated
// file of `firstDate` in `folder` (an older file of that day is replaced):
// a header line, then per row the company, group code, query, the four
// quantities in lakhs and the delivery percentage, both closes and the two
// days. Returns the file's full path; throws store::StoreError when the
// table cannot be read and std::runtime_error when the file cannot be written.
QString writeBelmoraCsv(store::Database& db, const QString& folder, const QDate& firstDate, const QDate& secondDate);

}  // namespace query
