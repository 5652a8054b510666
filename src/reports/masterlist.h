#pragma once

#include "reports/reportdocument.h"
#include "store/database.h"

#include <QList>
#include <QString>

// The printed list of a master table ("Branch Master Report"): the list's
// title, one column per listed field under its heading, the rows in the
// order given, and "** End Of Report **" after the last row. Each master form
// names its own title, headings and fields.
namespace reports {

struct MasterListColumn {
    QString heading;  // "NSE Scrip Code"
    QString field;    // the table column it prints, any letter case
    double width = 1.0;
};

struct MasterList {
    QString title;  // "Scrip Master"
    QList<MasterListColumn> columns;
};

// The scrip master's list: NSE code, BSE code and company.
MasterList scripMasterList();
// The group master's list: code and description.
MasterList groupMasterList();

// The report of a table's `rows` in `list`. A listed field that the rows do
// not hold prints blank; columns of the rows that are not listed are left out.
ReportDocument buildMasterList(const MasterList& list, const store::Rows& rows);

}  // namespace reports
