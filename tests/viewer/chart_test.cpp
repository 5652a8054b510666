// The chart drawn away from the window: the six types, the 3D view and its
// rotation, clicks on 3D bars, the axes' scales, and the print page.
#include "viewer/chart3d.h"
#include "viewer/chartpage.h"
#include "viewer/chartrender.h"
#include "viewer/chartscale.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace viewer;

namespace {

ChartPicture sampleChart(int categories, ChartType type)
{
    ChartPicture chart;
    chart.look.type = type;
    ChartSeriesData front{"NSETrdQty", {}};
    ChartSeriesData back{"BSETrdQty", {}};
    for (int i = 0; i < categories; ++i) {
        chart.data.categories.append(QStringLiteral("Scrip %1").arg(i));
        front.values.append(1000.0 * (2 + i % 4));
        back.values.append(1000.0 * (7 + i % 3));  // taller, so the back row shows over the front
    }
    chart.data.series = {front, back};
    return chart;
}

// Pixels of `colour`'s hue, however the faces are lit.
int pixelsOfHue(const QImage& image, const QColor& colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y).hsvSaturation() > 90 &&
                     std::abs(image.pixelColor(x, y).hsvHue() - colour.hsvHue()) <= 8;
    return count;
}

TEST(ChartPictures, EachTypeDrawsItsOwnPicture)
{
    QList<QImage> pictures;
    for (ChartType type : {ChartType::Bar2D, ChartType::Bar3D, ChartType::Pie2D, ChartType::Line2D, ChartType::Line3D,
                           ChartType::Step3D}) {
        const QImage picture = chartImage(sampleChart(10, type), QSize(520, 320));
        EXPECT_GT(pixelsOfHue(picture, seriesColour(ChartLook(), 0)), 200) << int(type);
        for (const QImage& other : pictures)
            EXPECT_NE(picture, other) << int(type);
        pictures.append(picture);
    }

    // Shadow, border and wall show on both kinds.
    for (ChartType type : {ChartType::Bar2D, ChartType::Bar3D}) {
        ChartPicture plain = sampleChart(10, type);
        const QImage before = chartImage(plain, QSize(520, 320));
        for (auto change : {+[](ChartLook& look) { look.shadow = true; }, +[](ChartLook& look) { look.border = true; },
                            +[](ChartLook& look) { look.wall = ChartLook::Wall::Hatched; }}) {
            ChartPicture styled = plain;
            change(styled.look);
            EXPECT_NE(chartImage(styled, QSize(520, 320)), before) << int(type);
        }
    }
}

TEST(ChartPictures, RotationTurnsOneDegreeATickAndComesBackAfterAFullTurn)
{
    ChartPicture chart = sampleChart(8, ChartType::Bar3D);
    const QImage start = chartImage(chart, QSize(400, 260));
    AutoRotation rotation;
    rotation.start(chart.view);
    chart.view = rotation.tick();
    EXPECT_DOUBLE_EQ(chart.view.rotation, View3D().rotation + 1);
    EXPECT_EQ(chart.view.elevation, View3D().elevation);
    EXPECT_NE(chartImage(chart, QSize(400, 260)), start);
    for (int tick = 1; tick < 360; ++tick)
        chart.view = rotation.tick();
    EXPECT_EQ(chart.view, View3D());
    EXPECT_EQ(chartImage(chart, QSize(400, 260)), start);

    // Stop holds the view; Auto Rotate goes on from there one degree at a
    // time, and a second Auto Rotate does not jump.
    chart.view = rotation.tick();
    rotation.stop();
    rotation.start(chart.view);
    rotation.start(chart.view);
    EXPECT_DOUBLE_EQ(rotation.tick().rotation, View3D().rotation + 2);
    EXPECT_DOUBLE_EQ(turnedBy(View3D{20, 359.5}, 1).rotation, 0.5);
}

TEST(ChartPictures, AClickOnA3DBarFindsItsSeriesAndPoint)
{
    const ChartPicture chart = sampleChart(6, ChartType::Bar3D);
    // Bars in view from each side: turned half round, the taller back row
    // comes to the front.
    const QList<std::pair<View3D, QList<ChartPick>>> cases = {
        {View3D(), {{0, 0}, {0, 4}, {1, 2}}},
        {View3D{35, 200}, {{1, 0}, {1, 3}}},
    };
    for (const auto& [view, bars] : cases) {
        const Chart3DPainter drawn(chart.data, chart.look, view, QRectF(0, 0, 600, 400));
        // The middle of each bar's top, which no bar in front of it reaches.
        for (const ChartPick& bar : bars) {
            ASSERT_FALSE(drawn.outlinesOf(bar).isEmpty());
            EXPECT_EQ(drawn.pick(drawn.outlinesOf(bar).first().boundingRect().center()), bar)
                << view.rotation << " " << bar.series << "," << bar.point;
        }
        EXPECT_FALSE(drawn.pick(QPointF(2, 2)).isValid());
    }
    const Chart3DPainter drawn(chart.data, chart.look, View3D(), QRectF(0, 0, 600, 400));
    EXPECT_EQ(drawn.pickLegend(QPointF(590, 200)), -1);
    bool found = false;
    for (int y = 0; y < 400 && !found; ++y)
        found = drawn.pickLegend(QPointF(560, y)) == 1;
    EXPECT_TRUE(found);
}

TEST(ChartScales, ValuesGetRoundTicksAndPlainGroupedLabels)
{
    const struct {
        double low, high, step;
        const char* highest;
    } cases[] = {
        {0, 15000000, 5000000, "1,50,00,000"}, {0, 97, 20, "100"}, {-3.2, 4.1, 2, "6"}, {0.12, 0.47, 0.1, "0.5"},
        {5, 5, 0.2, "5.6"},
    };
    for (const auto& c : cases) {
        const ValueScale scale = roundScale(c.low, c.high);
        EXPECT_DOUBLE_EQ(scale.step, c.step) << c.high;
        EXPECT_LE(scale.low, c.low);
        EXPECT_GE(scale.high, c.high);
        EXPECT_EQ(scale.label(scale.ticks().last()), c.highest);
        for (double tick : scale.ticks())
            EXPECT_FALSE(scale.label(tick).endsWith(QLatin1String(".0"))) << scale.label(tick).toStdString();
    }
    EXPECT_EQ(roundScale(-3.2, 4.1).label(0), "0");

    ChartData bars;
    bars.categories = {"a", "b"};
    bars.series = {{"s", {120.0, std::nullopt}}};
    EXPECT_EQ(valueScaleFor(bars, true).low, 0);
    EXPECT_GT(valueScaleFor(bars, false).low, 0);
}

TEST(ChartScales, CategoryLabelsAreThinnedOrTurnedToStayApart)
{
    const struct {
        int count;
        QPointF spacing;
        int step;
        bool turned;
    } cases[] = {
        {10, {80, 0}, 1, false},   // room across
        {10, {40, 0}, 1, true},    // turned they fit
        {300, {2, 0}, 12, true},   // turned, every twelfth
        {300, {0.5, 3}, 8, false}, // the edge runs down the screen: apart up and down
        {1, {0, 0}, 1, false},
    };
    for (const auto& c : cases) {
        const CategoryLabelPlan plan = planCategoryLabels(c.count, c.spacing, QSizeF(60, 14));
        EXPECT_EQ(plan.step, c.step) << c.count << " " << c.spacing.x();
        EXPECT_EQ(plan.turned, c.turned) << c.count << " " << c.spacing.x();
    }
    EXPECT_EQ(categoryLabel("  Housing Development Finance Corporation ").size(), kCategoryLabelChars);
}

// ---- the print page ---------------------------------------------------------

TEST(ChartPrintPage, ZoomKeepsTheChartsPlaceOnThePage)
{
    ChartPage page(QSize(9000, 6000));
    EXPECT_EQ(page.zoom(), 25);
    EXPECT_EQ(page.pageSize(), QSize(3000, 4250));
    EXPECT_EQ(page.chartPlace(), QRect(0, 0, 2250, 1500));

    page.moveChartBy(QPoint(300, 600));
    page.dropChart();
    page.setZoom(50);
    EXPECT_EQ(page.pageSize(), QSize(6000, 8500));
    EXPECT_EQ(page.chartPlace(), QRect(600, 1200, 4500, 3000));
    page.setZoom(100);
    EXPECT_EQ(page.printedPlace(), QRect(1200, 2400, 9000, 6000));

    // The chart stays on the page.
    page.moveChartBy(QPoint(50000, -50000));
    EXPECT_EQ(page.chartPlace().topLeft(), QPoint(3000, 0));

    // The orientation swaps the page at once; the next zoom draws it landscape.
    page.setZoom(25);
    page.toggleOrientation();
    EXPECT_FALSE(page.isPortrait());
    EXPECT_EQ(page.pageSize(), QSize(4250, 3000));
    page.setZoom(100);
    EXPECT_EQ(page.pageSize(), QSize(17000, 12000));
    page.toggleOrientation();
    EXPECT_EQ(page.pageSize(), QSize(12000, 17000));

    // A size bar stretches from the size after the last zoom change, and
    // the stretched size is the chart's size from then on.
    ChartPage stretched(QSize(9000, 6000));
    stretched.setHeightBar(50);
    EXPECT_EQ(stretched.chartPlace().size(), QSize(2250, 3000));
    EXPECT_EQ(stretched.chartSize(), QSize(9000, 12000));
    stretched.setHeightBar(50);
    EXPECT_EQ(stretched.chartSize(), QSize(9000, 12000));
    stretched.setZoom(50);
    EXPECT_EQ(stretched.chartPlace().size(), QSize(4500, 6000));
    EXPECT_EQ(stretched.heightBar(), ChartPage::kFirstSize);
    stretched.setWidthBar(ChartPage::kLeastSize);
    EXPECT_EQ(stretched.chartSize().width(), 3600);
}

TEST(ChartPrintPage, PrintsThePageAsLaidOut)
{
    const ChartPicture chart = sampleChart(10, ChartType::Bar3D);
    ChartPage page(QSize(6000, 4500));
    page.setZoom(100);
    page.moveChartBy(QPoint(4500, 9000));
    page.dropChart();

    // On a sheet of 120 x 170 pixels (a page twip is 0.01 pixel), the chart
    // covers 60 x 45 pixels from (45, 90), and nothing else is drawn.
    QImage sheet(120, 170, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    paintChartPage(painter, QRectF(0, 0, 120, 170), page, chart);
    painter.end();
    QRect drawn;
    for (int y = 0; y < sheet.height(); ++y)
        for (int x = 0; x < sheet.width(); ++x)
            drawn |= sheet.pixel(x, y) != qRgb(255, 255, 255) ? QRect(x, y, 1, 1) : QRect();
    EXPECT_TRUE(QRect(45, 90, 60, 45).contains(drawn)) << drawn.x() << "," << drawn.y() << " " << drawn.width() << "x"
                                                      << drawn.height();
    EXPECT_GT(drawn.width() * drawn.height(), 40 * 30);

    // To a PDF file: A4 in the page's orientation, a page per copy.
    QTemporaryDir folder;
    for (bool portrait : {true, false}) {
        ChartPage printed = page;
        if (!portrait)
            printed.toggleOrientation();
        printed.setCopies(2);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath("chart.pdf"));
        prepareChartPrinter(printer, printed);
        ASSERT_TRUE(printChartPage(printer, printed, chart));
        QFile pdf(printer.outputFileName());
        ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
        const QByteArray text = pdf.readAll();
        EXPECT_EQ(text.count("/MediaBox"), 2);
        EXPECT_TRUE(text.contains(portrait ? "/MediaBox [0 0 595.000000 842.000000]" : "/MediaBox [0 0 842.000000 595.000000]"));
        EXPECT_GT(text.size(), 4000);
    }
}

// A chart larger than the page (from a maximised chart window) is laid on
// it smaller, in its own proportions, when the preview opens and when the
// page is turned, and the sheet shows all of it.
TEST(ChartPrintPage, AChartLargerThanThePageIsMadeToFitIt)
{
    const ChartPicture chart = sampleChart(10, ChartType::Bar2D);
    for (const QSize& size : {QSize(21600, 9000), QSize(9000, 25000), QSize(30000, 30000)}) {
        for (bool turned : {false, true}) {
            ChartPage page(size);
            page.moveChartBy(QPoint(50000, 50000));  // to the far corner
            page.dropChart();
            if (turned)
                page.toggleOrientation();
            const QRect whole(QPoint(0, 0), page.isPortrait() ? QSize(12000, 17000) : QSize(17000, 12000));
            const QRect printed = page.printedPlace();
            const std::string name = std::to_string(size.width()) + "x" + std::to_string(size.height()) +
                                     (turned ? " turned" : "");
            EXPECT_TRUE(QRect(QPoint(0, 0), page.pageSize()).contains(page.chartPlace())) << name;
            EXPECT_TRUE(whole.contains(printed)) << name;
            EXPECT_NEAR(printed.width() / double(printed.height()), size.width() / double(size.height()), 0.01) << name;
            // As large as the page allows.
            EXPECT_TRUE(printed.width() >= whole.width() - 1 || printed.height() >= whole.height() - 1) << name;

            QImage sheet(whole.size() / 100, QImage::Format_RGB32);
            sheet.fill(Qt::white);
            QPainter painter(&sheet);
            paintChartPage(painter, QRectF(sheet.rect()), page, chart);
            painter.end();
            QRect drawn;
            for (int y = 0; y < sheet.height(); ++y)
                for (int x = 0; x < sheet.width(); ++x)
                    drawn |= sheet.pixel(x, y) != qRgb(255, 255, 255) ? QRect(x, y, 1, 1) : QRect();
            const QRect placed(printed.topLeft() / 100, printed.size() / 100);
            EXPECT_TRUE(placed.adjusted(-1, -1, 1, 1).contains(drawn)) << name;
            EXPECT_GT(drawn.width() * drawn.height(), placed.width() * placed.height() / 2) << name;
        }
    }
}

}  // namespace
