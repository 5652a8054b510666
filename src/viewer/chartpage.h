#pragma once

#include "viewer/chartrender.h"

#include <QPoint>
#include <QRect>
#include <QSize>

class QPainter;
class QPrinter;

// The chart's print page: a page drawn to scale at a zoom, the chart placed
// anywhere on it and stretched, the paper's orientation, print quality and
// copies, and the printing of the page as laid out. Sizes and places are in
// twips (1440 to the inch). No widgets here.
namespace viewer {

class ChartPage {
public:
    static constexpr int kPageWidth = 12000;   // portrait, at 100 percent
    static constexpr int kPageHeight = 17000;
    static constexpr int kFirstZoom = 25;
    static constexpr int kLeastZoom = 10;
    static constexpr int kMostZoom = 100;
    // The size bars: kFirstZoom stands for the chart's size after the last
    // zoom change, kMostZoom for four times that.
    static constexpr int kFirstSize = 25;
    static constexpr int kLeastSize = 10;
    static constexpr int kMostSize = 100;

    enum class Quality { Low, Medium, High };

    // A page at kFirstZoom with a chart `chartSize` large at 100 percent at
    // the page's top-left corner; a chart larger than the page is made
    // smaller, in its own proportions, until it fits.
    explicit ChartPage(const QSize& chartSize);

    int zoom() const { return m_zoom; }
    // Draws the page, and the chart at its place, at `percent` (kept within
    // kLeastZoom to kMostZoom). The size bars go back to kFirstSize.
    void setZoom(int percent);

    // The page and the chart at the current zoom.
    QSize pageSize() const;
    QRect chartPlace() const { return m_chart; }
    // The chart's size at 100 percent.
    QSize chartSize() const { return m_fullSize; }
    // The chart's place and size on the page at 100 percent: what is printed.
    QRect printedPlace() const;

    int heightBar() const { return m_heightBar; }
    int widthBar() const { return m_widthBar; }
    // Stretches the chart: the bar's value over kFirstSize times its size
    // after the last zoom change.
    void setHeightBar(int value);
    void setWidthBar(int value);

    // Moves the chart by `offset` at the current zoom; it stays on the page.
    void moveChartBy(const QPoint& offset);
    // Where the chart is let go: its place is kept across zoom changes.
    void dropChart();

    bool isPortrait() const { return m_portrait; }
    // Swaps the page's width and height. The chart keeps its place as far as
    // it can, and takes its own size again, made smaller where it does not
    // fit the page.
    void toggleOrientation();

    Quality quality() const { return m_quality; }
    void setQuality(Quality quality) { m_quality = quality; }
    int copies() const { return m_copies; }
    void setCopies(int copies) { m_copies = std::clamp(copies, 1, 10); }

private:
    double factor() const { return m_zoom / 100.0; }
    // The page at 100 percent.
    QSize fullPageSize() const;
    // The chart at the current zoom from its size at 100 percent; the size
    // bars start again.
    void resetChartSize();
    void keepOnPage();

    QSize m_ownSize;    // the chart's size before it was fitted to the page
    QSize m_fullSize;   // its size on the page at 100 percent
    int m_zoom = kFirstZoom;
    QSize m_base;       // the chart's size after the last zoom change
    QRect m_chart;      // at the current zoom
    QPoint m_drop;      // the chart's place at the last drop, at m_dropZoom
    double m_dropZoom = kFirstZoom / 100.0;
    int m_heightBar = kFirstSize;
    int m_widthBar = kFirstSize;
    bool m_portrait = true;
    Quality m_quality = Quality::Medium;
    int m_copies = 1;
};

// Readies `printer` for `page`: A4 paper in the page's orientation, the
// whole sheet as the page, its copies and a resolution for its quality.
void prepareChartPrinter(QPrinter& printer, const ChartPage& page);

// Paints the page as laid out onto `paper` (the sheet's rectangle on the
// painter's device): the chart at its place and size.
void paintChartPage(QPainter& painter, const QRectF& paper, const ChartPage& page, const ChartPicture& chart);

// Prints the page on `printer` (readied by prepareChartPrinter, and perhaps
// changed by the user since), as many copies as it asks for. False when
// printing could not start.
bool printChartPage(QPrinter& printer, const ChartPage& page, const ChartPicture& chart);

}  // namespace viewer
