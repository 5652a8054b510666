// The valuation report screen: its date list, options, look-ups, Print and
// its modal report window.
#include "portfolio/portfolioreportscreen.h"
#include "portfolio/transactionsscreen.h"
#include "portfoliofixture.h"
#include "reports/reportengine.h"
#include "viewer/chartdata.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using portfolio::PortfolioReportScreen;
using portfolio::TransactionGrid;

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
        screen = new PortfolioReportScreen(db(), lookups(), [this](const reports::ReportDocument& document) {
            shown.append(document);
            reportWindow = new QDialog;
            return reportWindow.data();
        });
        screen->show();
    }
    void TearDown() override
    {
        // A report window left open by a failed test would block the next.
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
        delete screen.data();
        delete reportWindow.data();
    }
    void click(const char* option) { screen->option(option)->click(); }
    bool checked(const char* option) { return screen->option(option)->isChecked(); }
    // The user closes the report window.
    void closeReport()
    {
        ASSERT_TRUE(reportWindow);
        reportWindow->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QPointer<PortfolioReportScreen> screen;
    QList<reports::ReportDocument> shown;
    QPointer<QDialog> reportWindow;
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
    closeReport();
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
        closeReport();
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

// From the transactions screen: figures typed into the grid stand to the right
// as loaded ones do. Its Print opens the report screen in the middle of the
// screen, of a fixed size, in its own fonts; the screen's Print shows the
// report in a modal, maximised window and waits; when the user closes the
// report, the screen empties its choices and closes.
TEST_F(ReportScreenTest, TransactionsPrintOpensAFixedScreenThatWaitsForItsModalReport)
{
    delete screen.data();
    portfolio::TransactionsScreen transactions(services, lookups());
    transactions.show();
    transactions.button("Modify")->trigger();
    TransactionGrid* grid = transactions.grid();
    grid->setCurrentCell(0, TransactionGrid::Qty);
    grid->edit(grid->currentIndex());
    // Enter moves on from Qty to Rate.
    for (int column : {TransactionGrid::Qty, TransactionGrid::Rate}) {
        const QModelIndex cell = grid->model()->index(0, column);
        QWidget* editor = grid->indexWidget(cell);
        ASSERT_NE(editor, nullptr) << column;
        QTest::keyClicks(editor, "12");
        QTest::keyClick(editor, Qt::Key_Return);
        EXPECT_EQ(grid->cell(0, column), "12");
        const auto alignment = Qt::Alignment(cell.data(Qt::TextAlignmentRole).toInt());
        EXPECT_TRUE(alignment.testFlag(Qt::AlignRight)) << column;
    }

    transactions.button("Print")->trigger();
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* opened = qobject_cast<PortfolioReportScreen*>(top); opened && opened->isVisible())
            screen = opened;
    ASSERT_TRUE(screen);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(screen.data()));
    const auto expectFont = [this](const QString& control, const QString& family, qreal points) {
        const QWidget* widget = screen->findChild<QWidget*>(control);
        ASSERT_NE(widget, nullptr) << control.toStdString();
        const QFont font = widget->font();
        EXPECT_EQ(font.family(), family) << control.toStdString();
        EXPECT_EQ(font.pointSizeF(), points) << control.toStdString();
        EXPECT_TRUE(font.bold()) << control.toStdString();
    };
    for (const char* control :
         {"OptPortfolio", "OptScript", "OptSector", "OptDetail", "OptSummary", "ChkChart", "CmdPrint", "Label2"})
        expectFont(control, "Verdana", 8.25);
    for (const char* control : {"TxtPortfolio", "TxtScriptnm", "Label9", "Label1"})
        expectFont(control, "Arial", 9.75);
    // A fixed border, in the middle of the screen.
    const QSize size = screen->size();
    EXPECT_EQ(screen->minimumSize(), size);
    EXPECT_EQ(screen->maximumSize(), size);
    EXPECT_FALSE(screen->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    // Centred give or take the window's frame, which the window system adds.
    const QPoint offCentre = screen->geometry().center() - screen->screen()->availableGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 6) << offCentre.x() << "," << offCentre.y();
    // Sector Wise hides the kinds; the grouping frame keeps its height.
    auto* grouping = screen->findChild<QGroupBox*>("Frame3");
    const int groupingHeight = grouping->height();
    click("OptSector");
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(grouping->height(), groupingHeight);
    EXPECT_EQ(screen->size(), size);

    screen->findChild<QLineEdit*>("TxtPortfolio")->setText("Growth");
    screen->findChild<QLineEdit*>("TxtPortfolioCd")->setText(QString::number(growth));
    auto* print = screen->findChild<QPushButton*>("CmdPrint");
    const auto clickPrint = [&] {
        QTest::mouseClick(screen->windowHandle(), Qt::LeftButton, {}, print->mapTo(screen.data(), print->rect().center()));
    };
    clickPrint();
    auto* report = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->windowTitle(), "Portfoilo Details - Sector Wise");
    EXPECT_EQ(report->windowModality(), Qt::ApplicationModal);
    EXPECT_TRUE(report->isMaximized());
    // The screen waits behind its report and takes no input.
    ASSERT_TRUE(screen);
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(pf::boxTexts(screen, "TxtPortfolio TxtPortfolioCd"), QStringList({"Growth", QString::number(growth)}));
    clickPrint();
    int reportWindows = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        reportWindows += qobject_cast<QPrintPreviewDialog*>(top) && top->isVisible() ? 1 : 0;
    EXPECT_EQ(reportWindows, 1);

    report->close();
    ASSERT_TRUE(screen);
    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ(pf::boxTexts(screen, "TxtPortfolio TxtPortfolioCd TxtScriptnm TxtScriptcd"),
              QStringList({"", "", "", ""}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(screen.isNull());
}

}  // namespace
