#pragma once

#include "store/database.h"
#include "viewer/resultsort.h"

#include <QColor>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// What the chart window draws: the statement that reads the chosen columns
// of the result table, and the categories and series made of its rows.
// No widgets here.
namespace viewer {

// The texts of the viewer's chart lists.
struct ChartColumns {
    QString xAxis;
    QString yAxis;
    std::array<QString, 4> series;
};

struct ChartStatement {
    QString sql;      // empty when there is a problem
    QString problem;  // the message to show instead of running anything
};

inline const QString kChartAxesMissing = QStringLiteral("First Select X-Axis, Y-Axis to Display Graph");

// "SELECT x, y[, series...] FROM QueryResult [ORDER BY ...]": the X column,
// the Y column, then each series list that is not blank, in list order. The
// texts must name columns of `resultColumns` (without regard to case); the
// order is the viewer's sort rows, by the result columns they name.
ChartStatement chartStatement(const QList<store::Column>& resultColumns, const ChartColumns& chosen,
                              const QList<SortKey>& order);

struct ChartSeriesData {
    QString name;
    QList<std::optional<double>> values;  // one per category; nothing for an empty cell
};

struct ChartData {
    QStringList categories;
    QList<ChartSeriesData> series;

    bool isEmpty() const { return categories.isEmpty() || series.isEmpty(); }
};

// The chart rows as categories and series. With series in columns (the
// normal way) the first column's values, as text, are the categories and
// every further column is a series; with series in rows the roles swap:
// each row is a series named by its first value, the columns are the
// categories.
ChartData chartDataFromRows(const store::Rows& rows, bool seriesInRows);

// The chart types of the window. The 2D types are drawn by Qt Charts, the
// 3D types by the chart's own projection (viewer/chart3d.h).
enum class ChartType { Bar2D, Bar3D, Pie2D, Line2D, Line3D, Step3D };
bool isThreeD(ChartType type);

// How the chart is drawn; the chart window's buttons change it.
struct ChartLook {
    enum class Wall { Plain, Solid, Hatched };
    ChartType type = ChartType::Bar2D;
    bool border = false;   // a thick frame round the plot
    bool shadow = false;   // a drop shadow behind the plot
    Wall wall = Wall::Plain;
    bool seriesInRows = false;
    // Colours the user chose, by series number from 0.
    QMap<int, QColor> seriesColours;
};

// The colour series `series` is drawn in: the one chosen, else the palette's.
QColor seriesColour(const ChartLook& look, int series);

}  // namespace viewer
