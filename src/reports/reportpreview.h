#pragma once

#include "reports/reportdocument.h"
#include "reports/reportfacts.h"
#include "store/database.h"

class QPrintPreviewDialog;
class QWidget;

// The window side of the reports: the print preview, from which the user
// prints on a printer or to a PDF file.
namespace reports {

// Makes a print preview of `document` without showing it, for a caller that
// shows it its own way (modal, maximised). The preview keeps its own copy, so
// later runs do not change a report already shown. The dialog deletes itself
// when closed. Printed to a file, the report is proposed as
// proposedReportFile() of its caption in reportFolder().
QPrintPreviewDialog* reportPreview(const ReportDocument& document, QWidget* parent);

// Opens reportPreview() of `document`, not modal.
QPrintPreviewDialog* showReportPreview(const ReportDocument& document, QWidget* parent);

// Binds `result` to the layout chosen for `facts` and opens its preview: the
// View Report button and the result viewer's Print both come here.
QPrintPreviewDialog* showQueryReport(const ReportFacts& facts, const store::Rows& result, QWidget* parent);

// The PDF file a report captioned `caption` is proposed as, in `folder`: the
// caption is the file's name, with each path separator (a caption such as
// "Portfolio / Script Details" holds one) made a dash.
QString proposedReportFile(const QString& caption, const QString& folder);

// The folder a report file is proposed in: the one the user last printed a
// report to a file in, else the export folder of the data folder (made when
// missing).
QString reportFolder();

}  // namespace reports
