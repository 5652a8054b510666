// The viewer's group saving, Excel export and chart buttons, driven as a
// user drives them.
#include "masters/groupmasterform.h"
#include "shell/sharedstate.h"
#include "viewer/chart3dview.h"
#include "viewer/chartpreview.h"
#include "viewer/chartwindow.h"
#include "viewer/groupfromresult.h"
#include "viewer/resultexport.h"
#include "viewer/resultviewer.h"
#include "viewer/scriptwriter.h"
#include "viewer/viewerscreens.h"
#include "viewer/workbook.h"

#include "support/fakeservices.h"
#include "support/scriptedprompt.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPieSeries>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ViewerButtonsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell::sharedState().newGroupFlag = false;
        shell::sharedState().newGroupScrips.clear();
        auto& db = services.database();
        db.exec(QStringLiteral("CREATE TABLE QueryResult (stock TEXT COLLATE NOCASE, \"% Chg\" REAL, s_code INTEGER, "
                               "NSETrdQty INTEGER)"));
        const QList<QVariantList> rows = {
            {QStringLiteral("Alpha"), 2.5, 1, 100},  {QStringLiteral("Beta"), -1.0, 2, 300},
            {QStringLiteral("Alpha"), 3.0, 1, 200},  {QStringLiteral("Gamma"), 0.5, 3, 50},
            {QStringLiteral("alpha"), 1.0, 4, 10},   {QStringLiteral("Nobody"), 0.0, 5, QVariant()},
        };
        for (const QVariantList& row : rows)
            db.exec(QStringLiteral("INSERT INTO QueryResult VALUES (?, ?, ?, ?)"), row);
        for (const QString& company : {QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Gamma")})
            db.exec(QStringLiteral("INSERT INTO ScripMaster (company) VALUES (?)"), {company});
        db.exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('BANKS', 'Banks'), ('IT', 'Information')"));
        db.exec(QStringLiteral("INSERT INTO LinkDetails VALUES ('IT', 2)"));
    }

    void TearDown() override
    {
        delete viewer::openChartWindow();
        delete viewer::openResultViewer();
    }

    void open(const QString& queryName = QStringLiteral("Top Delivery"))
    {
        window = viewer::showResult(services, QStringLiteral("select * from QueryResult"), queryName);
    }

    template <typename T>
    T* child(const QString& name)
    {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    void press(const QString& button) { child<QPushButton>(button)->click(); }
    void choose(const QString& combo, const QString& text) { child<QComboBox>(combo)->setCurrentText(text); }

    QList<qint64> links(const QString& group)
    {
        QList<qint64> scrips;
        const store::Rows rows = services.database().query(
            QStringLiteral("SELECT ScrCode FROM LinkDetails WHERE GrpCode = ? ORDER BY ScrCode"), {group});
        for (const QVariantList& row : rows.rows)
            scrips.append(row.value(0).toLongLong());
        return scrips;
    }

    FakeServices services;
    ScriptedPrompt prompt;
    viewer::ResultViewerWindow* window = nullptr;
};

// ---- group from a result ----------------------------------------------------

TEST_F(ViewerButtonsTest, ResultScripsAreDistinctNamesWithTheirNumbers)
{
    const viewer::ResultScrips scrips =
        viewer::collectResultScrips(services.database(), services.database().query(QStringLiteral("select * from QueryResult")));
    ASSERT_TRUE(scrips.ok());
    // "alpha" differs from "Alpha" in case only and counts as a name of its own.
    EXPECT_EQ(scrips.names, QStringList({QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Gamma"),
                                         QStringLiteral("alpha"), QStringLiteral("Nobody")}));
    EXPECT_EQ(scrips.scrips, QList<qint64>({1, 2, 3, 1, 0}));

    store::Rows noStock = services.database().query(QStringLiteral("select NSETrdQty from QueryResult"));
    EXPECT_FALSE(viewer::collectResultScrips(services.database(), noStock).ok());
    noStock.rows.clear();
    store::Rows empty = services.database().query(QStringLiteral("select * from QueryResult where 1 = 2"));
    EXPECT_FALSE(viewer::collectResultScrips(services.database(), empty).ok());
}

TEST_F(ViewerButtonsTest, SaveGroupAsNewHandsTheScripsToTheGroupMaster)
{
    open();
    prompt.answers.enqueue(ui::Answer::Yes);
    press(QStringLiteral("CmdSave_Group"));
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Do You Want To Create New Group Or Add To Existing Group"));
    EXPECT_EQ(prompt.messages.last().buttons, ui::Buttons::YesNo);
    EXPECT_EQ(prompt.messages.last().icon, ui::Icon::Information);
    EXPECT_TRUE(shell::sharedState().newGroupFlag);
    EXPECT_EQ(shell::sharedState().newGroupScrips, QList<qint64>({1, 2, 3, 1, 0}));
    EXPECT_EQ(services.openedScreens, QStringList({QStringLiteral("Group")}));

    // The group master makes the new group with those scrips when it is saved.
    masters::GroupMasterForm groupMaster(services.database());
    groupMaster.Toolbar1_ButtonClick(QStringLiteral("new"));
    groupMaster.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("MINE"));
    groupMaster.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QStringLiteral("My Picks"));
    groupMaster.Toolbar1_ButtonClick(QStringLiteral("save"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("My Picks Group Created"));
    EXPECT_EQ(links(QStringLiteral("MINE")), QList<qint64>({1, 2, 3}));
    EXPECT_FALSE(shell::sharedState().newGroupFlag);
}

TEST_F(ViewerButtonsTest, SaveGroupIntoAnExistingGroupAddsOnlyTheMissingScrips)
{
    open();
    // Only the rows the filter lets through count: Beta and Gamma.
    auto* column = child<QComboBox>(QStringLiteral("cboFilterCols"));
    column->setCurrentIndex(column->findText(QStringLiteral("NSETrdQty")));
    auto* op = child<QComboBox>(QStringLiteral("cboOper"));
    op->setCurrentIndex(op->findText(QStringLiteral(">")));
    child<QLineEdit>(QStringLiteral("txtFilterValue"))->setText(QStringLiteral("250"));
    press(QStringLiteral("cmdFilterShow0"));  // Beta only
    ASSERT_TRUE(prompt.messages.isEmpty()) << prompt.lastText().toStdString();

    prompt.answers.enqueue(ui::Answer::No);
    press(QStringLiteral("CmdSave_Group"));
    auto* panel = child<QFrame>(QStringLiteral("FrmGrp"));
    EXPECT_FALSE(panel->isHidden());
    auto* groups = child<QComboBox>(QStringLiteral("CmbGrp"));
    EXPECT_EQ(groups->count(), 2);
    EXPECT_EQ(groups->currentText(), QStringLiteral("Banks"));
    groups->setCurrentText(QStringLiteral("Information"));
    press(QStringLiteral("CmdOk"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Group Updated"));
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(links(QStringLiteral("IT")), QList<qint64>({2}));  // Beta was in already

    // The whole result into Banks: Alpha, Beta, Gamma once each, Nobody never.
    press(QStringLiteral("cmdFilterShow1"));
    prompt.answers.enqueue(ui::Answer::No);
    press(QStringLiteral("CmdSave_Group"));
    press(QStringLiteral("CmdOk"));
    EXPECT_EQ(links(QStringLiteral("BANKS")), QList<qint64>({1, 2, 3}));

    // A No shows the list, the next No hides it again.
    prompt.answers.enqueue(ui::Answer::No);
    press(QStringLiteral("CmdSave_Group"));
    EXPECT_FALSE(panel->isHidden());
    prompt.answers.enqueue(ui::Answer::No);
    press(QStringLiteral("CmdSave_Group"));
    EXPECT_TRUE(panel->isHidden());
}

TEST_F(ViewerButtonsTest, AddingToAGroupThatIsGoneDoesNothing)
{
    EXPECT_FALSE(viewer::addScripsToGroup(services.database(), QStringLiteral("Gone"), {1, 2}).has_value());
    EXPECT_EQ(viewer::addScripsToGroup(services.database(), QStringLiteral(" Banks "), {0, 3, 3}), 1);
    EXPECT_EQ(links(QStringLiteral("BANKS")), QList<qint64>({3}));
}

// ---- Excel exports ----------------------------------------------------------

TEST_F(ViewerButtonsTest, MarketWatchQueryExportsIntoItsSheetInTheDataFolder)
{
    open(QStringLiteral("52 Week High"));
    press(QStringLiteral("Command1"));
    const QString path = QDir(services.dataFolder()).filePath(viewer::kMarketWatchFile);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Result Exported to ") + QDir::toNativeSeparators(path));
    const viewer::Workbook book = viewer::Workbook::read(path);
    const viewer::WorkbookSheet* sheet = book.sheet(QStringLiteral("yearly high"));
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->value(1, 2).toString(), QStringLiteral("% Chg"));
    EXPECT_EQ(sheet->value(1, 3).toString(), QStringLiteral("NSETrdQty"));  // s_code left out
    EXPECT_TRUE(sheet->isBold(1, 3));
    EXPECT_EQ(sheet->value(7, 1).toString(), QStringLiteral("Nobody"));
    EXPECT_FALSE(sheet->value(7, 3).isValid());
}

TEST_F(ViewerButtonsTest, OtherQueriesExportFromTheChosenRowToTheChosenFile)
{
    open();
    auto* grid = child<QTableView>(QStringLiteral("DataGrid1"));
    grid->setCurrentIndex(grid->model()->index(3, 0));
    const QString path = QDir(services.dataFolder()).filePath(QStringLiteral("mine"));
    prompt.files.enqueue(path);
    press(QStringLiteral("Command1"));
    ASSERT_EQ(prompt.fileRequests.size(), 1);
    EXPECT_EQ(prompt.fileRequests.first().directory, services.dataFolder());
    const viewer::Workbook book = viewer::Workbook::read(path + QStringLiteral(".xlsx"));
    EXPECT_EQ(book.sheets().first().value(2, 1).toString(), QStringLiteral("Gamma"));
    EXPECT_EQ(book.sheets().first().lastRow(), 4);

    // Cancelling the file chooser writes nothing and says nothing.
    prompt.messages.clear();
    press(QStringLiteral("Command1"));
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(ViewerButtonsTest, DerivativesReportAsksFirst)
{
    open(QStringLiteral("Top 5 Gainer & Loser"));
    press(QStringLiteral("Command1"));  // answered No
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages.first().title, QStringLiteral("Export Data?"));
    EXPECT_EQ(prompt.messages.first().text,
              QStringLiteral("This will export the current records of the Query to an Excel sheet, Do you wish to continue?"));
    EXPECT_TRUE(prompt.fileRequests.isEmpty());
    EXPECT_FALSE(QFile::exists(QDir(services.dataFolder()).filePath(viewer::kDerivativesTemplateFile)));

    prompt.answers.enqueue(ui::Answer::Yes);
    const QString path = QDir(services.dataFolder()).filePath(QStringLiteral("deri.xlsx"));
    prompt.files.enqueue(path);
    press(QStringLiteral("Command1"));
    EXPECT_TRUE(QFile::exists(QDir(services.dataFolder()).filePath(viewer::kDerivativesTemplateFile)));
    EXPECT_EQ(viewer::Workbook::read(path).sheet(QStringLiteral("sheet1"))->value(2, 1).toString(), QStringLiteral("Alpha"));
}

// ---- chart ------------------------------------------------------------------

TEST_F(ViewerButtonsTest, DisplayGraphNeedsBothAxes)
{
    open();
    choose(QStringLiteral("Comboxaxis"), QStringLiteral("stock"));
    choose(QStringLiteral("Comboyaxis"), QStringLiteral("  "));
    press(QStringLiteral("cmdshowgraph"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("First Select X-Axis, Y-Axis to Display Graph"));
    EXPECT_EQ(viewer::openChartWindow(), nullptr);

    choose(QStringLiteral("Comboyaxis"), QStringLiteral("no such column"));
    press(QStringLiteral("cmdshowgraph"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("\"no such column\" is not a column of the result."));
    EXPECT_EQ(viewer::openChartWindow(), nullptr);
}

TEST_F(ViewerButtonsTest, ChartStatementSkipsBlankSeriesAndFollowsTheSortRows)
{
    const QList<store::Column> columns = services.database().query(QStringLiteral("select * from QueryResult")).columns;
    viewer::ChartColumns chosen;
    chosen.xAxis = QStringLiteral("STOCK");
    chosen.yAxis = QStringLiteral("% Chg");
    chosen.series = {QString(), QStringLiteral("NSETrdQty"), QStringLiteral(" "), QString()};
    const viewer::ChartStatement statement = viewer::chartStatement(columns, chosen, {{3, false}});
    EXPECT_EQ(statement.sql, QStringLiteral("SELECT \"stock\", \"% Chg\", \"NSETrdQty\" FROM \"QueryResult\" "
                                            "ORDER BY \"QueryResult\".\"NSETrdQty\" DESC"));
    const store::Rows rows = services.database().query(statement.sql);
    EXPECT_EQ(rows.rows.first().value(0).toString(), QStringLiteral("Beta"));
}

TEST_F(ViewerButtonsTest, ChartSeriesComeFromTheChartRows)
{
    store::Rows rows = services.database().query(QStringLiteral("select stock, \"% Chg\", NSETrdQty from QueryResult"));
    const viewer::ChartData columnsAsSeries = viewer::chartDataFromRows(rows, false);
    EXPECT_EQ(columnsAsSeries.categories.size(), 6);
    ASSERT_EQ(columnsAsSeries.series.size(), 2);
    EXPECT_EQ(columnsAsSeries.series[1].name, QStringLiteral("NSETrdQty"));
    EXPECT_EQ(columnsAsSeries.series[1].values[1], 300.0);
    EXPECT_FALSE(columnsAsSeries.series[1].values[5].has_value());

    const viewer::ChartData rowsAsSeries = viewer::chartDataFromRows(rows, true);
    EXPECT_EQ(rowsAsSeries.categories, QStringList({QStringLiteral("% Chg"), QStringLiteral("NSETrdQty")}));
    ASSERT_EQ(rowsAsSeries.series.size(), 6);
    EXPECT_EQ(rowsAsSeries.series[1].name, QStringLiteral("Beta"));
    EXPECT_EQ(rowsAsSeries.series[1].values[0], -1.0);
}

TEST_F(ViewerButtonsTest, ChartWindowDrawsRestylesAndSavesThePicture)
{
    open();
    press(QStringLiteral("Command2"));
    choose(QStringLiteral("Comboxaxis"), QStringLiteral("stock"));
    choose(QStringLiteral("Comboyaxis"), QStringLiteral("NSETrdQty"));
    choose(QStringLiteral("Combo1series"), QStringLiteral("% Chg"));
    press(QStringLiteral("cmdshowgraph"));
    viewer::ChartWindow* chart = viewer::openChartWindow();
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->windowTitle(), QStringLiteral("Graph"));
    ASSERT_EQ(chart->chart()->series().size(), 1);
    auto* bars = qobject_cast<QBarSeries*>(chart->chart()->series().first());
    ASSERT_NE(bars, nullptr);
    ASSERT_EQ(bars->count(), 2);
    EXPECT_EQ(bars->barSets()[0]->label(), QStringLiteral("NSETrdQty"));
    EXPECT_DOUBLE_EQ(bars->barSets()[0]->at(1), 300.0);
    // The grid keeps showing the result.
    EXPECT_EQ(window->shownResult().rows.columns.size(), 4);

    auto pressInChart = [chart](const QString& name) {
        auto* button = chart->findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr) << name.toStdString();
        button->click();
    };
    pressInChart(QStringLiteral("cmdch3"));  // 2D line: one line per series
    EXPECT_EQ(chart->chart()->series().size(), 2);
    EXPECT_EQ(chart->chart()->series().first()->type(), QAbstractSeries::SeriesTypeLine);
    pressInChart(QStringLiteral("cmdch2"));  // pie of the first series, positive values only
    auto* pie = qobject_cast<QPieSeries*>(chart->chart()->series().first());
    ASSERT_NE(pie, nullptr);
    EXPECT_EQ(pie->count(), 5);
    pressInChart(QStringLiteral("cmdrowcol0"));
    EXPECT_TRUE(chart->look().seriesInRows);
    EXPECT_EQ(chart->data().series.size(), 6);
    pressInChart(QStringLiteral("cmdborder0"));
    EXPECT_TRUE(chart->look().border);
    auto* defaults = chart->findChild<QAbstractButton*>(QStringLiteral("optdef"));
    defaults->click();
    EXPECT_TRUE(defaults->isChecked());
    EXPECT_FALSE(chart->look().border);
    EXPECT_FALSE(chart->look().seriesInRows);
    pressInChart(QStringLiteral("cmdshadow0"));
    EXPECT_FALSE(defaults->isChecked());

    // A point's value, then a new colour for the series.
    chart->showPointValue(0, 1);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("300"));
    prompt.colours.enqueue(QColor(Qt::red));
    chart->chooseSeriesColour(0);
    bars = qobject_cast<QBarSeries*>(chart->chart()->series().first());
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(bars->barSets()[0]->color(), QColor(Qt::red));

    const QString picture = QDir(services.dataFolder()).filePath(QStringLiteral("chart"));
    prompt.files.enqueue(picture);
    pressInChart(QStringLiteral("cmdsave"));
    QImage saved(picture + QStringLiteral(".bmp"), "BMP");
    EXPECT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), chart->canvas()->size());
}

TEST_F(ViewerButtonsTest, ThreeDChartsTurnAndAnswerClicks)
{
    open();
    choose(QStringLiteral("Comboxaxis"), QStringLiteral("stock"));
    choose(QStringLiteral("Comboyaxis"), QStringLiteral("NSETrdQty"));
    press(QStringLiteral("cmdshowgraph"));
    viewer::ChartWindow* chart = viewer::openChartWindow();
    ASSERT_NE(chart, nullptr);
    chart->resize(900, 600);
    auto pressInChart = [chart](const QString& name) { chart->findChild<QPushButton*>(name)->click(); };

    // On a 2D type the rotation buttons change nothing that shows.
    const QImage flat = chart->picture();
    pressInChart(QStringLiteral("Command3"));
    chart->turnOneStep();
    pressInChart(QStringLiteral("Command2"));
    EXPECT_EQ(chart->picture(), flat);

    pressInChart(QStringLiteral("cmdch1"));
    EXPECT_EQ(chart->chart(), nullptr);
    ASSERT_EQ(chart->canvas(), chart->view3D());
    EXPECT_NE(chart->picture(), flat);

    // Auto Rotate turns the view, Stop holds it where it is.
    const viewer::View3D start = chart->view();
    pressInChart(QStringLiteral("Command3"));
    EXPECT_TRUE(chart->isRotating());
    chart->turnOneStep();
    chart->turnOneStep();
    EXPECT_DOUBLE_EQ(chart->view().rotation, viewer::turnedBy(start, 2).rotation);
    pressInChart(QStringLiteral("Command2"));
    EXPECT_FALSE(chart->isRotating());
    const viewer::View3D held = chart->view();
    chart->turnOneStep();
    EXPECT_EQ(chart->view(), held);

    // A click on the top of Beta's bar shows its value; one on the legend
    // entry chooses the series' colour.
    const viewer::Chart3DPainter drawn = chart->view3D()->drawn();
    const QPointF top = drawn.outlinesOf({0, 1}).first().boundingRect().center();
    QTest::mouseClick(chart->view3D(), Qt::LeftButton, {}, top.toPoint());
    EXPECT_EQ(prompt.lastText(), QStringLiteral("300"));
    prompt.colours.enqueue(QColor(Qt::green));
    for (int y = 0; y < chart->view3D()->height(); ++y) {
        if (drawn.pickLegend(QPointF(chart->view3D()->width() - 40, y)) == 0) {
            QTest::mouseClick(chart->view3D(), Qt::LeftButton, {}, QPoint(chart->view3D()->width() - 40, y));
            break;
        }
    }
    EXPECT_EQ(viewer::seriesColour(chart->look(), 0), QColor(Qt::green));
}

TEST_F(ViewerButtonsTest, PreviewLaysTheChartOnAPageAndPrintsIt)
{
    open();
    choose(QStringLiteral("Comboxaxis"), QStringLiteral("stock"));
    choose(QStringLiteral("Comboyaxis"), QStringLiteral("NSETrdQty"));
    press(QStringLiteral("cmdshowgraph"));
    viewer::ChartWindow* chart = viewer::openChartWindow();
    ASSERT_NE(chart, nullptr);
    chart->findChild<QPushButton*>(QStringLiteral("cmdch5"))->click();
    chart->findChild<QPushButton*>(QStringLiteral("cmdView"))->click();
    viewer::ChartPreviewWindow* preview = chart->previewWindow();
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(services.children.contains(preview));
    EXPECT_EQ(preview->windowTitle(), QStringLiteral("PRINT PREVIEW"));
    EXPECT_GE(preview->width(), 500);
    EXPECT_GE(preview->height(), 350);
    EXPECT_EQ(preview->zoomBar()->value(), 25);
    EXPECT_EQ(preview->findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("25%"));
    EXPECT_EQ(preview->page().chartSize(), QSize(chart->chartWidth(), chart->chartHeight()));
    EXPECT_EQ(preview->pageView()->size(), QSize(200, 283));
    EXPECT_EQ(preview->shownChart().look.type, viewer::ChartType::Step3D);

    // Dragging the picture moves the chart; the place holds at 50 percent.
    auto* picture = preview->chartOnPage();
    QTest::mousePress(picture, Qt::RightButton, {}, QPoint(10, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(30, 50), picture->mapToGlobal(QPointF(30, 50)), Qt::NoButton,
                     Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(picture, &move);
    // The picture followed the mouse: it is let go at the same spot of it.
    QTest::mouseRelease(picture, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(picture->pos(), QPoint(20, 40));
    preview->zoomBar()->setValue(50);
    EXPECT_EQ(picture->pos(), QPoint(40, 80));

    // Landscape, two copies, printed to a PDF file.
    preview->findChild<QAction*>(QStringLiteral("or1"))->trigger();
    preview->findChild<QAction*>(QStringLiteral("noc1_1"))->trigger();
    EXPECT_EQ(preview->pageView()->size(), QSize(567, 400));
    const QString pdf = QDir(services.dataFolder()).filePath(QStringLiteral("page.pdf"));
    preview->setPrinterChooser([&pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    preview->findChild<QPushButton*>(QStringLiteral("cmdPrint"))->click();
    EXPECT_EQ(preview->zoomBar()->value(), 100);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_EQ(text.count("/MediaBox [0 0 842.000000 595.000000]"), 2);

    // The chart window gone, the page keeps its chart.
    delete chart;
    preview->zoomBar()->setValue(30);
    EXPECT_EQ(preview->shownChart().look.type, viewer::ChartType::Step3D);
    delete preview;
}

// ---- derivative group script --------------------------------------------------

TEST_F(ViewerButtonsTest, DerivativeScriptWindowWritesTheGroupInScripOrder)
{
    auto& db = services.database();
    const QString path = QDir(services.dataFolder()).filePath(QStringLiteral("export/newscript.txt"));
    delete new viewer::DerivativeScriptWindow(db, services.dataFolder());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().isEmpty());
    file.close();

    db.exec(QStringLiteral("INSERT INTO LinkDetails VALUES ('Derivative', 12), ('Derivative', 3), ('IT', 5), ('O''Neil', 4)"));
    auto* window = new viewer::DerivativeScriptWindow(db, services.dataFolder());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Form2"));
    EXPECT_EQ(window->scriptPath(), path);
    EXPECT_TRUE(window->problem().isEmpty());
    delete window;
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\" insert into linkdetails values ('Derivative',3)\"\r\n"
                                         "\" insert into linkdetails values ('Derivative',12)\"\r\n"));
    file.close();
    EXPECT_EQ(viewer::derivativeScriptLine(QStringLiteral("O'Neil"), 4),
              QStringLiteral("\" insert into linkdetails values ('O''Neil',4)\"\r\n"));
    EXPECT_TRUE(prompt.messages.isEmpty());

    // A folder that cannot be made is reported, and the window still opens.
    QTemporaryDir blocked;
    QFile blocker(QDir(blocked.path()).filePath(QStringLiteral("export")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    window = new viewer::DerivativeScriptWindow(db, blocked.path());
    EXPECT_FALSE(window->problem().isEmpty());
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.lastText(), window->problem());
    EXPECT_EQ(prompt.messages.last().title, QStringLiteral("Tarvenix - Form2"));
    delete window;
}

}  // namespace
