#pragma once

#include "store/database.h"
#include "viewer/chartdata.h"

#include <QColor>
#include <QImage>
#include <QMap>
#include <QWidget>
#include <functional>

class QRadioButton;

QT_BEGIN_NAMESPACE
class QChart;
class QChartView;
QT_END_NAMESPACE

namespace shell {
class AppServices;
}

namespace viewer {

// How the chart is drawn; the window's buttons change it.
struct ChartLook {
    enum class Wall { Plain, Solid, Hatched };
    ChartType type = ChartType::Bar2D;
    bool border = false;
    bool shadow = false;
    Wall wall = Wall::Plain;
    bool seriesInRows = false;
    // Colours the user chose, by series number from 0.
    QMap<int, QColor> seriesColours;
};

// "Graph": the chart rows of the result viewer drawn as a bar, line, step
// or pie chart, with buttons for the type, border, shadow, wall, series in
// rows or columns and the default settings; a click on a point shows its
// value, a double click on a series chooses its colour. The picture can be
// saved as a bitmap and previewed for printing.
class ChartWindow : public QWidget {
    Q_OBJECT
public:
    explicit ChartWindow(const QString& dataFolder, QWidget* parent = nullptr);

    // Draws `rows`: the first column gives the categories, each further
    // column a series.
    void setRows(const store::Rows& rows);

    const ChartLook& look() const { return m_look; }
    const ChartData& data() const { return m_data; }
    QChart* chart() const;
    QChartView* chartView() const { return m_view; }

    // The value of point `point` of series `series` in a message box.
    void showPointValue(int series, int point);
    // Asks for a colour for series `series` and redraws with it.
    void chooseSeriesColour(int series);
    // The chart as a picture, at its size on screen.
    QImage picture() const;
    // "&Save As": asks for a file and saves the picture there as a bitmap.
    void saveAs();
    // "&Preview": the print preview of the chart on an A4 page.
    void preview();

private:
    void buildButtons();
    void restyle(const std::function<void(ChartLook&)>& change);
    void toDefaults();
    void redraw();

    QString m_dataFolder;
    store::Rows m_rows;
    ChartData m_data;
    ChartLook m_look;
    QChartView* m_view = nullptr;
    QRadioButton* m_defaults = nullptr;
};

// Opens the chart window as a child of the main window with `rows`, or
// brings the open one forward and draws `rows` in it.
ChartWindow* showChart(shell::AppServices& services, const store::Rows& rows);
// The open chart window, or null.
ChartWindow* openChartWindow();

}  // namespace viewer
