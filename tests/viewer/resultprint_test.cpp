// Printing from the viewer: the rows as shown, bound to the layout of the
// run that made them.
#include "viewerfixture.h"

#include <QPrintPreviewDialog>

namespace {

class ResultPrintTest : public ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        makeMarketResult();
    }
    // Shows the result as made by a run of `label`.
    void openRun(const QString& label, reports::QueryGroup group, reports::Exchange exchange, const QString& groupName)
    {
        reports::ReportFacts facts;
        facts.queryLabel = label;
        facts.queryGroup = group;
        facts.exchange = exchange;
        facts.groupName = groupName;
        facts.firstDate = QDate(2026, 12, 4);
        facts.secondDate = QDate(2026, 11, 20);
        facts.firstParameter = {"Value of 'N'", "5"};
        window = viewer::showResult(services, "select * from QueryResult", facts);
    }
};

QStringList firstCells(const reports::ReportDocument& document)
{
    QStringList cells;
    for (const QStringList& row : document.rows)
        cells.append(row.value(0));
    return cells;
}

// The heading lines' texts joined by " | ".
QString headingOf(const reports::ReportDocument& document)
{
    QStringList texts;
    for (const reports::HeaderLine& line : document.headerLines)
        texts.append(line.text);
    return texts.join(" | ");
}

}  // namespace

TEST_F(ResultPrintTest, PrintBindsTheShownRowsInTheirFilterAndOrderAndOpensThePreview)
{
    openRun("Top N Traded Quantity", reports::QueryGroup::TopBottom, reports::Exchange::Nse, "Banks  ");
    EXPECT_EQ(window->queryName(), "Top N Traded Quantity");
    setFilterRow(0, "NSETrdQty", ">=", "1000");
    press("cmdFilterShow0");
    clickHeader(1);
    clickHeader(1);  // descending

    const reports::ReportDocument document = window->printDocument();
    EXPECT_EQ(firstCells(document), (QStringList{"Zen", "Bharat", "ABC Ltd"}));
    EXPECT_EQ(document.rows.first(), (QStringList{"Zen", "5,000", "12.5"}));
    QStringList headings;
    for (const reports::ReportColumn& column : document.columns)
        headings.append(column.heading);
    EXPECT_EQ(headings, (QStringList{"stock", "NSETrdQty", "NSEPerc"}));
    // The headings of the run that made the rows.
    ASSERT_EQ(document.headerLines.size(), 3);
    EXPECT_EQ(document.headerLines.at(0).text, "Banks - NSE");
    EXPECT_EQ(document.headerLines.at(1).text, "Top N Traded Quantity");
    EXPECT_EQ(document.headerLines.at(2).text, "04/Dec/2026");
    ASSERT_EQ(document.footerLines.size(), 1);
    EXPECT_EQ(document.footerLines.first().caption, "Total No Of Records");
    EXPECT_EQ(document.footerLines.first().text, "3");

    // "Show All" prints every row again, in the order read.
    press("cmdFilterShow1");
    EXPECT_EQ(firstCells(window->printDocument()), (QStringList{"Bharat", "abacus", "Zen", "O'Neil", "ABC Ltd"}));

    press("CmdPrint");
    auto* preview = window->findChild<QPrintPreviewDialog*>();
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->windowTitle(), "Top N Traded Quantity");
    EXPECT_TRUE(prompt.messages.isEmpty());
    preview->close();
}

TEST_F(ResultPrintTest, TheResultsOwnRunChoosesTheLayout)
{
    openRun("Combined Report", reports::QueryGroup::Average, reports::Exchange::Combined, " All Stocks");
    reports::ReportDocument document = window->printDocument();
    EXPECT_EQ(document.orientation, QPageLayout::Landscape);
    EXPECT_EQ(document.titleLines, QStringList{"Open Interest"});
    EXPECT_EQ(document.headerLines.at(2).text, "04/Dec/2026 - To : 20/Nov/2026");
    EXPECT_EQ(document.rows.size(), 5);

    // A result handed over by name alone keeps none of the earlier run's facts.
    open("Top Delivery");
    EXPECT_EQ(window->reportFacts().queryLabel, "Top Delivery");
    EXPECT_TRUE(window->reportFacts().groupName.isEmpty());
    EXPECT_FALSE(window->reportFacts().firstDate.isValid());
    EXPECT_EQ(window->printDocument().headerLines.at(1).text, "Top Delivery");
}

TEST_F(ResultPrintTest, AfterARefreshPrintIsHeadedByTheRunThatMadeTheRowsShown)
{
    openRun("Average Delivery Quantity [Between Dates]", reports::QueryGroup::Average, reports::Exchange::Nse, "Banks");
    // Another query's run remakes the result and leaves its facts behind.
    reports::ReportFacts topN = window->reportFacts();
    topN.queryLabel = "Top N Delivery Quantity";
    topN.queryGroup = reports::QueryGroup::TopBottom;
    topN.groupName = " All Stocks";
    topN.firstDate = QDate(2027, 1, 8);
    shell::sharedState().lastQueryFacts = topN;
    db().exec("DROP TABLE QueryResult");
    makeResult("stock TEXT, NSETrdQty INTEGER, NSEPerc REAL", {{"Top One", 9000, 90.0}, {"Top Two", 8000, 80.0}});
    const QString topNHeading = "All Stocks - NSE | Top N Delivery Quantity | 08/Jan/2027";

    // Without a refresh the viewer prints its own rows under its own run.
    EXPECT_EQ(headingOf(window->printDocument()),
              "Banks - NSE | Average Delivery Quantity [Between Dates] | 04/Dec/2026 - To : 20/Nov/2026");
    EXPECT_EQ(window->printDocument().rows.size(), 5);
    // Beside the chart rows the result is read as it is now, with its run.
    choose("Comboxaxis", "NSEPerc");
    choose("Comboyaxis", "NSETrdQty");
    press("cmdshowgraph");
    EXPECT_EQ(headingOf(window->printDocument()), topNHeading);

    press("cmdrefresh");
    EXPECT_EQ(firstCells(window->printDocument()), (QStringList{"Top One", "Top Two"}));
    EXPECT_EQ(headingOf(window->printDocument()), topNHeading);
    EXPECT_EQ(window->queryName(), "Top N Delivery Quantity");
}

TEST_F(ResultPrintTest, WhileTheChartRowsShowPrintTakesTheResultInTheFilterAndOrderInForce)
{
    openRun("Top N Traded Quantity", reports::QueryGroup::TopBottom, reports::Exchange::Nse, "Banks  ");
    // The chart rows hold the result's columns in other places: NSEPerc first.
    choose("Comboxaxis", "NSEPerc");
    choose("Comboyaxis", "NSETrdQty");
    press("cmdshowgraph");
    const QList<store::Column> chartColumns = window->shownResult().rows.columns;
    ASSERT_EQ(chartColumns.size(), 2);
    ASSERT_EQ(chartColumns.first().name, "NSEPerc");
    setFilterRow(0, "NSEPerc", ">=", "50");
    press("cmdFilterShow0");
    clickHeader(0);
    clickHeader(0);  // descending
    ASSERT_EQ(window->shownResult().rows.rows.size(), 3);

    reports::ReportDocument document = window->printDocument();
    EXPECT_EQ(firstCells(document), (QStringList{"abacus", "Bharat", "ABC Ltd"}));
    EXPECT_EQ(document.rows.first(), (QStringList{"abacus", "200", "75"}));
    EXPECT_EQ(document.footerLines.first().text, "3");

    // Without a filter or an order, the whole result in the order read.
    press("cmdFilterShow1");
    EXPECT_EQ(firstCells(window->printDocument()), (QStringList{"Bharat", "abacus", "Zen", "O'Neil", "ABC Ltd"}));
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.lastText().toStdString();
}
