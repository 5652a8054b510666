// Where a report printed to a file is proposed: a name made of its caption,
// never a path, in the data folder's export folder or the last folder the
// user printed a report to.
#include "reportfixtures.h"
#include "reports/reportpreview.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace reports;

namespace {

TEST(ReportPreview, CaptionsMakeFileNamesWithoutPathSeparators)
{
    const struct {
        const char* caption;
        const char* file;
    } cases[] = {
        {"Portfolio / Script Details", "Portfolio - Script Details.pdf"},
        {"Portfoilo Details - Sector Wise", "Portfoilo Details - Sector Wise.pdf"},
        {"Gainers\\Losers  of the day", "Gainers-Losers of the day.pdf"},
        {"..", "Report.pdf"},
        {"  ", "Report.pdf"},
    };
    for (const auto& sample : cases) {
        const QString path = proposedReportFile(sample.caption, "/data/export");
        EXPECT_EQ(QFileInfo(path).fileName(), sample.file) << sample.caption;
        EXPECT_EQ(QFileInfo(path).path(), "/data/export") << sample.caption;
    }
}

TEST(ReportPreview, TheFileIsProposedInTheExportFolderThenInTheLastFolderUsed)
{
    const reportfixtures::ScopedDataFolder home;
    QTemporaryDir chosen;

    ReportDocument document;
    document.windowCaption = "Portfolio / Script Details";
    QPrintPreviewDialog* preview = showReportPreview(document, nullptr);
    const QString proposed = preview->printer()->outputFileName();
    EXPECT_EQ(proposed, QDir(home.path()).filePath("export/Portfolio - Script Details.pdf"));
    EXPECT_TRUE(QFileInfo(QFileInfo(proposed).path()).isWritable());

    // Printed to a file elsewhere: the next report is proposed there.
    preview->printer()->setOutputFileName(QDir(chosen.path()).filePath("mine.pdf"));
    preview->accept();
    preview = showReportPreview(document, nullptr);
    EXPECT_EQ(preview->printer()->outputFileName(), QDir(chosen.path()).filePath("Portfolio - Script Details.pdf"));
    preview->close();
}

}  // namespace
