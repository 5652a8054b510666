#include "viewer/excelexportcommand.h"

#include "store/showntext.h"
#include "ui/prompt.h"
#include "ui/waitcursor.h"
#include "viewer/resultexport.h"

#include <QDir>
#include <QFileInfo>

namespace viewer {

namespace {

void tell(const QString& text)
{
    ui::prompt().show(ui::Message::fromStyle(text, 0));
}

QString exportedTo(const QString& path)
{
    return QStringLiteral("Result Exported to ") + store::shownPath(path);
}

// Asks where a workbook goes; empty when the user cancelled.
QString chooseWorkbookPath(const QString& folder, const QString& caption)
{
    ui::FileRequest request;
    request.caption = caption;
    request.directory = folder;
    request.filter = QStringLiteral("Excel workbooks (*.xlsx)");
    QString path = ui::prompt().saveFile(request);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".xlsx");
    return path;
}

void exportToNewWorkbook(const ExcelExportRequest& request)
{
    const QString path = chooseWorkbookPath(request.dataFolder, QStringLiteral("Export To Excel"));
    if (path.isEmpty())
        return;
    try {
        const ui::WaitCursor wait;
        const ResultRows& rows = *request.rows;
        const qint64 first = std::clamp<qint64>(request.firstRecord, 0, rows.count());
        exportNewWorkbook(path, rows.columns(), rows.count() - first,
                          [&](const RecordVisitor& visit) { rows.forEach(visit, first); });
    } catch (const WorkbookError& error) {
        tell(error.text());
        return;
    }
    tell(exportedTo(path));
}

void exportToDerivativesReport(const ExcelExportRequest& request)
{
    const ui::Answer answer = ui::prompt().show(ui::Message::fromStyle(
        QStringLiteral("This will export the current records of the Query to an Excel sheet, Do you wish to continue?"),
        36, QStringLiteral("Export Data?")));
    if (answer != ui::Answer::Yes)
        return;
    const QString path = chooseWorkbookPath(request.dataFolder, QStringLiteral("Export Data?"));
    if (path.isEmpty())
        return;
    const QString templatePath = QDir(request.dataFolder).filePath(kDerivativesTemplateFile);
    try {
        const ui::WaitCursor wait;
        exportDerivativesReport(templatePath, path, request.rows->all());
    } catch (const WorkbookError& error) {
        tell(error.text());
        return;
    }
    tell(exportedTo(path));
}

void exportToMarketWatch(const ExcelExportRequest& request)
{
    const QString path = QDir(request.dataFolder).filePath(kMarketWatchFile);
    bool written = false;
    try {
        const ui::WaitCursor wait;
        written = exportMarketWatch(path, request.queryName, request.rows->all());
    } catch (const WorkbookError& error) {
        tell(error.text());
        return;
    }
    tell(written ? exportedTo(path) : QStringLiteral("Nothing To Export"));
}

}  // namespace

void exportToExcel(const ExcelExportRequest& request)
{
    switch (exportTargetFor(request.queryName)) {
    case ExportTarget::DerivativesReport:
        exportToDerivativesReport(request);
        break;
    case ExportTarget::MarketWatch:
        exportToMarketWatch(request);
        break;
    case ExportTarget::NewWorkbook:
        exportToNewWorkbook(request);
        break;
    }
}

}  // namespace viewer
