// The valuation report screen: its date list, options, look-ups and Print.
#include "portfolio/portfolioreportscreen.h"
#include "portfoliofixture.h"
#include "reports/reportengine.h"
#include "viewer/chartdata.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QTemporaryDir>

using portfolio::PortfolioReportScreen;

namespace {

class ReportScreenTest : public pf::ScreenTest {
protected:
    void SetUp() override
    {
        growth = pf::addPortfolio(db(), "Growth");
        axis = pf::addScrip(db(), "Axis Bank");
        pf::addPrice(db(), QDate(2026, 3, 9), axis, 100, 0);
        pf::addPrice(db(), QDate(2026, 3, 10), axis, 110, 0);
        pf::addTransaction(db(), 1, 1, growth, axis, QDate(2026, 3, 2), "Buy", 10, 90);
        openScreen();
    }
    void openScreen()
    {
        screen = new PortfolioReportScreen(db(), lookups(),
                                        [this](const reports::ReportDocument& document) { shown.append(document); });
        screen->show();
    }
    void TearDown() override { delete screen.data(); }
    void click(const char* option) { screen->option(option)->click(); }
    bool checked(const char* option) { return screen->option(option)->isChecked(); }

    QPointer<PortfolioReportScreen> screen;
    QList<reports::ReportDocument> shown;
    qint64 growth = 0, axis = 0;
};

TEST_F(ReportScreenTest, OptionsKeepOneReportKindAndPrintValuesAtTheChosenDay)
{
    EXPECT_EQ(screen->windowTitle(), "Portfolio Report");
    ASSERT_EQ(screen->dateList()->count(), 2);
    EXPECT_EQ(screen->dateList()->currentText(), "10/Mar/2026");
    EXPECT_TRUE(checked("OptPortfolio"));
    EXPECT_TRUE(checked("OptDetail"));
    click("OptSummary");
    click("OptScript");
    EXPECT_TRUE(checked("OptDetail"));
    EXPECT_FALSE(checked("OptSummary"));
    click("OptSector");
    EXPECT_FALSE(screen->kindFrame()->isVisible());
    EXPECT_FALSE(checked("OptDetail"));
    EXPECT_EQ(screen->choice().request.kind, portfolio::ValuationKind::SectorWise);
    click("OptPortfolio");
    EXPECT_TRUE(screen->kindFrame()->isVisible());
    EXPECT_TRUE(checked("OptDetail"));

    choices.enqueue({"Growth", QString::number(growth)});
    screen->CmdPortfolio_Click();
    EXPECT_EQ(screen->choice().request.portfolioCode, growth);
    screen->CmdScript_Click();  // closed without a choice
    EXPECT_FALSE(screen->choice().request.scripCode);
    screen->dateList()->setCurrentIndex(1);
    click("OptSummary");
    screen->CmdPrint_Click();
    ASSERT_EQ(shown.size(), 1);
    ASSERT_EQ(shown[0].rows.size(), 1);
    // 10 bought at 90, valued at the 9 March close of 100.
    EXPECT_EQ(shown[0].rows[0].at(6), "100");
    EXPECT_EQ(shown[0].rows[0].at(8), "100");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(screen.isNull());
}

TEST_F(ReportScreenTest, SectorReportDrawsItsChartOnlyWhenAsked)
{
    db().exec("INSERT INTO GroupMaster (GroupCode, GroupName) VALUES ('BANKS', 'Banks')");
    db().exec("INSERT INTO LinkDetails (GrpCode, ScrCode) VALUES ('BANKS', ?)", {axis});
    const QColor bar = viewer::seriesColour(viewer::ChartLook(), 0);
    QTemporaryDir folder;
    QList<qint64> pdfSizes;
    for (bool chart : {true, false}) {
        if (!screen)
            openScreen();
        click("OptSector");
        screen->findChild<QCheckBox*>("ChkChart")->setChecked(chart);
        screen->CmdPrint_Click();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0].windowCaption, "Portfoilo Details - Sector Wise");
        EXPECT_EQ(shown[0].closingPicture.isEmpty(), !chart);
        // Pixels in the chart's bar colour on the report's pages.
        int barPixels = 0;
        for (const QImage& page : reports::renderReportPages(shown[0], 60))
            for (int y = 0; y < page.height(); ++y)
                for (int x = 0; x < page.width(); ++x)
                    barPixels += page.pixelColor(x, y) == bar ? 1 : 0;
        EXPECT_EQ(barPixels > 500, chart) << barPixels;
        EXPECT_EQ(barPixels == 0, !chart) << barPixels;
        const QString pdf = folder.filePath(chart ? "chart.pdf" : "plain.pdf");
        ASSERT_TRUE(reports::writeReportPdf(shown[0], pdf));
        pdfSizes.append(QFileInfo(pdf).size());
        shown.clear();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The chart is drawn into the PDF file too.
    EXPECT_GT(pdfSizes[0], pdfSizes[1] + 2000);
}

// Print opens the report window maximised, and printing it to a file
// proposes a file that can be written, though the caption holds a "/".
TEST_F(ReportScreenTest, ReportWindowOpensMaximisedAndProposesAWritableFile)
{
    qputenv("TARVENIX_HOME", services.dataFolder().toUtf8());
    delete screen.data();
    screen = new PortfolioReportScreen(db(), lookups());  // showing its own report window
    click("OptSummary");
    screen->CmdPrint_Click();
    qunsetenv("TARVENIX_HOME");
    QPrintPreviewDialog* window = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* preview = qobject_cast<QPrintPreviewDialog*>(top); preview && preview->isVisible())
            window = preview;
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Portfolio / Script Details");
    EXPECT_TRUE(window->isMaximized());
    QFile proposed(window->printer()->outputFileName());
    EXPECT_EQ(proposed.fileName(), services.dataFolder() + "/export/Portfolio - Script Details.pdf");
    EXPECT_TRUE(proposed.open(QIODevice::WriteOnly));
    window->close();
}

}  // namespace
