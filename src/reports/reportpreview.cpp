#include "reports/reportpreview.h"

#include "reports/reportbinding.h"
#include "reports/reportengine.h"
#include "shell/startup.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace reports {

namespace {

// Where the user last printed a report to a file, for this run.
QString g_lastFolder;

// Proposes the report's file for the print dialog's "Print to File" while
// leaving the printer the user's chosen one.
void proposeFile(QPrinter& printer, const QString& caption)
{
    const QPrinter::OutputFormat format = printer.outputFormat();
    const QString printerName = printer.printerName();
    printer.setOutputFileName(proposedReportFile(caption, reportFolder()));
    if (format == QPrinter::NativeFormat && !printerName.isEmpty()) {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(printerName);
    }
}

}  // namespace

QString proposedReportFile(const QString& caption, const QString& folder)
{
    QString name = caption.simplified();
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    name.replace(QLatin1Char('\\'), QLatin1Char('-'));
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("Report");
    return QDir(folder).filePath(name + QStringLiteral(".pdf"));
}

QString reportFolder()
{
    if (!g_lastFolder.isEmpty() && QFileInfo(g_lastFolder).isDir())
        return g_lastFolder;
    const QString folder = QDir(shell::dataFolder()).filePath(QStringLiteral("export"));
    QDir().mkpath(folder);
    return folder;
}

QPrintPreviewDialog* reportPreview(const ReportDocument& document, QWidget* parent)
{
    auto* dialog = new QPrintPreviewDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(document.windowCaption);
    QPrinter* printer = dialog->printer();
    printer->setPageLayout(reportPageLayout(document.orientation));
    printer->setDocName(document.windowCaption);
    proposeFile(*printer, document.windowCaption);
    QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog,
                     [document](QPrinter* target) { printReport(document, *target); });
    // Printed: a file's folder is proposed for the next report.
    QObject::connect(dialog, &QDialog::accepted, dialog, [printer] {
        if (printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty())
            g_lastFolder = QFileInfo(printer->outputFileName()).absolutePath();
    });
    return dialog;
}

QPrintPreviewDialog* showReportPreview(const ReportDocument& document, QWidget* parent)
{
    QPrintPreviewDialog* dialog = reportPreview(document, parent);
    dialog->show();
    return dialog;
}

QPrintPreviewDialog* showQueryReport(const ReportFacts& facts, const store::Rows& result, QWidget* parent)
{
    return showReportPreview(bindReport(facts, result), parent);
}

}  // namespace reports
