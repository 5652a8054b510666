#include "viewer/resultviewer.h"

#include "reports/reportdocument.h"
#include "support/fakeservices.h"
#include "support/scriptedprompt.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QDate kFirst(2026, 12, 4);
const QDate kSecond(2026, 11, 20);

reports::ReportFacts topTradedFacts()
{
    reports::ReportFacts facts;
    facts.queryLabel = QStringLiteral("Top N Traded Quantity");
    facts.queryGroup = reports::QueryGroup::TopBottom;
    facts.exchange = reports::Exchange::Nse;
    facts.groupName = QStringLiteral("Banks  ");
    facts.firstDate = kFirst;
    facts.secondDate = kSecond;
    facts.firstParameter = {QStringLiteral("Value of 'N'"), QStringLiteral("5")};
    return facts;
}

class ResultPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto& db = services.database();
        db.exec(QStringLiteral("CREATE TABLE QueryResult (stock TEXT COLLATE NOCASE, NSETrdQty INTEGER, NSEPerc REAL)"));
        const QList<QVariantList> rows = {
            {QStringLiteral("Bharat"), 1500, 60.0},
            {QStringLiteral("abacus"), 200, 75.0},
            {QStringLiteral("Zen"), 5000, 12.5},
            {QStringLiteral("ABC Ltd"), 1000, 50.5},
        };
        for (const QVariantList& row : rows)
            db.exec(QStringLiteral("INSERT INTO QueryResult VALUES (?, ?, ?)"), row);
    }

    void TearDown() override { delete viewer::openResultViewer(); }

    template <typename T>
    T* child(const QString& name)
    {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    // Keeps the rows whose traded quantity is at least `least`.
    void filterTradedFrom(const QString& least)
    {
        auto* column = child<QComboBox>(QStringLiteral("cboFilterCols"));
        column->setCurrentIndex(column->findText(QStringLiteral("NSETrdQty")));
        auto* op = child<QComboBox>(QStringLiteral("cboOper"));
        op->setCurrentIndex(op->findText(QStringLiteral(">=")));
        child<QLineEdit>(QStringLiteral("txtFilterValue"))->setText(least);
        child<QPushButton>(QStringLiteral("cmdFilterShow0"))->click();
    }

    void clickHeader(int section)
    {
        emit child<QTableView>(QStringLiteral("DataGrid1"))->horizontalHeader()->sectionClicked(section);
    }

    FakeServices services;
    ScriptedPrompt prompt;
    viewer::ResultViewerWindow* window = nullptr;
};

QStringList firstCells(const reports::ReportDocument& document)
{
    QStringList cells;
    for (const QStringList& row : document.rows)
        cells.append(row.value(0));
    return cells;
}

}  // namespace

TEST_F(ResultPrintTest, PrintBindsTheShownRowsInTheirFilterAndOrder)
{
    window = viewer::showResult(services, QStringLiteral("select * from QueryResult"), topTradedFacts());
    EXPECT_EQ(window->queryName(), QStringLiteral("Top N Traded Quantity"));
    filterTradedFrom(QStringLiteral("1000"));
    clickHeader(1);
    clickHeader(1);  // descending

    const reports::ReportDocument document = window->printDocument();
    EXPECT_EQ(firstCells(document), (QStringList{"Zen", "Bharat", "ABC Ltd"}));
    ASSERT_EQ(document.rows.size(), 3);
    EXPECT_EQ(document.rows.first(), (QStringList{"Zen", "5,000", "12.5"}));
    QStringList headings;
    for (const reports::ReportColumn& column : document.columns)
        headings.append(column.heading);
    EXPECT_EQ(headings, (QStringList{"stock", "NSETrdQty", "NSEPerc"}));
    // The headings of the run that made the rows.
    ASSERT_EQ(document.headerLines.size(), 3);
    EXPECT_EQ(document.headerLines.at(0).text, QStringLiteral("Banks - NSE"));
    EXPECT_EQ(document.headerLines.at(1).text, QStringLiteral("Top N Traded Quantity"));
    EXPECT_EQ(document.headerLines.at(2).text, QStringLiteral("04/Dec/2026"));
    ASSERT_EQ(document.footerLines.size(), 1);
    EXPECT_EQ(document.footerLines.first().caption, QStringLiteral("Total No Of Records"));
    EXPECT_EQ(document.footerLines.first().text, QStringLiteral("3"));

    // "Show All" prints every row again, in the order read.
    child<QPushButton>(QStringLiteral("cmdFilterShow1"))->click();
    EXPECT_EQ(firstCells(window->printDocument()), (QStringList{"Bharat", "abacus", "Zen", "ABC Ltd"}));
}

TEST_F(ResultPrintTest, TheResultsOwnRunChoosesTheLayout)
{
    reports::ReportFacts facts;
    facts.queryLabel = QStringLiteral("Combined Report");
    facts.queryGroup = reports::QueryGroup::Average;
    facts.exchange = reports::Exchange::Combined;
    facts.groupName = QStringLiteral(" All Stocks");
    facts.firstDate = kFirst;
    facts.secondDate = kSecond;
    window = viewer::showResult(services, QStringLiteral("select * from QueryResult"), facts);
    reports::ReportDocument document = window->printDocument();
    EXPECT_EQ(document.orientation, QPageLayout::Landscape);
    EXPECT_EQ(document.titleLines, QStringList{QStringLiteral("Open Interest")});
    EXPECT_EQ(document.headerLines.at(2).text, QStringLiteral("04/Dec/2026 - To : 20/Nov/2026"));
    EXPECT_EQ(document.rows.size(), 4);

    // A result handed over by name alone keeps none of the earlier run's facts.
    viewer::showResult(services, QStringLiteral("select * from QueryResult"), QStringLiteral("Top Delivery"));
    EXPECT_EQ(window->reportFacts().queryLabel, QStringLiteral("Top Delivery"));
    EXPECT_TRUE(window->reportFacts().groupName.isEmpty());
    EXPECT_FALSE(window->reportFacts().firstDate.isValid());
    document = window->printDocument();
    EXPECT_EQ(document.headerLines.at(1).text, QStringLiteral("Top Delivery"));
}

TEST_F(ResultPrintTest, ThePrintButtonOpensThePreview)
{
    window = viewer::showResult(services, QStringLiteral("select * from QueryResult"), topTradedFacts());
    child<QPushButton>(QStringLiteral("CmdPrint"))->click();
    auto* preview = window->findChild<QPrintPreviewDialog*>();
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->windowTitle(), QStringLiteral("Top N Traded Quantity"));
    EXPECT_TRUE(prompt.messages.isEmpty());
    preview->close();
}
