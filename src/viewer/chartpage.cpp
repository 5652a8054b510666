#include "viewer/chartpage.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

namespace viewer {

namespace {

constexpr double kTwipsPerPixel = 15.0;  // a chart laid out as on a 96 dpi screen

// `size`, made smaller in its own proportions where it is larger than `room`.
QSize fitted(const QSize& size, const QSize& room)
{
    const double scale = std::min({1.0, room.width() / double(size.width()), room.height() / double(size.height())});
    if (scale >= 1.0)
        return size;
    return QSize(std::clamp(int(size.width() * scale), 1, room.width()),
                 std::clamp(int(size.height() * scale), 1, room.height()));
}

}  // namespace

ChartPage::ChartPage(const QSize& chartSize)
    : m_ownSize(chartSize.expandedTo(QSize(1, 1))), m_fullSize(fitted(m_ownSize, QSize(kPageWidth, kPageHeight)))
{
    setZoom(kFirstZoom);
}

QSize ChartPage::fullPageSize() const
{
    return m_portrait ? QSize(kPageWidth, kPageHeight) : QSize(kPageHeight, kPageWidth);
}

QSize ChartPage::pageSize() const
{
    const QSize full = fullPageSize();
    return QSize(int(std::lround(full.width() * factor())), int(std::lround(full.height() * factor())));
}

void ChartPage::setZoom(int percent)
{
    m_zoom = std::clamp(percent, kLeastZoom, kMostZoom);
    const double z = factor();
    resetChartSize();
    m_chart.moveTopLeft(QPoint(int(std::lround(z * m_drop.x() / m_dropZoom)), int(std::lround(z * m_drop.y() / m_dropZoom))));
}

void ChartPage::resetChartSize()
{
    const double z = factor();
    m_base = QSize(std::max(1, int(std::lround(z * m_fullSize.width()))), std::max(1, int(std::lround(z * m_fullSize.height()))));
    m_chart.setSize(m_base);
    m_heightBar = kFirstSize;
    m_widthBar = kFirstSize;
}

void ChartPage::setHeightBar(int value)
{
    m_heightBar = std::clamp(value, kLeastSize, kMostSize);
    const int height = std::max(1, int(std::lround(m_heightBar / double(kFirstSize) * m_base.height())));
    m_chart.setHeight(height);
    m_fullSize.setHeight(std::max(1, int(std::lround(height / factor()))));
    m_ownSize = m_fullSize;
}

void ChartPage::setWidthBar(int value)
{
    m_widthBar = std::clamp(value, kLeastSize, kMostSize);
    const int width = std::max(1, int(std::lround(m_widthBar / double(kFirstSize) * m_base.width())));
    m_chart.setWidth(width);
    m_fullSize.setWidth(std::max(1, int(std::lround(width / factor()))));
    m_ownSize = m_fullSize;
}

void ChartPage::moveChartBy(const QPoint& offset)
{
    m_chart.translate(offset);
    keepOnPage();
}

void ChartPage::dropChart()
{
    m_drop = m_chart.topLeft();
    m_dropZoom = factor();
}

void ChartPage::keepOnPage()
{
    const QSize page = pageSize();
    const int right = std::max(0, page.width() - std::min(m_chart.width(), page.width()));
    const int bottom = std::max(0, page.height() - std::min(m_chart.height(), page.height()));
    m_chart.moveTopLeft(QPoint(std::clamp(m_chart.left(), 0, right), std::clamp(m_chart.top(), 0, bottom)));
}

void ChartPage::toggleOrientation()
{
    m_portrait = !m_portrait;
    const QSize fits = fitted(m_ownSize, fullPageSize());
    if (fits != m_fullSize) {
        m_fullSize = fits;
        resetChartSize();
    }
    keepOnPage();
    dropChart();
}

QRect ChartPage::printedPlace() const
{
    // The place on the page at the zoom of the drop, kept on the paper where
    // rounding at a small zoom would push it past an edge.
    const QSize page = fullPageSize();
    const int left = int(std::lround(m_drop.x() / m_dropZoom));
    const int top = int(std::lround(m_drop.y() / m_dropZoom));
    return QRect(QPoint(std::clamp(left, 0, std::max(0, page.width() - m_fullSize.width())),
                        std::clamp(top, 0, std::max(0, page.height() - m_fullSize.height()))),
                 m_fullSize);
}

void prepareChartPrinter(QPrinter& printer, const ChartPage& page)
{
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                      page.isPortrait() ? QPageLayout::Portrait : QPageLayout::Landscape, QMarginsF()));
    printer.setCopyCount(page.copies());
    switch (page.quality()) {
    case ChartPage::Quality::Low:
        printer.setResolution(150);
        break;
    case ChartPage::Quality::Medium:
        printer.setResolution(300);
        break;
    case ChartPage::Quality::High:
        printer.setResolution(600);
        break;
    }
    printer.setDocName(QStringLiteral("Graph"));
}

void paintChartPage(QPainter& painter, const QRectF& paper, const ChartPage& page, const ChartPicture& chart)
{
    const double pageWidth = page.isPortrait() ? ChartPage::kPageWidth : ChartPage::kPageHeight;
    const double pageHeight = page.isPortrait() ? ChartPage::kPageHeight : ChartPage::kPageWidth;
    // The page's twips onto the sheet, the same scale both ways.
    const double scale = std::min(paper.width() / pageWidth, paper.height() / pageHeight);
    const QRect place = page.printedPlace();
    const QRectF target(paper.left() + place.left() * scale, paper.top() + place.top() * scale, place.width() * scale,
                        place.height() * scale);
    const QSizeF layout(place.width() / kTwipsPerPixel, place.height() / kTwipsPerPixel);
    painter.save();
    painter.setClipRect(paper, Qt::IntersectClip);
    paintChart(painter, target, chart, layout);
    painter.restore();
}

bool printChartPage(QPrinter& printer, const ChartPage& page, const ChartPicture& chart)
{
    // A printer that makes its copies itself gets one page; for any other
    // (a PDF file) each copy is a page of its own.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF paper = printer.pageLayout().fullRectPixels(printer.resolution());
    for (int copy = 0; copy < copies; ++copy) {
        if (copy > 0)
            printer.newPage();
        paintChartPage(painter, paper, page, chart);
    }
    return painter.end();
}

}  // namespace viewer
