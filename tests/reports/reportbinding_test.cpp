#include "reportfixtures.h"
#include "reports/reportbinding.h"

#include <gtest/gtest.h>

using namespace reports;
using namespace reportfixtures;

namespace {

QString headerText(const ReportDocument& document, const QString& caption)
{
    for (const HeaderLine& line : document.headerLines) {
        if (line.caption == caption)
            return line.text;
    }
    return "<none>";
}

QStringList headings(const ReportDocument& document)
{
    QStringList texts;
    for (const ReportColumn& column : document.columns)
        texts.append(column.heading);
    return texts;
}

}  // namespace

TEST(ReportBinding, ChoosesTheLayoutByLabelFirstThenByGroup)
{
    const auto nse = Exchange::Nse;
    const auto both = Exchange::Combined;
    const struct {
        const char* label;
        QueryGroup group;
        Exchange exchange;
        LayoutId expected;
    } cases[] = {
        {"Tovil Query - Cash Volume", QueryGroup::Misc, nse, LayoutId::DrTovilI},
        {"Tovil Query - Delivery Value", QueryGroup::Misc, both, LayoutId::DrTovilI},
        {"Increasing Delivery Qty & Decreasing Price", QueryGroup::Combined, nse, LayoutId::DrBelm},
        {"Market Strength", QueryGroup::Kelvarn, nse, LayoutId::DrMarket},
        {"QXV Query", QueryGroup::Misc, nse, LayoutId::DrQXV},
        {"View All Records", QueryGroup::Misc, both, LayoutId::DrOIC},
        {"View All Records", QueryGroup::Misc, nse, LayoutId::DrQueryOi},
        {"Combined Report", QueryGroup::Average, nse, LayoutId::DrOIC},
        {"52 Week High", QueryGroup::Kelvarn, nse, LayoutId::DrQuery1},
        {"14 day EMA Positive", QueryGroup::Kelvarn, nse, LayoutId::DrQuery1},
        {"Top N by Delivery Value", QueryGroup::TopBottom, nse, LayoutId::DrQuery1},
        {"Total Delivery Value", QueryGroup::Misc, nse, LayoutId::DrQueryOi},
        // Statistical labels printed in the wide layout before the group rule applies.
        {"Abnormal Change in delivery qty over previous day", QueryGroup::Statistical, nse, LayoutId::DrQueryOi},
        {"Top N Combined Query", QueryGroup::TopBottom, nse, LayoutId::DrBelmora},
        {"Top 5 Gainer & Loser", QueryGroup::Price, nse, LayoutId::DrQueryOi},
        {"Strev Query", QueryGroup::Statistical, nse, LayoutId::DrQuery1},
        {"Average Traded Quantity [Between Dates]", QueryGroup::Average, nse, LayoutId::DrQuery},
        {"Top N Traded Quantity", QueryGroup::TopBottom, nse, LayoutId::DrQuery},
        {"Rising Price for N days", QueryGroup::RisingFalling, nse, LayoutId::DrQueryOi},
        {"Belmora - Price Query", QueryGroup::Combined, both, LayoutId::DrQueryOi},
        {"Rate", QueryGroup::Research, nse, LayoutId::DrQueryOi},
        {"Top Gainer in price (%)", QueryGroup::Price, nse, LayoutId::DrCombine},
        {"Stock Statistics", QueryGroup::Misc, nse, LayoutId::DrQueryOi},
        {"Last N Days Movement", QueryGroup::Kelvarn, nse, LayoutId::DrQueryOi},
        // Labels compare exactly, case included.
        {"market strength", QueryGroup::Kelvarn, nse, LayoutId::DrQueryOi},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(chooseLayout(QString::fromUtf8(c.label), c.group, c.exchange), c.expected) << c.label;
        EXPECT_EQ(layout(c.expected).id, c.expected);
    }
}

TEST(ReportBinding, QueryHeadingsNameGroupExchangeQueryAndDates)
{
    ReportFacts facts =
        sampleFacts("Average Delivery Quantity [Between Dates]", QueryGroup::Average, Exchange::Combined);
    facts.groupName = "  Derivatives F & O   ";
    const ReportDocument average = bindReport(facts, wideResult());
    ASSERT_FALSE(average.headerLines.isEmpty());
    EXPECT_EQ(average.headerLines.first().text, "Derivatives F & O - NSE & BSE");
    EXPECT_EQ(headerText(average, "Query:"), "Average Delivery Quantity [Between Dates]");
    EXPECT_EQ(headerText(average, "Date :"), "05/Dec/2026 - To : 20/Nov/2026");
    EXPECT_EQ(average.pageText, "Pages %1 Of %2");

    const ReportDocument rising =
        bindReport(sampleFacts("Rising Price for N days", QueryGroup::RisingFalling), wideResult());
    EXPECT_EQ(headerText(rising, "Query:"), "Rising Price for 3 Days");
    EXPECT_EQ(headerText(rising, "Date :"), "05/Dec/2026");

    ReportFacts research = sampleFacts("Rate", QueryGroup::Research);
    research.firstParameter = {"Rising For", "3"};
    EXPECT_EQ(headerText(bindReport(research, wideResult()), "Query:"), "Rate Falling For 2 Days & Rising For 3 Days");
    EXPECT_EQ(bindReport(sampleFacts("Top Loser in price (%)", QueryGroup::Price), wideResult()).titleLines,
              QStringList{"Combine Queries"});

    // The all-columns layouts keep the label and show the Open Interest title.
    const ReportDocument combined = bindReport(sampleFacts("Combined Report", QueryGroup::Average), wideResult());
    EXPECT_EQ(combined.titleLines, QStringList{"Open Interest"});
    EXPECT_EQ(combined.windowCaption, "Combined Report");
    EXPECT_EQ(combined.orientation, QPageLayout::Landscape);
    EXPECT_EQ(headerText(combined, "Date :"), "05/Dec/2026 - To : 20/Nov/2026");
    const ReportDocument all =
        bindReport(sampleFacts("View All Records", QueryGroup::Misc, Exchange::Combined), wideResult());
    EXPECT_EQ(headerText(all, "Date :"), "05/Dec/2026");
    EXPECT_EQ(headerText(all, "Query:"), "View All Records");
}

TEST(ReportBinding, SpecialLayoutsWriteTheirOwnHeadings)
{
    const ReportDocument nseTop = bindReport(sampleFacts("Top N Combined Query"), resultFor(LayoutId::DrBelmora));
    EXPECT_EQ(nseTop.titleLines, QStringList{"NSE Top 10 Delivery Scrip As On 05/Dec/2026"});
    EXPECT_EQ(headings(nseTop), (QStringList{"SrNo", "Name Of Security", "Volume", "Delivery Qty", "PER (%)",
                                             "Todays Closing", "Previous Closing", "Net (+/-) In Rs Terms"}));
    EXPECT_TRUE(nseTop.headerLines.isEmpty());
    EXPECT_TRUE(nseTop.footerLines.isEmpty());
    EXPECT_EQ(bindReport(sampleFacts("Top N Combined Query", QueryGroup::TopBottom, Exchange::Bse),
                         resultFor(LayoutId::DrBelmora)).titleLines,
              QStringList{"BSE Top 10 Delivery Scrip As On 05/Dec/2026"});

    const ReportDocument tovil =
        bindReport(sampleFacts("Tovil Query - Delivery Value", QueryGroup::Misc), resultFor(LayoutId::DrTovilI));
    EXPECT_EQ(tovil.titleLines, QStringList{"Delivery Statistics - December 05,2026"});
    EXPECT_EQ(tovil.pageText, "Page : %1");

    const ReportDocument twoDay = bindReport(
        sampleFacts("Increasing Delivery Qty & Increasing Price", QueryGroup::Combined, Exchange::Combined),
        resultFor(LayoutId::DrBelm));
    EXPECT_EQ(twoDay.titleLines,
              QStringList{"NSE+BSE Top Increasing Delivery Qty & Increasing Price As On05/Dec/2026"});
    EXPECT_EQ(headings(twoDay), (QStringList{"Name Of Security", "05/Dec", "20/Nov", "05/Dec", "20/Nov", "05/Dec",
                                             "20/Nov", "05/Dec", "20/Nov"}));
    ASSERT_EQ(twoDay.headingBands.size(), 1);
    int spanned = 0;
    for (const HeadingSpan& span : twoDay.headingBands.first())
        spanned += span.span;
    EXPECT_EQ(spanned, twoDay.columns.size());
}

TEST(ReportBinding, DetailCellsFormatNumbersByKindAndDatesAsDisplayText)
{
    const ReportDocument document = bindReport(sampleFacts(), wideResult(2));
    ASSERT_EQ(document.rows.size(), 2);
    // drquery: Stock, TradingDate, Qty1.
    EXPECT_EQ(headings(document), (QStringList{"Stock", "TradingDate", "Qty1"}));
    EXPECT_EQ(document.rows[1], (QStringList{"Company 001", "04/Dec/2026", "12,34,568"}));
    EXPECT_FALSE(document.columns[0].alignRight);
    EXPECT_TRUE(document.columns[2].alignRight);
    EXPECT_EQ(bindReport(LayoutId::DrQueryOi, sampleFacts(), wideResult(1)).rows[0][7], "100.25");
    const QStringList openInterest = bindReport(LayoutId::DrOIC, sampleFacts(), wideResult(1)).rows[0];
    EXPECT_EQ(openInterest.mid(1, 2), (QStringList{"05/Dec/2026", "12,34,567.00"}));
    EXPECT_EQ(openInterest[7], "100.25");
    const QStringList qxv = bindReport(LayoutId::DrQXV, sampleFacts(), wideResult(1)).rows[0];
    EXPECT_EQ(qxv[2], "1234567.00");
    EXPECT_EQ(qxv[8], "200.50");
}

TEST(ReportBinding, LayoutsTakeAsManyColumnsAsTheyHoldAndPrintNarrowResults)
{
    const ReportDocument oi = bindReport(LayoutId::DrQueryOi, sampleFacts(), wideResult(3));
    EXPECT_EQ(headings(oi), (QStringList{"Stock", "TradingDate", "Qty1", "Qty2", "Qty3", "Qty4", "Qty5", "Rate1"}));
    EXPECT_EQ(oi.rows[0].size(), 8);
    const ReportDocument all = bindReport(LayoutId::DrOIC, sampleFacts(), wideResult(3));
    EXPECT_EQ(all.columns.size(), 10);
    EXPECT_EQ(all.columns[9].heading, "Rate3");

    // Three columns on a ten-column layout print, with the rest blank; the
    // headings of the previous wider report do not linger.
    store::Rows narrow;
    narrow.columns = {{"Stock", ColumnKind::Text}, {"Count", ColumnKind::Integer}, {kFiller, ColumnKind::Text}};
    narrow.rows = {{"ACC", 3, " "}};
    const ReportDocument small = bindReport(LayoutId::DrOIC, sampleFacts(), narrow);
    ASSERT_EQ(small.columns.size(), 10);
    QStringList shown = headings(small);
    shown[2] = shown[2].trimmed();  // filler columns print blank
    EXPECT_EQ(shown, (QStringList{"Stock", "Count", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(small.rows[0].mid(0, 2), (QStringList{"ACC", "3.00"}));
    EXPECT_EQ(small.footerLines.first().text, "1");
}

TEST(ReportBinding, FootersCountRecordsOrTotalTheDeliveryFigures)
{
    const ReportDocument counted = bindReport(sampleFacts(), wideResult(7));
    ASSERT_EQ(counted.footerLines.size(), 1);
    EXPECT_EQ(counted.footerLines.first().caption, "Total No Of Records");
    EXPECT_EQ(counted.footerLines.first().text, "7");
    EXPECT_TRUE(counted.totals.isEmpty());
    const ReportDocument empty = bindReport(sampleFacts(), wideResult(0));
    EXPECT_TRUE(empty.rows.isEmpty());
    EXPECT_EQ(empty.footerLines.first().text, "0");

    const ReportDocument tovil =
        bindReport(sampleFacts("Tovil Query - Cash Volume", QueryGroup::Misc), resultFor(LayoutId::DrTovilI));
    EXPECT_TRUE(tovil.footerLines.isEmpty());
    ASSERT_EQ(tovil.totals.size(), 11);
    // Cash Vol 1.5 million x (1+..+5), Del Vol 0.6 million x 15, Del Value 150.38 x 15.
    EXPECT_EQ(tovil.totals[3], "2,25,00,000");
    EXPECT_EQ(tovil.totals[5], "90,00,000");
    EXPECT_EQ(tovil.totals[9], "2,255.7");
    EXPECT_EQ(tovil.totals[1], "");
    EXPECT_EQ(tovil.footnotes.size(), 3);
    EXPECT_EQ(tovil.footnotes.first(), "% C -- % Change From Previous Day");

    // Gainer and loser names grow instead of being cut.
    EXPECT_TRUE(
        bindReport(sampleFacts("Top 5 Gainer & Loser", QueryGroup::Price), wideResult()).columns.first().canGrow);
    EXPECT_FALSE(bindReport(sampleFacts(), wideResult()).columns.first().canGrow);
}
