#include "viewer/resultexport.h"

#include "store/showntext.h"
#include "viewer/sheetpatcher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace viewer {

namespace {

bool isLeftOut(const QString& columnName)
{
    return columnName.startsWith(QStringLiteral("s_"), Qt::CaseSensitive);
}

// The block of a market-watch sheet that each export clears first.
constexpr int kClearedLastRow = 500;
constexpr int kClearedLastColumn = 13;  // M

}  // namespace

const QList<std::pair<QString, QString>>& marketWatchSheets()
{
    static const QList<std::pair<QString, QString>> sheets = {
        {QStringLiteral("Abnormal Rise in Delivery Qty"), QStringLiteral("abnormal rise")},
        {QStringLiteral("Abnormal Fall in Delivery Qty"), QStringLiteral("abnormal fall")},
        {QStringLiteral("Rise in Delivery Qty over 3 days"), QStringLiteral("rise over 3 d")},
        {QStringLiteral("Fall in Delivery Qty over 3 days"), QStringLiteral("fall over 3 d")},
        {QStringLiteral("3 Months High Delivery"), QStringLiteral("3 m high")},
        {QStringLiteral("3 Months Low Delivery"), QStringLiteral("3 m low")},
        {QStringLiteral("14 day EMA Positive"), QStringLiteral("14 d ema pos")},
        {QStringLiteral("14 day EMA Negative"), QStringLiteral("14 d ema neg")},
        {QStringLiteral("34 day EMA Positive"), QStringLiteral("34 d ema pos")},
        {QStringLiteral("34 day EMA Negative"), QStringLiteral("34 d ema neg")},
        {QStringLiteral("200 day SMA Positive"), QStringLiteral("200 d sma pos")},
        {QStringLiteral("200 day SMA Negative"), QStringLiteral("200 d sma neg")},
        {QStringLiteral("Weekly High"), QStringLiteral("weekly high")},
        {QStringLiteral("Weekly Low"), QStringLiteral("weekly low")},
        {QStringLiteral("Monthly High"), QStringLiteral("monthly high")},
        {QStringLiteral("Monthly Low"), QStringLiteral("monthly low")},
        {QStringLiteral("52 Week High"), QStringLiteral("yearly high")},
        {QStringLiteral("52 Week Low"), QStringLiteral("yearly low")},
    };
    return sheets;
}

QString marketWatchSheetFor(const QString& queryName)
{
    for (const auto& [query, sheet] : marketWatchSheets()) {
        if (query == queryName)
            return sheet;
    }
    return QString();
}

ExportTarget exportTargetFor(const QString& queryName)
{
    if (queryName == QStringLiteral("Top 5 Gainer & Loser"))
        return ExportTarget::DerivativesReport;
    if (!marketWatchSheetFor(queryName).isEmpty())
        return ExportTarget::MarketWatch;
    return ExportTarget::NewWorkbook;
}

namespace {

// The header in bold as far as the result has columns, the left-out ones
// counted, then each record from sheet row 2.
template <typename Sheet>
void writeRecords(Sheet& sheet, const QList<store::Column>& columns, const RecordSource& records)
{
    QList<int> exported;
    for (int field = 0; field < columns.size(); ++field) {
        if (isLeftOut(columns[field].name))
            continue;
        exported.append(field);
        sheet.setValue(1, static_cast<int>(exported.size()), columns[field].name);
    }
    if (!columns.isEmpty())
        sheet.setBold(1, 1, static_cast<int>(columns.size()));
    int sheetRow = 2;
    records([&](const QVariantList& values) {
        for (int column = 0; column < exported.size(); ++column)
            sheet.setValue(sheetRow, column + 1, values.value(exported[column]));
        ++sheetRow;
    });
}

// The blocks the records of `rows` fill under the header, every exported
// column of every record, the null values' cells included; none without
// records or exported columns.
QList<CellBlock> recordBlocks(const store::Rows& rows)
{
    const auto exported = std::count_if(rows.columns.cbegin(), rows.columns.cend(),
                                        [](const store::Column& column) { return !isLeftOut(column.name); });
    if (rows.isEmpty() || exported == 0)
        return {};
    return {CellBlock{2, 1, static_cast<int>(rows.size()) + 1, static_cast<int>(exported)}};
}

RecordSource recordsOf(const store::Rows& rows, int firstRecord)
{
    return [&rows, firstRecord](const RecordVisitor& visit) {
        for (qsizetype record = std::max(firstRecord, 0); record < rows.rows.size(); ++record)
            visit(rows.rows[record]);
    };
}

}  // namespace

void writeResultRows(WorkbookSheet& sheet, const store::Rows& rows, int firstRecord)
{
    writeRecords(sheet, rows.columns, recordsOf(rows, firstRecord));
}

void exportNewWorkbook(const QString& path, const QList<store::Column>& columns, qint64 count,
                       const RecordSource& records)
{
    if (count > kMaxSheetRecords)
        throw WorkbookError(QStringLiteral("A sheet holds at most %1 records; %2 are to be exported.")
                                .arg(kMaxSheetRecords)
                                .arg(count));
    SheetStream sheet(path, QStringLiteral("Sheet1"));
    writeRecords(sheet, columns, records);
    sheet.finish();
}

void exportNewWorkbook(const QString& path, const store::Rows& rows, int firstRecord)
{
    exportNewWorkbook(path, rows.columns, std::max<qint64>(rows.size() - std::max(firstRecord, 0), 0),
                      recordsOf(rows, firstRecord));
}

Workbook newMarketWatchWorkbook()
{
    Workbook book;
    for (const auto& entry : marketWatchSheets())
        book.addSheet(entry.second);
    return book;
}

bool exportMarketWatch(const QString& path, const QString& queryName, const store::Rows& rows)
{
    const QString sheetName = marketWatchSheetFor(queryName);
    if (sheetName.isEmpty())
        throw WorkbookError(QStringLiteral("\"%1\" has no sheet in the market watch workbook.").arg(queryName));
    if (!QFileInfo::exists(path)) {
        newMarketWatchWorkbook().save(path);
    } else if (!workbookSheetNames(path).contains(sheetName, Qt::CaseInsensitive)) {
        // A workbook that lost the query's sheet gets it back, at the end.
        Workbook book = Workbook::read(path);
        book.addSheet(sheetName);
        book.save(path);
    }
    WorkbookSheet changes(sheetName);
    writeResultRows(changes, rows);
    patchWorkbookSheet(path, sheetName, changes,
                       QList<CellBlock>{{2, 1, kClearedLastRow, kClearedLastColumn}} + recordBlocks(rows));
    return !rows.isEmpty();
}

Workbook newDerivativesTemplate()
{
    Workbook book;
    book.addSheet(kDerivativesSheet);
    return book;
}

void exportDerivativesReport(const QString& templatePath, const QString& outputPath, const store::Rows& rows)
{
    if (!QFileInfo::exists(templatePath)) {
        QDir().mkpath(QFileInfo(templatePath).absolutePath());
        newDerivativesTemplate().save(templatePath);
    }
    if (QFileInfo(outputPath).absoluteFilePath() != QFileInfo(templatePath).absoluteFilePath()) {
        QFile::remove(outputPath);
        if (!QFile::copy(templatePath, outputPath))
            throw WorkbookError(QStringLiteral("%1 could not be written.").arg(store::shownPath(outputPath)));
    }
    WorkbookSheet changes(kDerivativesSheet);
    writeResultRows(changes, rows);
    try {
        patchWorkbookSheet(outputPath, kDerivativesSheet, changes, recordBlocks(rows));
    } catch (const WorkbookError&) {
        if (outputPath != templatePath)
            QFile::remove(outputPath);
        throw;
    }
}

}  // namespace viewer
