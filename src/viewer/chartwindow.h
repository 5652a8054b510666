#pragma once

#include "store/database.h"
#include "viewer/chart3d.h"
#include "viewer/chartdata.h"
#include "viewer/chartrender.h"

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>

class QRadioButton;
class QStackedWidget;
class QTimer;

QT_BEGIN_NAMESPACE
class QChart;
class QChartView;
QT_END_NAMESPACE

namespace shell {
class AppServices;
}

namespace viewer {

class Chart3DView;
class ChartPreviewWindow;

// "Graph": the chart rows of the result viewer drawn as a 2D or 3D bar,
// line, step or pie chart, with buttons for the type, border, shadow, wall,
// series in rows or columns and the default settings, and Auto Rotate and
// Stop to turn a 3D chart. A click on a data point shows its value, a click
// on a legend entry chooses its series' colour. The picture can be saved as
// a bitmap and laid out on a page for printing.
class ChartWindow : public QWidget {
    Q_OBJECT
public:
    // `services` (may be null) shows the print preview inside the main
    // window and gives the folder the picture is saved in first.
    explicit ChartWindow(shell::AppServices* services, QWidget* parent = nullptr);
    ~ChartWindow() override;

    // Draws `rows`: the first column gives the categories, each further
    // column a series.
    void setRows(const store::Rows& rows);

    const ChartLook& look() const { return m_look; }
    const ChartData& data() const { return m_data; }
    const View3D& view() const { return m_view; }
    // What the chart shows now, for the picture, the preview and printing.
    ChartPicture shownChart() const { return {m_data, m_look, m_view}; }
    // The 2D chart on show, or null while a 3D type is shown.
    QChart* chart() const;
    QChartView* chartView() const { return m_chartView; }
    Chart3DView* view3D() const { return m_view3D; }
    // The chart on the screen, 2D or 3D.
    QWidget* canvas() const;

    // The value of point `point` of series `series` in a message box.
    void showPointValue(int series, int point);
    // Asks for a colour for series `series` and redraws with it.
    void chooseSeriesColour(int series);
    // The chart as a picture, at its size on screen.
    QImage picture() const;
    // "&Save As": asks for a file and saves the picture there as a bitmap.
    void saveAs();
    // "&Preview": the chart on its print page.
    void preview();
    ChartPreviewWindow* previewWindow() const;

    // "Auto Rotate" and "Stop".
    void startRotation();
    void stopRotation();
    bool isRotating() const { return m_rotation.isTurning(); }
    // One tick of the rotation.
    void turnOneStep();

    // The chart's size in twips at 100 percent, handed to the print page
    // and back.
    int chartHeight() const { return m_chartHeight; }
    int chartWidth() const { return m_chartWidth; }
    void setChartSize(int widthTwips, int heightTwips);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildControls();
    void restyle(const std::function<void(ChartLook&)>& change);
    void toDefaults();
    void redraw();
    void connectChart2D(QChart* chart);

    shell::AppServices* m_services = nullptr;
    store::Rows m_rows;
    ChartData m_data;
    ChartLook m_look;
    View3D m_view;
    AutoRotation m_rotation;
    QTimer* m_rotationTimer = nullptr;
    QTimer* m_relayout = nullptr;
    QStackedWidget* m_canvas = nullptr;
    QChartView* m_chartView = nullptr;
    Chart3DView* m_view3D = nullptr;
    QRadioButton* m_defaults = nullptr;
    QPointer<ChartPreviewWindow> m_preview;
    int m_chartHeight = 0;
    int m_chartWidth = 0;
    int m_laidOutWidth = 0;
};

// Opens the chart window as a child of the main window with `rows`, or
// brings the open one forward and draws `rows` in it.
ChartWindow* showChart(shell::AppServices& services, const store::Rows& rows);
// The open chart window, or null.
ChartWindow* openChartWindow();

}  // namespace viewer
