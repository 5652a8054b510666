#include "reports/reportpreview.h"

#include "reports/reportbinding.h"
#include "reports/reportengine.h"

#include <QPrintPreviewDialog>
#include <QPrinter>

namespace reports {

QPrintPreviewDialog* showReportPreview(const ReportDocument& document, QWidget* parent)
{
    auto* dialog = new QPrintPreviewDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(document.windowCaption);
    QPrinter* printer = dialog->printer();
    printer->setPageLayout(reportPageLayout(document.orientation));
    printer->setDocName(document.windowCaption);
    QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog,
                     [document](QPrinter* target) { printReport(document, *target); });
    dialog->show();
    return dialog;
}

QPrintPreviewDialog* showQueryReport(const ReportFacts& facts, const store::Rows& result, QWidget* parent)
{
    return showReportPreview(bindReport(facts, result), parent);
}

}  // namespace reports
