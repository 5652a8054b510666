#pragma once

#include "viewer/chartpage.h"
#include "viewer/chartrender.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <functional>

class QAction;
class QLabel;
class QPrinter;
class QScrollBar;
class QVBoxLayout;

// "PRINT PREVIEW": the chart on a page drawn to scale. The user zooms the
// page, drags the chart anywhere on it, stretches the chart, picks the
// orientation, print quality and copies, and prints the page as laid out.
namespace viewer {

class ChartWindow;

// The chart's picture on the page; dragged with any mouse button.
class ChartPageChart : public QWidget {
    Q_OBJECT
public:
    explicit ChartPageChart(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);

signals:
    void movedBy(const QPoint& pixels);
    void dropped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap m_picture;
    QPointF m_last;
    bool m_dragging = false;
};

class ChartPreviewWindow : public QWidget {
    Q_OBJECT
public:
    // Asks for the printer (the print dialog); false when cancelled.
    using PrinterChooser = std::function<bool(QPrinter&)>;

    // The page of the chart of `chart`, at the chart's size on the screen.
    explicit ChartPreviewWindow(ChartWindow* chart, QWidget* parent = nullptr);

    const ChartPage& page() const { return m_page; }
    QScrollBar* zoomBar() const { return m_zoom; }
    QScrollBar* sizeBar(int index) const { return index == 0 ? m_height : m_width; }
    QWidget* pageView() const { return m_pageView; }
    ChartPageChart* chartOnPage() const { return m_chartOnPage; }
    // The chart as the page shows it now.
    const ChartPicture& shownChart() const { return m_shown; }

    void setPrinterChooser(PrinterChooser chooser) { m_chooser = std::move(chooser); }
    // "P&rint": the page at 100 percent, printed as laid out.
    void print();

private:
    void buildMenu(QVBoxLayout* layout);
    QWidget* buildStrip();
    void zoomChanged(int value);
    void sizeChanged(int index, int value);
    void takeChart();
    // The size bars at the page's values, without stretching the chart.
    void showSizeBars();
    // Hands the chart's size at 100 percent back to the chart window.
    void keepChartSize();
    void placeWidgets();
    void renderChart();

    QPointer<ChartWindow> m_chart;
    ChartPicture m_shown;
    ChartPage m_page;
    PrinterChooser m_chooser;
    QWidget* m_pageView = nullptr;
    ChartPageChart* m_chartOnPage = nullptr;
    QScrollBar* m_zoom = nullptr;
    QLabel* m_zoomLabel = nullptr;
    QScrollBar* m_height = nullptr;
    QScrollBar* m_width = nullptr;
    QAction* m_orientation = nullptr;
};

}  // namespace viewer
