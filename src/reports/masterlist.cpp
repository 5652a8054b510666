#include "reports/masterlist.h"

#include "store/recordsetmodel.h"

namespace reports {

MasterList scripMasterList()
{
    return {QStringLiteral("Scrip Master"),
            {{QStringLiteral("NSE Scrip Code"), QStringLiteral("nsescrip"), 1.2},
             {QStringLiteral("BSE Scrip Code"), QStringLiteral("bsescrip"), 1.0},
             {QStringLiteral("Company"), QStringLiteral("company"), 2.8}}};
}

// The design's third column stays off the group list: it has no field there.
MasterList groupMasterList()
{
    return {QStringLiteral("Group Master"),
            {{QStringLiteral("Group Code"), QStringLiteral("groupcode"), 1.0},
             {QStringLiteral("Group Description"), QStringLiteral("groupname"), 2.5}}};
}

ReportDocument buildMasterList(const MasterList& list, const store::Rows& rows)
{
    ReportDocument document;
    document.windowCaption = QStringLiteral("Branch Master Report");
    document.titleLines = {list.title};

    // Long names wrap onto more lines rather than being cut short.
    QList<int> sources;
    for (const MasterListColumn& column : list.columns) {
        document.columns.append({column.heading, column.width, false, true});
        sources.append(rows.columnIndex(column.field));
    }

    document.rows.reserve(rows.rows.size());
    for (const QVariantList& row : rows.rows) {
        QStringList cells;
        for (const int source : sources)
            cells.append(source < 0 ? QString() : store::displayText(row.value(source), rows.columns[source].kind));
        document.rows.append(cells);
    }
    document.footnotes = {QStringLiteral("** End Of Report **")};
    return document;
}

}  // namespace reports
