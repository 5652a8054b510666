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
#include <gtest/gtest.h>

using namespace reports;
using reportfixtures::companyName;
using reportfixtures::pdfPages;
using reportfixtures::pdfText;
using reportfixtures::resultFor;
using reportfixtures::sampleFacts;

namespace {

// A label that the binding sends to each layout.
ReportFacts factsFor(LayoutId id)
{
    switch (id) {
    case LayoutId::DrTovilI:
        return sampleFacts(QStringLiteral("Tovil Query - Cash Volume"), QueryGroup::Misc);
    case LayoutId::DrBelmora:
        return sampleFacts(QStringLiteral("Top N Combined Query"));
    case LayoutId::DrBelm:
        return sampleFacts(QStringLiteral("Increasing Delivery Qty & Decreasing Price"), QueryGroup::Combined);
    case LayoutId::DrMarket:
        return sampleFacts(QStringLiteral("Market Strength"), QueryGroup::Kelvarn);
    case LayoutId::DrOIC:
        return sampleFacts(QStringLiteral("Combined Report"), QueryGroup::Average);
    case LayoutId::DrQXV:
        return sampleFacts(QStringLiteral("QXV Query"), QueryGroup::Misc);
    case LayoutId::DrQuery1:
        return sampleFacts(QStringLiteral("52 Week High"), QueryGroup::Kelvarn);
    case LayoutId::DrCombine:
        return sampleFacts(QStringLiteral("Top Gainer in price (%)"), QueryGroup::Price);
    case LayoutId::DrQueryOi:
        return sampleFacts(QStringLiteral("Total Delivery Value"), QueryGroup::Misc);
    case LayoutId::DrQuery:
        break;
    }
    return sampleFacts();
}

// Every text the report holds that should be visible on its pages.
QStringList visibleTexts(const ReportDocument& document)
{
    QStringList texts = document.titleLines;
    for (const HeaderLine& line : document.headerLines)
        texts << line.caption << line.text;
    for (const ReportColumn& column : document.columns)
        texts << column.heading;
    for (const QList<HeadingSpan>& band : document.headingBands) {
        for (const HeadingSpan& span : band)
            texts << span.text;
    }
    for (const QStringList& row : document.rows)
        texts << row;
    texts << document.totals;
    for (const FooterLine& line : document.footerLines)
        texts << line.caption << line.text;
    texts << document.footnotes;
    QStringList visible;
    for (const QString& text : texts) {
        if (!text.trimmed().isEmpty())
            visible << text.simplified();
    }
    return visible;
}

// Share of non-white pixels in a band of the image.
double inkIn(const QImage& image, int top, int bottom)
{
    qint64 ink = 0;
    qint64 total = 0;
    for (int y = std::max(0, top); y < std::min(image.height(), bottom); ++y) {
        for (int x = 0; x < image.width(); x += 2) {
            ++total;
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                ++ink;
        }
    }
    return total ? double(ink) / double(total) : 0;
}

// A page that keeps where each piece of text is painted on it, in report
// units, instead of painting it.
class TextPositions : public QPaintDevice {
public:
    struct Text {
        QRectF box;
        QString text;
    };

    explicit TextPositions(const QSizeF& area) : m_area(area * ReportPager::kReportDotsPerInch) {}
    QPaintEngine* paintEngine() const override { return &m_engine; }
    const QList<Text>& texts() const { return m_engine.texts; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return int(m_area.width());
        case PdmHeight:
            return int(m_area.height());
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return int(ReportPager::kReportDotsPerInch);
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    class Engine : public QPaintEngine {
    public:
        Engine() : QPaintEngine(QPaintEngine::AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        Type type() const override { return QPaintEngine::User; }
        void updateState(const QPaintEngineState& state) override
        {
            if (state.state() & QPaintEngine::DirtyTransform)
                transform = state.transform();
        }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF& at, const QTextItem& item) override
        {
            const QRectF box(at.x(), at.y() - item.ascent(), item.width(), item.ascent() + item.descent());
            texts.append({transform.mapRect(box), item.text()});
        }
        QTransform transform;
        QList<Text> texts;
    };

    QSizeF m_area;
    mutable Engine m_engine;
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

        const qreal width = inches.width() * ReportPager::kReportDotsPerInch;
        for (const TextPositions::Text& text : page.texts())
            texts.append(text.text);
        const QList<TextPositions::Text>& boxes = page.texts();
        for (qsizetype i = 0; i < boxes.size(); ++i) {
            const QRectF box = boxes[i].box.adjusted(1, 1, -1, -1);
            if (box.left() < 0 || box.right() > width)
                faults << QStringLiteral("\"%1\" runs off the page").arg(boxes[i].text);
            for (qsizetype j = i + 1; j < boxes.size(); ++j)
                if (box.intersects(boxes[j].box.adjusted(1, 1, -1, -1)))
                    faults << QStringLiteral("\"%1\" runs into \"%2\"").arg(boxes[i].text, boxes[j].text);
        }
    }
    QStringList texts;
    QStringList faults;
};

// `result` with the values of its first text column made `name`, those of
// other text columns a shorter text, and every figure made `figure`.
store::Rows withValues(store::Rows result, const QString& name, double figure)
{
    for (QVariantList& row : result.rows) {
        bool named = false;
        for (qsizetype column = 0; column < row.size(); ++column) {
            switch (result.columns[column].kind) {
            case store::ColumnKind::Text:
                row[column] = named ? name.left(12) : name;
                named = true;
                break;
            case store::ColumnKind::Integer:
                row[column] = qlonglong(figure);
                break;
            case store::ColumnKind::Real:
                row[column] = figure;
                break;
            default:
                break;
            }
        }
    }
    return result;
}

// Every printed layout, of results with every name `name` and every figure
// `figure`: the query layouts, the master lists and the portfolio valuations.
QList<ReportDocument> everyLayout(const QString& name, double figure)
{
    QList<ReportDocument> documents;
    for (LayoutId id : allLayouts())
        documents.append(bindReport(factsFor(id), withValues(resultFor(id), name, figure)));

    // Five rows of `columns`, dates on a day of December.
    const auto rowsOf = [&](const QList<store::Column>& columns) {
        store::Rows rows;
        rows.columns = columns;
        QVariantList row(columns.size());
        for (qsizetype column = 0; column < columns.size(); ++column)
            if (columns[column].kind == store::ColumnKind::Date)
                row[column] = QDate(2026, 12, 5);
        rows.rows = QList<QVariantList>(5, row);
        return withValues(rows, name, figure);
    };
    using store::ColumnKind;
    documents.append(buildMasterList(scripMasterList(), rowsOf({{QStringLiteral("company"), ColumnKind::Text},
                                                                {QStringLiteral("nsescrip"), ColumnKind::Text},
                                                                {QStringLiteral("bsescrip"), ColumnKind::Text}})));
    documents.append(buildMasterList(groupMasterList(), rowsOf({{QStringLiteral("GroupName"), ColumnKind::Text},
                                                                {QStringLiteral("GroupCode"), ColumnKind::Text}})));

    QList<store::Column> valuation{{QStringLiteral("Name"), ColumnKind::Text},
                                   {QStringLiteral("Company"), ColumnKind::Text},
                                   {QStringLiteral("GroupName"), ColumnKind::Text},
                                   {QStringLiteral("tdt"), ColumnKind::Date}};
    for (const char* figureColumn : {"PurAmt", "SalesAmt", "NetQty", "NetPurchase", "CurrPrice", "NetValue",
                                     "Gainloss", "PurQty", "SellQty"})
        valuation.append({QString::fromLatin1(figureColumn), ColumnKind::Real});
    const store::Rows holdings = rowsOf(valuation);
    for (PortfolioLayout kind : {PortfolioLayout::PortfolioSummary, PortfolioLayout::ScriptSummary,
                                 PortfolioLayout::PortfolioDetail, PortfolioLayout::ScriptDetail,
                                 PortfolioLayout::Sector})
        documents.append(buildPortfolioReport(kind, holdings, QDate(2026, 12, 5), QDate(2026, 12, 6)));
    return documents;
}

class ReportEngineTest : public ::testing::Test {
protected:
    QString pdfPath(const QString& name) const { return m_dir.filePath(name + QStringLiteral(".pdf")); }
    QTemporaryDir m_dir;
};

}  // namespace

TEST_F(ReportEngineTest, EveryLayoutPrintsItsHeadingsRowsAndFootersToPdf)
{
    for (LayoutId id : allLayouts()) {
        const Layout& design = layout(id);
        const ReportFacts facts = factsFor(id);
        ASSERT_EQ(chooseLayout(facts.queryLabel, facts.queryGroup, facts.exchange), id) << design.name;
        const ReportDocument document = bindReport(facts, resultFor(id));
        const QString path = pdfPath(design.name);
        QString error;
        ASSERT_TRUE(writeReportPdf(document, path, &error)) << error.toStdString();

        int pages = 0;
        const std::optional<QString> text = pdfText(path, &pages);
        if (!text)
            GTEST_SKIP() << "pdftotext is not installed";
        EXPECT_EQ(pages, 1) << design.name;
        const QString pageText = document.pageText.contains(QLatin1String("%2"))
                                     ? document.pageText.arg(1).arg(1)
                                     : document.pageText.arg(1);
        EXPECT_TRUE(text->contains(pageText)) << design.name << " " << pageText;
        for (const QString& expected : visibleTexts(document))
            EXPECT_TRUE(text->contains(expected)) << design.name << ": " << expected;
    }
}

TEST_F(ReportEngineTest, LongResultsRunOverPagesWithTheHeaderOnEachAndEveryRowOnce)
{
    const int rowCount = 150;
    const ReportDocument document = bindReport(sampleFacts(), reportfixtures::wideResult(rowCount));
    const QString path = pdfPath(QStringLiteral("long"));
    ASSERT_TRUE(writeReportPdf(document, path));
    const QStringList pages = pdfPages(path);
    if (pages.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";

    ASSERT_GE(pages.size(), 2);
    const QString all = pages.join(QLatin1Char(' '));
    for (int page = 0; page < pages.size(); ++page) {
        const QString& text = pages[page];
        EXPECT_TRUE(text.contains(QStringLiteral("Pages %1 Of %2").arg(page + 1).arg(pages.size()))) << page;
        EXPECT_TRUE(text.contains(QStringLiteral("Query: Top N Traded Quantity"))) << page;
        EXPECT_TRUE(text.contains(QStringLiteral("Stock TradingDate Qty1"))) << page;
        EXPECT_EQ(text.contains(QStringLiteral("Total No Of Records")), page == pages.size() - 1) << page;
    }
    EXPECT_TRUE(pages.last().contains(QStringLiteral("Total No Of Records %1").arg(rowCount)));
    for (int row = 0; row < rowCount; ++row)
        EXPECT_EQ(all.count(companyName(row) + QLatin1Char(' ')), 1) << row;

    // The same report painted as images makes as many pages.
    EXPECT_EQ(renderReportPages(document, 300).size(), pages.size());
}

TEST_F(ReportEngineTest, RowsPrintInTheOrderGivenAndOnlyThoseGiven)
{
    // The viewer hands over what it shows: filtered to three rows and sorted
    // its own way.
    const store::Rows full = reportfixtures::wideResult(6);
    store::Rows shown;
    shown.columns = full.columns;
    shown.rows = {full.rows[4], full.rows[0], full.rows[2]};
    const ReportDocument document = bindReport(sampleFacts(), shown);
    const QString path = pdfPath(QStringLiteral("order"));
    ASSERT_TRUE(writeReportPdf(document, path));
    const std::optional<QString> text = pdfText(path);
    if (!text)
        GTEST_SKIP() << "pdftotext is not installed";

    const qsizetype first = text->indexOf(companyName(4));
    const qsizetype second = text->indexOf(companyName(0));
    const qsizetype third = text->indexOf(companyName(2));
    ASSERT_GE(first, 0);
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    EXPECT_FALSE(text->contains(companyName(1)));
    EXPECT_FALSE(text->contains(companyName(3)));
    EXPECT_TRUE(text->contains(QStringLiteral("Total No Of Records 3")));
}

TEST_F(ReportEngineTest, AFooterThatDoesNotFitGoesToAPageOfItsOwn)
{
    auto pagesFor = [this](int rows) {
        const QString path = pdfPath(QStringLiteral("footer%1").arg(rows));
        EXPECT_TRUE(writeReportPdf(bindReport(sampleFacts(), reportfixtures::wideResult(rows)), path));
        return pdfPages(path);
    };
    if (pagesFor(1).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";

    // The most rows that fit on one page together with the footer.
    int low = 1;
    int high = 200;
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
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Pages 2 Of 2")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Query: Top N Traded Quantity")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Total No Of Records %1").arg(high)));
    EXPECT_FALSE(pages[0].contains(QStringLiteral("Total No Of Records")));
    const QString all = pages.join(QLatin1Char(' '));
    for (int row = 0; row < high; ++row)
        EXPECT_EQ(all.count(companyName(row) + QLatin1Char(' ')), 1) << row;
}

TEST_F(ReportEngineTest, GrowingNamesWrapWhileOthersAreCutShort)
{
    // Longer than a landscape page is wide.
    const QString longName = QStringLiteral(
        "Gainer Industries Consolidated Holdings and Investments Private Limited, Engineering, Chemicals, "
        "Textiles, Shipping, Power, Finance and Trading Subsidiaries of the Northern, Eastern, Southern "
        "and Western India Units");
    store::Rows result = reportfixtures::wideResult(2);
    result.rows[0][0] = longName;
    const ReportDocument growing =
        bindReport(sampleFacts(QStringLiteral("Top 5 Gainer & Loser"), QueryGroup::Price), result);
    const ReportDocument cut = bindReport(sampleFacts(QStringLiteral("Total Delivery Value"), QueryGroup::Misc), result);
    ASSERT_TRUE(writeReportPdf(growing, pdfPath(QStringLiteral("growing"))));
    ASSERT_TRUE(writeReportPdf(cut, pdfPath(QStringLiteral("cut"))));
    const std::optional<QString> grown = pdfText(pdfPath(QStringLiteral("growing")));
    const std::optional<QString> shortened = pdfText(pdfPath(QStringLiteral("cut")));
    if (!grown || !shortened)
        GTEST_SKIP() << "pdftotext is not installed";

    // Wrapped over lines, every word of the name is there, and the next row
    // still follows it.
    EXPECT_TRUE(grown->contains(QStringLiteral("Western India Units")));
    EXPECT_LT(grown->indexOf(QStringLiteral("Western India Units")), grown->indexOf(companyName(1)));
    EXPECT_FALSE(shortened->contains(QStringLiteral("Western India Units")));
    EXPECT_TRUE(shortened->contains(QStringLiteral("Gainer Industries")));
    EXPECT_TRUE(shortened->contains(QChar(0x2026)));
}

TEST_F(ReportEngineTest, EveryLayoutPaintsOffscreenImagesInItsOrientation)
{
    for (LayoutId id : allLayouts()) {
        const Layout& design = layout(id);
        const QList<QImage> pages = renderReportPages(bindReport(factsFor(id), resultFor(id)), 96);
        ASSERT_EQ(pages.size(), 1) << design.name;
        const QImage& page = pages.first();
        EXPECT_EQ(page.width() > page.height(), design.orientation == QPageLayout::Landscape) << design.name;
        // Ink in the page header and in the detail rows under it; the bottom
        // of a five-row page stays blank.
        EXPECT_GT(inkIn(page, 0, page.height() / 12), 0.005) << design.name;
        EXPECT_GT(inkIn(page, page.height() / 12, page.height() / 3), 0.005) << design.name;
        EXPECT_EQ(inkIn(page, page.height() * 3 / 4, page.height()), 0.0) << design.name;
    }
}

TEST_F(ReportEngineTest, PrinterPdfOutputAndPreviewShowTheSamePages)
{
    const ReportDocument document = bindReport(sampleFacts(QStringLiteral("Combined Report"), QueryGroup::Average),
                                               reportfixtures::wideResult(120));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath(QStringLiteral("printer")));
    printer.setPageLayout(reportPageLayout(document.orientation));
    ASSERT_TRUE(printReport(document, printer));
    const QStringList printed = pdfPages(pdfPath(QStringLiteral("printer")));

    QPrintPreviewDialog* preview = showReportPreview(document, nullptr);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->windowTitle(), "Combined Report");
    EXPECT_EQ(preview->printer()->pageLayout().orientation(), QPageLayout::Landscape);
    auto* widget = preview->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(widget, nullptr);
    EXPECT_GE(widget->pageCount(), 2);
    if (!printed.isEmpty()) {
        EXPECT_EQ(widget->pageCount(), printed.size());
        EXPECT_TRUE(printed.first().contains(QStringLiteral("Open Interest")));
    }
    preview->close();
}

TEST_F(ReportEngineTest, ColumnsHoldTheirWidestTextsFiguresWholeAndNamesFirstToGiveWay)
{
    const QString name = QStringLiteral("Consolidated Engineering And Holdings Ltd");
    // Figures as wide as a market's can be print whole and apart, also beside
    // names too long for any page.
    for (const ReportDocument& document : everyLayout(name.repeated(4), -999999999999.99)) {
        const PaintedReport painted(document);
        EXPECT_TRUE(painted.faults.isEmpty())
            << document.windowCaption << ": " << painted.faults.join(QStringLiteral("; "));
        for (qsizetype column = 0; column < document.columns.size(); ++column) {
            if (document.columns[column].alignRight) {
                EXPECT_TRUE(painted.texts.contains(document.rows[0][column]))
                    << document.windowCaption << " " << column;
            }
        }
    }
    // Ordinary figures leave room for a long name.
    for (const ReportDocument& document : everyLayout(name, 1234567.5)) {
        const PaintedReport painted(document);
        EXPECT_TRUE(painted.faults.isEmpty()) << document.windowCaption;
        EXPECT_TRUE(painted.texts.contains(name)) << document.windowCaption;
    }
}
