#include "computations/belmoraexport.h"

#include "computations/belmora.h"
#include "query/clientbranches.h"
#include "store/database.h"
#include "store/datetext.h"
#include "store/showntext.h"
#include "store/storeerror.h"
#include "ui/prompt.h"
#include "viewer/sheetpatcher.h"
#include "viewer/workbook.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <stdexcept>

namespace computations {

namespace {

const QString kSheet = QStringLiteral("Sheet2");
constexpr int kBlockRows = 5;
constexpr int kBlockColumns = 6;

// One block of the export sheet: the lists of one query and one group.
struct BelmoraBlock {
    QString query;  // '1' close rose, '2' close fell
    QString group;  // 'BSE' or 'NSE'
    int row;
    int column;
};

const QList<BelmoraBlock>& blocks()
{
    static const QList<BelmoraBlock> all{{QStringLiteral("1"), QStringLiteral("BSE"), 8, 1},
                                         {QStringLiteral("1"), QStringLiteral("NSE"), 8, 8},
                                         {QStringLiteral("2"), QStringLiteral("BSE"), 21, 1},
                                         {QStringLiteral("2"), QStringLiteral("NSE"), 21, 8}};
    return all;
}

// The block's cells: its five scrips with the largest delivery of the day
// (exactly five, so a tie never spills below the block), quantities in
// lakhs.
viewer::WorkbookSheet blockCells(store::Database& db, const BelmoraBlock& block)
{
    const store::Rows rows = db.query(
        QStringLiteral("SELECT Company, round(Tvol / 100000, 2), round(Pvol / 100000, 2), round(TDely / 100000, 2),"
                       " round(TPrice, 2), PriceChg FROM TBelmoraResult WHERE Query = ? AND groupcode = ?"
                       " ORDER BY TDely DESC, rowid LIMIT %1")
            .arg(kBlockRows),
        {block.query, block.group});
    viewer::WorkbookSheet cells(kSheet);
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < kBlockColumns; ++c)
            cells.setValue(block.row + r, block.column + c, rows.rows.at(r).value(c));
    return cells;
}

// A plain message with an OK button.
void say(const QString& text)
{
    ui::Message message;
    message.text = text;
    ui::prompt().show(message);
}

void exportToWorkbook(store::Database& db, const QString& folder, const QDate& firstDate, const QDate& secondDate)
{
    const QString path = queryFormatPath(folder);
    try {
        ensureQueryFormat(path);
        exportBelmoraWorkbook(db, path, firstDate, secondDate);
    } catch (const viewer::WorkbookError& error) {
        ui::prompt().critical(QStringLiteral("QueryFormat could not be written: ") + error.text());
        return;
    }
    say(QStringLiteral("Exported to QueryFormat (Excel File ) : ") + store::shownPath(path));
}

void exportToCsv(store::Database& db, const QString& folder, const QDate& firstDate, const QDate& secondDate)
{
    QString path;
    try {
        path = query::writeBelmoraCsv(db, folder, firstDate, secondDate);
    } catch (const store::StoreError&) {
        throw;
    } catch (const std::runtime_error& error) {
        ui::prompt().critical(QString::fromStdString(error.what()));
        return;
    }
    say(QStringLiteral(".csv file generated ") + store::shownPath(path));
}

}  // namespace

QString queryFormatPath(const QString& dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("QueryFormat.xlsx"));
}

void ensureQueryFormat(const QString& path)
{
    if (QFileInfo::exists(path))
        return;
    viewer::Workbook workbook;
    workbook.addSheet(QStringLiteral("Sheet1"));
    viewer::WorkbookSheet& sheet = workbook.addSheet(kSheet);
    const QStringList headings{QStringLiteral("Company"), QStringLiteral("TVol (Lakhs)"),
                               QStringLiteral("PVol (Lakhs)"), QStringLiteral("Tdely (Lakhs)"),
                               QStringLiteral("TPrice"), QStringLiteral("PriceChg %")};
    for (const BelmoraBlock& block : blocks()) {
        const QString caption = QStringLiteral("%1 - Price %2")
                                    .arg(block.group, block.query == QLatin1String("1") ? QStringLiteral("Up")
                                                                                         : QStringLiteral("Down"));
        sheet.setValue(block.row - 2, block.column, caption);
        sheet.setBold(block.row - 2, block.column, block.column);
        for (int c = 0; c < headings.size(); ++c)
            sheet.setValue(block.row - 1, block.column + c, headings.at(c));
        sheet.setBold(block.row - 1, block.column, block.column + kBlockColumns - 1);
    }
    workbook.save(path);
}

void exportBelmoraWorkbook(store::Database& db, const QString& path, const QDate& firstDate, const QDate& secondDate)
{
    // Every block is read before the file is touched.
    QList<viewer::WorkbookSheet> blockSheets;
    for (const BelmoraBlock& block : blocks())
        blockSheets.append(blockCells(db, block));

    viewer::WorkbookSheet title(kSheet);
    title.setValue(1, 10, firstDate);
    title.setValue(1, 11, secondDate);
    title.setValue(1, 1,
                   QStringLiteral("Delivery Report For ") + datetext::toDisplay(firstDate) + QStringLiteral(" / ") +
                       datetext::toDisplay(secondDate));
    viewer::patchWorkbookSheet(path, kSheet, title);
    for (qsizetype i = 0; i < blocks().size(); ++i) {
        const BelmoraBlock& block = blocks().at(i);
        viewer::patchWorkbookSheet(path, kSheet, blockSheets.at(i),
                                   {viewer::CellBlock{block.row, block.column, block.row + kBlockRows - 1,
                                                      block.column + kBlockColumns - 1}});
    }
}

query::BranchResult belmoraPriceQuery(query::RunContext& context)
{
    query::BranchResult result = belmoraQuery(context);
    if (result.kind != query::BranchResult::Kind::Result)
        return result;
    if (!ui::prompt().askYesNo(QStringLiteral("Export To Excel Query Screen"), QStringLiteral("Delivery Details")))
        return result;

    const QString folder = context.inputs.dataFolder;
    if (!QDir().mkpath(folder)) {
        ui::prompt().critical(QStringLiteral("The folder %1 cannot be made.").arg(store::shownPath(folder)));
        return query::BranchResult::stopped();
    }
    const QDate firstDate = context.state.firstDate;
    const QDate secondDate = context.state.secondDate;
    exportToWorkbook(context.db, folder, firstDate, secondDate);
    exportToCsv(context.db, folder, firstDate, secondDate);
    return query::BranchResult::stopped();
}

}  // namespace computations
