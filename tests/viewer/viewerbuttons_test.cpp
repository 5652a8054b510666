// The viewer's group saving, Excel export and chart buttons, driven as a
// user drives them.
#include "viewer/chart3dview.h"
#include "viewer/chartpreview.h"
#include "viewer/groupfromresult.h"
#include "viewer/resultexport.h"
#include "viewer/scriptwriter.h"
#include "viewer/viewerscreens.h"
#include "viewerfixture.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPieSeries>
#include <QPrinter>
#include <QScrollBar>
#include <QTemporaryDir>

namespace {

class ViewerButtonsTest : public ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        makeResult("stock TEXT COLLATE NOCASE, \"% Chg\" REAL, s_code INTEGER, NSETrdQty INTEGER",
                   {{"Alpha", 2.5, 1, 100}, {"Beta", -1.0, 2, 300}, {"Alpha", 3.0, 1, 200}, {"Gamma", 0.5, 3, 50},
                    {"alpha", 1.0, 4, 10}, {"Nobody", 0.0, 5, QVariant()}});
        db().exec("INSERT INTO ScripMaster (company) VALUES ('Alpha'), ('Beta'), ('Gamma')");
        db().exec("INSERT INTO GroupMaster VALUES ('BANKS', 'Banks'), ('IT', 'Information')");
        db().exec("INSERT INTO LinkDetails VALUES ('IT', 2)");
    }
    QList<qint64> links(const QString& group)
    {
        QList<qint64> scrips;
        for (const QVariantList& row :
             db().query("SELECT ScrCode FROM LinkDetails WHERE GrpCode = ? ORDER BY ScrCode", {group}).rows)
            scrips.append(row.value(0).toLongLong());
        return scrips;
    }
    QString inDataFolder(const QString& name) { return QDir(services.dataFolder()).filePath(name); }
    // Shows the chart of stock against NSETrdQty; the chart window, or null.
    viewer::ChartWindow* showChart()
    {
        choose("Comboxaxis", "stock");
        choose("Comboyaxis", "NSETrdQty");
        press("cmdshowgraph");
        return viewer::openChartWindow();
    }
};

// ---- group from a result ----------------------------------------------------

TEST_F(ViewerButtonsTest, ResultScripsAreDistinctNamesWithTheirNumbersAndOnlyMissingOnesAreAdded)
{
    const viewer::ResultScrips scrips = viewer::collectResultScrips(db(), db().query("select * from QueryResult"));
    ASSERT_TRUE(scrips.ok());
    // "alpha" differs from "Alpha" in case only and counts as a name of its own.
    EXPECT_EQ(scrips.names, (QStringList{"Alpha", "Beta", "Gamma", "alpha", "Nobody"}));
    EXPECT_EQ(scrips.scrips, (QList<qint64>{1, 2, 3, 1, 0}));
    EXPECT_FALSE(viewer::collectResultScrips(db(), db().query("select NSETrdQty from QueryResult")).ok());
    EXPECT_FALSE(viewer::collectResultScrips(db(), db().query("select * from QueryResult where 1 = 2")).ok());

    // Adding to a group that is gone does nothing.
    EXPECT_FALSE(viewer::addScripsToGroup(db(), "Gone", {1, 2}).has_value());
    EXPECT_EQ(viewer::addScripsToGroup(db(), " Banks ", {0, 3, 3}), 1);
    EXPECT_EQ(links("BANKS"), QList<qint64>{3});
}

TEST_F(ViewerButtonsTest, SaveGroupHandsTheShownScripsToANewGroupOrAddsTheMissingOnesToAGroup)
{
    open();
    prompt.answers.enqueue(ui::Answer::Yes);
    press("CmdSave_Group");
    ASSERT_EQ(prompt.texts(), QStringList{"Do You Want To Create New Group Or Add To Existing Group"});
    EXPECT_EQ(prompt.messages.last().buttons, ui::Buttons::YesNo);
    EXPECT_EQ(prompt.messages.last().icon, ui::Icon::Information);
    // The group master makes the new group of them when it is saved.
    EXPECT_TRUE(shell::sharedState().newGroupFlag);
    EXPECT_EQ(shell::sharedState().newGroupScrips, (QList<qint64>{1, 2, 3, 1, 0}));
    EXPECT_EQ(services.openedScreens, QStringList{"Group"});

    // Only the rows the filter lets through count: Beta only.
    shell::sharedState() = shell::SharedState();
    prompt.messages.clear();
    setFilterRow(0, "NSETrdQty", ">", "250");
    press("cmdFilterShow0");
    prompt.answers.enqueue(ui::Answer::No);
    press("CmdSave_Group");
    auto* panel = child<QFrame>("FrmGrp");
    EXPECT_FALSE(panel->isHidden());
    auto* groups = child<QComboBox>("CmbGrp");
    EXPECT_EQ(groups->count(), 2);
    EXPECT_EQ(groups->currentText(), "Banks");
    groups->setCurrentText("Information");
    press("CmdOk");
    EXPECT_EQ(prompt.lastText(), "Group Updated");
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(links("IT"), QList<qint64>{2});  // Beta was in already
    EXPECT_FALSE(shell::sharedState().newGroupFlag);

    // The whole result into Banks: Alpha, Beta, Gamma once each, Nobody never.
    press("cmdFilterShow1");
    prompt.answers.enqueue(ui::Answer::No);
    press("CmdSave_Group");
    press("CmdOk");
    EXPECT_EQ(links("BANKS"), (QList<qint64>{1, 2, 3}));
    // A No shows the list, the next No hides it again.
    for (bool hidden : {false, true}) {
        prompt.answers.enqueue(ui::Answer::No);
        press("CmdSave_Group");
        EXPECT_EQ(panel->isHidden(), hidden);
    }
}

// ---- Excel exports ----------------------------------------------------------

TEST_F(ViewerButtonsTest, EachQueryExportsToItsOwnWorkbook)
{
    // Any query: from the chosen row to the chosen file.
    open();
    auto* grid = child<QTableView>("DataGrid1");
    grid->setCurrentIndex(grid->model()->index(3, 0));
    prompt.files.enqueue(inDataFolder("mine"));
    press("Command1");
    ASSERT_EQ(prompt.fileRequests.size(), 1);
    EXPECT_EQ(prompt.fileRequests.first().directory, services.dataFolder());
    const viewer::Workbook book = viewer::Workbook::read(inDataFolder("mine.xlsx"));
    EXPECT_EQ(cellTexts(book.sheets().first(), "A2"), "Gamma");
    EXPECT_EQ(book.sheets().first().lastRow(), 4);
    // Cancelling the file chooser writes nothing and says nothing.
    prompt.messages.clear();
    press("Command1");
    EXPECT_TRUE(prompt.messages.isEmpty());

    // A market-watch query: into its sheet in the data folder.
    open("52 Week High");
    press("Command1");
    const QString path = inDataFolder(viewer::kMarketWatchFile);
    EXPECT_EQ(prompt.lastText(), "Result Exported to " + QDir::toNativeSeparators(path));
    ASSERT_NE(viewer::Workbook::read(path).sheet("yearly high"), nullptr);
    EXPECT_EQ(cellTexts(*viewer::Workbook::read(path).sheet("yearly high"), "C1 A7 C7"), "NSETrdQty|Nobody|-");

    // The derivatives report asks first.
    prompt.messages.clear();
    prompt.fileRequests.clear();
    open("Top 5 Gainer & Loser");
    press("Command1");  // answered No
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages.first().title, "Export Data?");
    EXPECT_EQ(prompt.messages.first().text,
              "This will export the current records of the Query to an Excel sheet, Do you wish to continue?");
    EXPECT_TRUE(prompt.fileRequests.isEmpty());
    EXPECT_FALSE(QFile::exists(inDataFolder(viewer::kDerivativesTemplateFile)));
    prompt.answers.enqueue(ui::Answer::Yes);
    prompt.files.enqueue(inDataFolder("deri.xlsx"));
    press("Command1");
    EXPECT_TRUE(QFile::exists(inDataFolder(viewer::kDerivativesTemplateFile)));
    EXPECT_EQ(cellTexts(*viewer::Workbook::read(inDataFolder("deri.xlsx")).sheet("sheet1"), "A2"), "Alpha");
}

// ---- chart ------------------------------------------------------------------

TEST_F(ViewerButtonsTest, ChartStatementAndSeriesComeFromTheChosenColumns)
{
    open();
    choose("Comboxaxis", "stock");
    choose("Comboyaxis", "  ");
    press("cmdshowgraph");
    EXPECT_EQ(prompt.lastText(), "First Select X-Axis, Y-Axis to Display Graph");
    choose("Comboyaxis", "no such column");
    press("cmdshowgraph");
    EXPECT_EQ(prompt.lastText(), "\"no such column\" is not a column of the result.");
    EXPECT_EQ(viewer::openChartWindow(), nullptr);

    // Blank series are skipped; the sort rows order the chart's rows.
    viewer::ChartColumns chosen;
    chosen.xAxis = "STOCK";
    chosen.yAxis = "% Chg";
    chosen.series = {QString(), "NSETrdQty", " ", QString()};
    const viewer::ChartStatement statement =
        viewer::chartStatement(db().query("select * from QueryResult").columns, chosen, {{3, false}});
    EXPECT_EQ(statement.sql, "SELECT \"stock\", \"% Chg\", \"NSETrdQty\" FROM \"QueryResult\" "
                             "ORDER BY \"QueryResult\".\"NSETrdQty\" DESC");
    const store::Rows rows = db().query(statement.sql);
    EXPECT_EQ(rows.rows.first().value(0).toString(), "Beta");

    const viewer::ChartData columnsAsSeries = viewer::chartDataFromRows(rows, false);
    EXPECT_EQ(columnsAsSeries.categories.size(), 6);
    ASSERT_EQ(columnsAsSeries.series.size(), 2);
    EXPECT_EQ(columnsAsSeries.series[1].name, "NSETrdQty");
    EXPECT_EQ(columnsAsSeries.series[1].values[0], 300.0);
    EXPECT_FALSE(columnsAsSeries.series[1].values[5].has_value());
    const viewer::ChartData rowsAsSeries = viewer::chartDataFromRows(rows, true);
    EXPECT_EQ(rowsAsSeries.categories, (QStringList{"% Chg", "NSETrdQty"}));
    ASSERT_EQ(rowsAsSeries.series.size(), 6);
    EXPECT_EQ(rowsAsSeries.series[0].name, "Beta");
    EXPECT_EQ(rowsAsSeries.series[0].values[0], -1.0);
}

TEST_F(ViewerButtonsTest, ChartWindowDrawsRestylesAndSavesThePicture)
{
    open();
    press("Command2");
    choose("Combo1series", "% Chg");
    viewer::ChartWindow* chart = showChart();
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->windowTitle(), "Graph");
    ASSERT_EQ(chart->chart()->series().size(), 1);
    auto* bars = qobject_cast<QBarSeries*>(chart->chart()->series().first());
    ASSERT_NE(bars, nullptr);
    ASSERT_EQ(bars->count(), 2);
    EXPECT_EQ(bars->barSets()[0]->label(), "NSETrdQty");
    EXPECT_DOUBLE_EQ(bars->barSets()[0]->at(1), 300.0);
    // The grid shows the chart rows.
    EXPECT_EQ(window->shownResult().rows.columns.size(), 3);

    auto pressInChart = [chart](const QString& name) { chart->findChild<QPushButton*>(name)->click(); };
    pressInChart("cmdch3");  // 2D line: one line per series
    EXPECT_EQ(chart->chart()->series().size(), 2);
    EXPECT_EQ(chart->chart()->series().first()->type(), QAbstractSeries::SeriesTypeLine);
    pressInChart("cmdch2");  // pie of the first series, positive values only
    auto* pie = qobject_cast<QPieSeries*>(chart->chart()->series().first());
    ASSERT_NE(pie, nullptr);
    EXPECT_EQ(pie->count(), 5);
    pressInChart("cmdrowcol0");
    EXPECT_TRUE(chart->look().seriesInRows);
    EXPECT_EQ(chart->data().series.size(), 6);
    pressInChart("cmdborder0");
    EXPECT_TRUE(chart->look().border);
    auto* defaults = chart->findChild<QAbstractButton*>("optdef");
    defaults->click();
    EXPECT_TRUE(defaults->isChecked());
    EXPECT_FALSE(chart->look().border);
    EXPECT_FALSE(chart->look().seriesInRows);
    pressInChart("cmdshadow0");
    EXPECT_FALSE(defaults->isChecked());

    // A point's value, then a new colour for the series.
    chart->showPointValue(0, 1);
    EXPECT_EQ(prompt.lastText(), "300");
    prompt.colours.enqueue(QColor(Qt::red));
    chart->chooseSeriesColour(0);
    bars = qobject_cast<QBarSeries*>(chart->chart()->series().first());
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(bars->barSets()[0]->color(), QColor(Qt::red));

    prompt.files.enqueue(inDataFolder("chart"));
    pressInChart("cmdsave");
    const QImage saved(inDataFolder("chart.bmp"), "BMP");
    EXPECT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), chart->canvas()->size());
}

TEST_F(ViewerButtonsTest, ThreeDChartsTurnAndAnswerClicks)
{
    open();
    viewer::ChartWindow* chart = showChart();
    ASSERT_NE(chart, nullptr);
    chart->resize(900, 600);
    auto pressInChart = [chart](const QString& name) { chart->findChild<QPushButton*>(name)->click(); };

    // On a 2D type the rotation buttons change nothing that shows.
    const QImage flat = chart->picture();
    pressInChart("Command3");
    chart->turnOneStep();
    pressInChart("Command2");
    EXPECT_EQ(chart->picture(), flat);

    pressInChart("cmdch1");
    EXPECT_EQ(chart->chart(), nullptr);
    ASSERT_EQ(chart->canvas(), chart->view3D());
    EXPECT_NE(chart->picture(), flat);

    // Auto Rotate turns the view, Stop holds it where it is.
    const viewer::View3D start = chart->view();
    pressInChart("Command3");
    EXPECT_TRUE(chart->isRotating());
    chart->turnOneStep();
    chart->turnOneStep();
    EXPECT_DOUBLE_EQ(chart->view().rotation, viewer::turnedBy(start, 2).rotation);
    pressInChart("Command2");
    EXPECT_FALSE(chart->isRotating());
    const viewer::View3D held = chart->view();
    chart->turnOneStep();
    EXPECT_EQ(chart->view(), held);

    // A click on the top of Beta's bar shows its value; one on the legend
    // entry chooses the series' colour.
    const viewer::Chart3DPainter drawn = chart->view3D()->drawn();
    const QPointF top = drawn.outlinesOf({0, 1}).first().boundingRect().center();
    QTest::mouseClick(chart->view3D(), Qt::LeftButton, {}, top.toPoint());
    EXPECT_EQ(prompt.lastText(), "300");
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
    viewer::ChartWindow* chart = showChart();
    ASSERT_NE(chart, nullptr);
    chart->findChild<QPushButton*>("cmdch5")->click();
    chart->findChild<QPushButton*>("cmdView")->click();
    viewer::ChartPreviewWindow* preview = chart->previewWindow();
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(services.children.contains(preview));
    EXPECT_EQ(preview->windowTitle(), "PRINT PREVIEW");
    EXPECT_GE(preview->width(), 500);
    EXPECT_GE(preview->height(), 350);
    EXPECT_EQ(preview->zoomBar()->value(), 25);
    EXPECT_EQ(preview->findChild<QLabel*>("Label1")->text(), "25%");
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
    preview->findChild<QAction*>("or1")->trigger();
    preview->findChild<QAction*>("noc1_1")->trigger();
    EXPECT_EQ(preview->pageView()->size(), QSize(567, 400));
    const QString pdf = inDataFolder("page.pdf");
    preview->setPrinterChooser([&pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    preview->findChild<QPushButton*>("cmdPrint")->click();
    EXPECT_EQ(preview->zoomBar()->value(), 100);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("/MediaBox [0 0 842.000000 595.000000]"), 2);

    // The chart window gone, the page keeps its chart.
    delete chart;
    preview->zoomBar()->setValue(30);
    EXPECT_EQ(preview->shownChart().look.type, viewer::ChartType::Step3D);
    delete preview;
}

// A maximised chart window's chart is wider than the page: the preview lays
// it on the page whole, in either orientation, and prints what it shows.
TEST_F(ViewerButtonsTest, PreviewOfALargeChartKeepsItOnThePage)
{
    open();
    viewer::ChartWindow* chart = showChart();
    chart->resize(1500, 1100);
    QCoreApplication::processEvents();
    ASSERT_GT(chart->canvas()->width() * 15, 12000);  // twips, wider than the page
    chart->preview();
    viewer::ChartPreviewWindow* preview = chart->previewWindow();
    const auto onPage = [preview] {
        return QRect(QPoint(0, 0), preview->pageView()->size()).contains(preview->chartOnPage()->geometry());
    };
    EXPECT_TRUE(onPage());
    EXPECT_EQ(preview->chartOnPage()->width(), preview->pageView()->width());
    // Stretched taller, then turned: fitted to the landscape page, the size
    // bars start again, and the chart window is told the new size.
    preview->sizeBar(0)->setValue(40);
    preview->findChild<QAction*>("or1")->trigger();
    EXPECT_TRUE(onPage());
    EXPECT_EQ(preview->sizeBar(0)->value(), 25);
    EXPECT_EQ(preview->page().chartSize().height(), 12000);
    EXPECT_EQ(QSize(chart->chartWidth(), chart->chartHeight()), preview->page().chartSize());
    // Printing draws the page at 100 percent: the chart is still on it.
    preview->setPrinterChooser([](QPrinter&) { return false; });
    preview->print();
    EXPECT_TRUE(onPage());
    EXPECT_TRUE(QRect(0, 0, 17000, 12000).contains(preview->page().printedPlace()));
    delete preview;
}

// ---- derivative group script --------------------------------------------------

TEST_F(ViewerButtonsTest, DerivativeScriptWindowWritesTheGroupInScripOrder)
{
    const QString path = inDataFolder("export/newscript.txt");
    delete new viewer::DerivativeScriptWindow(db(), services.dataFolder());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().isEmpty());
    file.close();

    db().exec("INSERT INTO LinkDetails VALUES ('Derivative', 12), ('Derivative', 3), ('IT', 5), ('O''Neil', 4)");
    auto* script = new viewer::DerivativeScriptWindow(db(), services.dataFolder());
    EXPECT_EQ(script->windowTitle(), "Form2");
    EXPECT_EQ(script->scriptPath(), path);
    EXPECT_TRUE(script->problem().isEmpty());
    delete script;
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\" insert into linkdetails values ('Derivative',3)\"\r\n"
                                         "\" insert into linkdetails values ('Derivative',12)\"\r\n"));
    file.close();
    EXPECT_EQ(viewer::derivativeScriptLine("O'Neil", 4), "\" insert into linkdetails values ('O''Neil',4)\"\r\n");
    EXPECT_TRUE(prompt.messages.isEmpty());

    // A folder that cannot be made is reported, and the window still opens.
    QTemporaryDir blocked;
    QFile blocker(QDir(blocked.path()).filePath("export"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    script = new viewer::DerivativeScriptWindow(db(), blocked.path());
    EXPECT_FALSE(script->problem().isEmpty());
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.lastText(), script->problem());
    EXPECT_EQ(prompt.messages.last().title, "Tarvenix - Form2");
    delete script;
}

}  // namespace
