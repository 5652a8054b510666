// The valuation report screen: its date list, options, look-ups and Print.
#include "portfolio/portfolioreportscreen.h"
#include "portfoliofixture.h"
#include "reports/reportengine.h"
#include "viewer/chartdata.h"
#include "support/scriptedprompt.h"
#include "support/teststore.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QPointer>
#include <QQueue>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using portfolio::PortfolioReportScreen;

namespace {

class ReportScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        growth = pf::addPortfolio(db(), QStringLiteral("Growth"));
        axis = pf::addScrip(db(), QStringLiteral("Axis Bank"));
        pf::addPrice(db(), QDate(2026, 3, 9), axis, 100, 0);
        pf::addPrice(db(), QDate(2026, 3, 10), axis, 110, 0);
        pf::addTransaction(db(), 1, 1, growth, axis, QDate(2026, 3, 2), QStringLiteral("Buy"), 10, 90);
        openScreen();
    }
    void openScreen()
    {
        screen = new PortfolioReportScreen(
            db(), [this](const QString&, const QStringList&) { return choices.isEmpty() ? QStringList() : choices.dequeue(); },
            [this](const reports::ReportDocument& document) { shown.append(document); });
        screen->show();
    }
    void TearDown() override { delete screen.data(); }
    store::Database& db() { return store.db(); }
    void click(const char* option) { screen->option(QString::fromLatin1(option))->click(); }

    TestStore store;
    ScriptedPrompt prompt;
    QPointer<PortfolioReportScreen> screen;
    QQueue<QStringList> choices;
    QList<reports::ReportDocument> shown;
    qint64 growth = 0, axis = 0;
};

TEST_F(ReportScreenTest, OptionsKeepOneReportKind)
{
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("Portfolio Report"));
    ASSERT_EQ(screen->dateList()->count(), 2);
    EXPECT_EQ(screen->dateList()->currentText(), QStringLiteral("10/Mar/2026"));
    EXPECT_TRUE(screen->option(QStringLiteral("OptPortfolio"))->isChecked());
    EXPECT_TRUE(screen->option(QStringLiteral("OptDetail"))->isChecked());

    click("OptSummary");
    click("OptScript");
    EXPECT_TRUE(screen->option(QStringLiteral("OptDetail"))->isChecked());
    EXPECT_FALSE(screen->option(QStringLiteral("OptSummary"))->isChecked());
    click("OptSector");
    EXPECT_FALSE(screen->kindFrame()->isVisible());
    EXPECT_FALSE(screen->option(QStringLiteral("OptDetail"))->isChecked());
    EXPECT_EQ(screen->choice().request.kind, portfolio::ValuationKind::SectorWise);
    click("OptPortfolio");
    EXPECT_TRUE(screen->kindFrame()->isVisible());
    EXPECT_TRUE(screen->option(QStringLiteral("OptDetail"))->isChecked());
}

TEST_F(ReportScreenTest, PrintValuesAtTheChosenDayAndCloses)
{
    choices.enqueue({QStringLiteral("Growth"), QString::number(growth)});
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
    EXPECT_EQ(shown[0].rows[0].at(6), QStringLiteral("100"));
    EXPECT_EQ(shown[0].rows[0].at(8), QStringLiteral("100"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(screen.isNull());
}

TEST_F(ReportScreenTest, SectorReportDrawsItsChartOnlyWhenAsked)
{
    db().exec(QStringLiteral("INSERT INTO GroupMaster (GroupCode, GroupName) VALUES ('BANKS', 'Banks')"));
    db().exec(QStringLiteral("INSERT INTO LinkDetails (GrpCode, ScrCode) VALUES ('BANKS', ?)"), {axis});
    // Pixels in the chart's bar colour on the report's pages.
    auto barPixels = [](const reports::ReportDocument& document) {
        const QColor bar = viewer::seriesColour(viewer::ChartLook(), 0);
        int count = 0;
        for (const QImage& page : reports::renderReportPages(document, 60)) {
            for (int y = 0; y < page.height(); ++y) {
                for (int x = 0; x < page.width(); ++x)
                    count += page.pixelColor(x, y) == bar ? 1 : 0;
            }
        }
        return count;
    };
    QTemporaryDir folder;
    QList<qint64> pdfSizes;
    for (bool chart : {true, false}) {
        if (!screen)
            openScreen();
        click("OptSector");
        screen->findChild<QCheckBox*>(QStringLiteral("ChkChart"))->setChecked(chart);
        screen->CmdPrint_Click();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0].windowCaption, QStringLiteral("Portfoilo Details - Sector Wise"));
        EXPECT_EQ(shown[0].closingPicture.isEmpty(), !chart);
        if (chart)
            EXPECT_GT(barPixels(shown[0]), 500);
        else
            EXPECT_EQ(barPixels(shown[0]), 0);
        const QString pdf = folder.filePath(chart ? QStringLiteral("chart.pdf") : QStringLiteral("plain.pdf"));
        ASSERT_TRUE(reports::writeReportPdf(shown[0], pdf));
        pdfSizes.append(QFileInfo(pdf).size());
        shown.clear();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The chart is drawn into the PDF file too.
    EXPECT_GT(pdfSizes[0], pdfSizes[1] + 2000);
}

}  // namespace
