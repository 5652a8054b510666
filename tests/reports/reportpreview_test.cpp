// A report printed to a file is proposed under a name made of its caption,
// never a path, in the data folder's export folder or the last folder the
// user printed a report to.
#include "reports/reportpreview.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace reports;

namespace {

TEST(ReportPreview, TheFileIsNamedForTheCaptionInTheExportFolderThenTheLastFolderUsed)
{
    const char* const names[][2] = {{"Portfolio / Script Details", "Portfolio - Script Details.pdf"},
                                    {"Gainers\\Losers  of the day", "Gainers-Losers of the day.pdf"},
                                    {"..", "Report.pdf"},
                                    {" ", "Report.pdf"}};
    for (const auto& [caption, file] : names)
        EXPECT_EQ(proposedReportFile(caption, "/data/export"), QStringLiteral("/data/export/") + file) << caption;

    const QTemporaryDir home;
    const QTemporaryDir chosen;
    qputenv("TARVENIX_HOME", home.path().toUtf8());
    ReportDocument document;
    document.windowCaption = "Portfolio / Script Details";
    QPrintPreviewDialog* preview = showReportPreview(document, nullptr);
    EXPECT_EQ(preview->printer()->outputFileName(), QDir(home.path()).filePath("export/Portfolio - Script Details.pdf"));
    EXPECT_TRUE(QFileInfo(QDir(home.path()).filePath("export")).isWritable());
    // Printed to a file elsewhere: the next report is proposed there.
    preview->printer()->setOutputFileName(QDir(chosen.path()).filePath("mine.pdf"));
    preview->accept();
    preview = showReportPreview(document, nullptr);
    EXPECT_EQ(preview->printer()->outputFileName(), QDir(chosen.path()).filePath("Portfolio - Script Details.pdf"));
    preview->close();
    qunsetenv("TARVENIX_HOME");
}

}  // namespace
