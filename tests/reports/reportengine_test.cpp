#include "reportfixtures.h"
#include "reports/masterlist.h"
#include "reports/portfolioreport.h"
#include "reports/reportbinding.h"
#include "reports/reportengine.h"
#include "reports/reportpreview.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <utility>

using namespace reports;
using namespace reportfixtures;

namespace {

// Every text the report holds that should be visible on its pages.
QStringList visibleTexts(const ReportDocument& document)
{
    QStringList texts = document.titleLines + document.totals + document.footnotes;
    for (const HeaderLine& line : document.headerLines)
        texts << line.caption << line.text;
    for (const ReportColumn& column : document.columns)
        texts << column.heading;
    for (const QList<HeadingSpan>& band : document.headingBands)
        for (const HeadingSpan& span : band)
            texts << span.text;
    for (const QStringList& row : document.rows)
        texts << row;
    for (const FooterLine& line : document.footerLines)
        texts << line.caption << line.text;
    QStringList visible;
    for (const QString& text : texts)
        if (!text.trimmed().isEmpty())
            visible << text.simplified();
    return visible;
}

// Share of non-white pixels in a band of the image.
double inkIn(const QImage& image, int top, int bottom)
{
    qint64 ink = 0, total = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < image.width(); x += 2, ++total)
            ink += image.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
    return total ? double(ink) / double(total) : 0;
}

// A page that keeps where each text is painted on it, in report units,
// instead of painting it.
class TextPositions : public QPaintDevice, public QPaintEngine {
public:
    explicit TextPositions(const QSizeF& inches) : m_size((inches * ReportPager::kReportDotsPerInch).toSize()) {}
    QPaintEngine* paintEngine() const override { return const_cast<TextPositions*>(this); }
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState& state) override
    {
        if (state.state() & QPaintEngine::DirtyTransform)
            m_transform = state.transform();
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF& at, const QTextItem& item) override
    {
        const QRectF box(at.x(), at.y() - item.ascent(), item.width(), item.ascent() + item.descent());
        texts.append({m_transform.mapRect(box), item.text()});
    }
    QList<std::pair<QRectF, QString>> texts;

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        // Sizes in report units; every resolution is the report's.
        return metric == PdmWidth                    ? m_size.width()
               : metric == PdmHeight                 ? m_size.height()
               : metric == PdmDepth                  ? 32
               : metric == PdmDevicePixelRatio       ? 1
               : metric == PdmDevicePixelRatioScaled ? int(devicePixelRatioFScale())
                                                     : int(ReportPager::kReportDotsPerInch);
    }

private:
    QSize m_size;
    QTransform m_transform;
};

// The texts every page of a report paints, and what is wrong with where they
// land: a text past the page's edge, or two texts running into each other.
struct PaintedReport {
    explicit PaintedReport(const ReportDocument& document)
    {
        const QSizeF inches = reportPageLayout(document.orientation).paintRect(QPageLayout::Inch).size();
        TextPositions page(inches);
        const ReportPager pager(document, inches);
        QPainter painter(&page);
        for (int number = 0; number < pager.pageCount(); ++number) {
            pager.paintPage(painter, number);
            // Pages are painted over each other: keep each page's texts apart.
            painter.translate(0, inches.height() * ReportPager::kReportDotsPerInch * 2);
        }
        painter.end();
        for (qsizetype i = 0; i < page.texts.size(); ++i) {
            const auto& [box, text] = page.texts[i];
            texts.append(text);
            const QRectF inner = box.adjusted(1, 1, -1, -1);
            if (inner.left() < 0 || inner.right() > page.width())
                faults << QStringLiteral("\"%1\" runs off the page").arg(text);
            for (qsizetype j = i + 1; j < page.texts.size(); ++j)
                if (inner.intersects(page.texts[j].first.adjusted(1, 1, -1, -1)))
                    faults << QStringLiteral("\"%1\" runs into \"%2\"").arg(text, page.texts[j].second);
        }
    }
    QStringList texts;
    QStringList faults;
};

// Every printed layout, the query layouts, the master lists and the portfolio
// valuations, of five rows: every name `name` (shorter in later text
// columns), every figure `figure`, every date 05/Dec/2026.
QList<ReportDocument> everyLayout(const QString& name, double figure)
{
    const auto rowsOf = [&](const QList<store::Column>& columns) {
        store::Rows rows;
        rows.columns = columns;
        QVariantList row;
        bool named = false;
        for (const store::Column& column : columns) {
            if (column.kind == ColumnKind::Text)
                row << (std::exchange(named, true) ? name.left(12) : name);
            else if (column.kind == ColumnKind::Date)
                row << QDate(2026, 12, 5);
            else
                row << (column.kind == ColumnKind::Integer ? QVariant(qlonglong(figure)) : QVariant(figure));
        }
        rows.rows = QList<QVariantList>(5, row);
        return rows;
    };
    QList<ReportDocument> documents;
    for (LayoutId id : allLayouts())
        documents.append(bindReport(id, sampleFacts(), rowsOf(resultFor(id).columns)));
    documents.append(buildMasterList(scripMasterList(), rowsOf({{"company", ColumnKind::Text},
                                                                {"nsescrip", ColumnKind::Text},
                                                                {"bsescrip", ColumnKind::Text}})));
    documents.append(buildMasterList(groupMasterList(), rowsOf({{"GroupName", ColumnKind::Text},
                                                                {"GroupCode", ColumnKind::Text}})));
    QList<store::Column> valuation{{"Name", ColumnKind::Text}, {"Company", ColumnKind::Text},
                                   {"GroupName", ColumnKind::Text}, {"tdt", ColumnKind::Date}};
    for (const char* column : {"PurAmt", "SalesAmt", "NetQty", "NetPurchase", "CurrPrice", "NetValue", "Gainloss",
                               "PurQty", "SellQty"})
        valuation.append({column, ColumnKind::Real});
    for (PortfolioLayout kind : {PortfolioLayout::PortfolioSummary, PortfolioLayout::ScriptSummary,
                                 PortfolioLayout::PortfolioDetail, PortfolioLayout::ScriptDetail,
                                 PortfolioLayout::Sector})
        documents.append(buildPortfolioReport(kind, rowsOf(valuation), QDate(2026, 12, 5), QDate(2026, 12, 6)));
    return documents;
}

// Each row of `document` printed once, in the order of its rows.
void expectEveryRowOnceInOrder(const QStringList& pages, const ReportDocument& document)
{
    const QString all = pages.join(' ');
    qsizetype last = -1;
    for (const QStringList& row : document.rows) {
        EXPECT_EQ(all.count(row[0] + ' '), 1) << row[0];
        EXPECT_GT(all.indexOf(row[0] + ' '), last) << row[0];
        last = all.indexOf(row[0] + ' ');
    }
}

}  // namespace

TEST(ReportEngine, EveryLayoutPrintsItsHeadingsRowsAndFootersToPdfAndImages)
{
    for (LayoutId id : allLayouts()) {
        const Layout& design = layout(id);
        const ReportDocument document = bindReport(id, sampleFacts(), resultFor(id));
        const QStringList pages = printedPages(document);
        ASSERT_EQ(pages.size(), 1) << design.name;
        const QString pageText = document.pageText.contains("%2") ? document.pageText.arg(1).arg(1)
                                                                   : document.pageText.arg(1);
        EXPECT_TRUE(pages[0].contains(pageText)) << design.name << " " << pageText;
        for (const QString& expected : visibleTexts(document))
            EXPECT_TRUE(pages[0].contains(expected)) << design.name << ": " << expected;

        // Painted as an image in its orientation: ink in the page header and
        // in the detail rows under it; the bottom of a five-row page is blank.
        const QList<QImage> images = renderReportPages(document, 96);
        ASSERT_EQ(images.size(), 1) << design.name;
        const QImage& image = images.first();
        const int height = image.height();
        EXPECT_EQ(image.width() > height, design.orientation == QPageLayout::Landscape) << design.name;
        EXPECT_GT(inkIn(image, 0, height / 12), 0.005) << design.name;
        EXPECT_GT(inkIn(image, height / 12, height / 3), 0.005) << design.name;
        EXPECT_EQ(inkIn(image, height * 3 / 4, height), 0.0) << design.name;
    }
}

TEST(ReportEngine, LongResultsRunOverPagesWithTheHeaderOnEachAndEveryRowOnceInTheOrderGiven)
{
    // The viewer hands over the rows in its own order.
    store::Rows result = wideResult(150);
    std::reverse(result.rows.begin(), result.rows.end());
    const ReportDocument document = bindReport(sampleFacts(), result);
    const QStringList pages = printedPages(document);
    ASSERT_GE(pages.size(), 2);
    for (int page = 0; page < pages.size(); ++page) {
        const QString& text = pages[page];
        EXPECT_TRUE(text.contains(QStringLiteral("Pages %1 Of %2").arg(page + 1).arg(pages.size()))) << page;
        EXPECT_TRUE(text.contains("Query: Top N Traded Quantity")) << page;
        EXPECT_TRUE(text.contains("Stock TradingDate Qty1")) << page;
        EXPECT_EQ(text.contains("Total No Of Records"), page == pages.size() - 1) << page;
    }
    EXPECT_TRUE(pages.last().contains("Total No Of Records 150"));
    expectEveryRowOnceInOrder(pages, document);
    // The same report painted as images makes as many pages.
    EXPECT_EQ(renderReportPages(document, 300).size(), pages.size());
}

TEST(ReportEngine, AFooterThatDoesNotFitGoesToAPageOfItsOwn)
{
    const auto pagesFor = [](int rows) { return printedPages(bindReport(sampleFacts(), wideResult(rows))); };
    // The most rows that fit on one page together with the footer.
    int low = 1, high = 200;
    ASSERT_EQ(pagesFor(low).size(), 1);
    ASSERT_GT(pagesFor(high).size(), 1);
    while (high - low > 1) {
        const int middle = (low + high) / 2;
        (pagesFor(middle).size() == 1 ? low : high) = middle;
    }
    // One row more: the footer no longer fits and moves over with the page
    // header, and no row is lost or repeated.
    const QStringList pages = pagesFor(high);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[1].contains("Pages 2 Of 2"));
    EXPECT_TRUE(pages[1].contains("Query: Top N Traded Quantity"));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Total No Of Records %1").arg(high)));
    EXPECT_FALSE(pages[0].contains("Total No Of Records"));
    expectEveryRowOnceInOrder(pages, bindReport(sampleFacts(), wideResult(high)));
}

TEST(ReportEngine, GrowingNamesWrapWhileOthersAreCutShort)
{
    // Longer than a landscape page is wide.
    store::Rows result = wideResult(2);
    result.rows[0][0] = "Gainer Industries Consolidated Holdings and Investments Private Limited, Engineering, "
                        "Chemicals, Textiles, Shipping, Power, Finance and Trading Subsidiaries of the Northern, "
                        "Eastern, Southern and Western India Units";
    const QString grown =
        printedPages(bindReport(sampleFacts("Top 5 Gainer & Loser", QueryGroup::Price), result)).join(' ');
    const QString cut =
        printedPages(bindReport(sampleFacts("Total Delivery Value", QueryGroup::Misc), result)).join(' ');
    // Wrapped over lines, every word of the name is there, and the next row
    // still follows it.
    EXPECT_TRUE(grown.contains("Western India Units"));
    EXPECT_LT(grown.indexOf("Western India Units"), grown.indexOf(companyName(1)));
    EXPECT_FALSE(cut.contains("Western India Units"));
    EXPECT_TRUE(cut.contains("Gainer Industries"));
    EXPECT_TRUE(cut.contains(QChar(0x2026)));
}

TEST(ReportEngine, PrinterPdfOutputAndPreviewShowTheSamePages)
{
    const ReportDocument document = bindReport(sampleFacts("Combined Report", QueryGroup::Average), wideResult(120));
    QTemporaryDir folder;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath("printer.pdf"));
    printer.setPageLayout(reportPageLayout(document.orientation));
    ASSERT_TRUE(printReport(document, printer));
    const QStringList printed = pdfPages(folder.filePath("printer.pdf"));

    qputenv("TARVENIX_HOME", folder.path().toUtf8());
    QPrintPreviewDialog* preview = showReportPreview(document, nullptr);
    qunsetenv("TARVENIX_HOME");
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->windowTitle(), "Combined Report");
    EXPECT_EQ(preview->printer()->pageLayout().orientation(), QPageLayout::Landscape);
    auto* widget = preview->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(widget, nullptr);
    EXPECT_GE(widget->pageCount(), 2);
    EXPECT_EQ(widget->pageCount(), printed.size());
    EXPECT_TRUE(printed.first().contains("Open Interest"));
    preview->close();
}

TEST(ReportEngine, ColumnsHoldTheirWidestTextsFiguresWholeAndNamesFirstToGiveWay)
{
    const QString name = "Consolidated Engineering And Holdings Ltd";
    // Figures as wide as a market's can be print whole and apart, also beside
    // names too long for any page.
    for (const ReportDocument& document : everyLayout(name.repeated(4), -999999999999.99)) {
        const PaintedReport painted(document);
        EXPECT_TRUE(painted.faults.isEmpty()) << document.windowCaption << ": " << painted.faults.join("; ");
        for (qsizetype column = 0; column < document.columns.size(); ++column)
            EXPECT_TRUE(!document.columns[column].alignRight || painted.texts.contains(document.rows[0][column]))
                << document.windowCaption << " " << column;
    }
    // Ordinary figures leave room for a long name.
    for (const ReportDocument& document : everyLayout(name, 1234567.5)) {
        const PaintedReport painted(document);
        EXPECT_TRUE(painted.faults.isEmpty()) << document.windowCaption;
        EXPECT_TRUE(painted.texts.contains(name)) << document.windowCaption;
    }
}
