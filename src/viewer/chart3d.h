#pragma once

#include "viewer/chartdata.h"
#include "viewer/chartscale.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QPen>
#include <QPolygonF>
#include <QRectF>
#include <QVector3D>
#include <array>

class QPainter;

// The 3D chart types drawn with QPainter: a plot box seen from an elevation
// and turned about its vertical axis, projected without perspective and
// painted back to front, so it draws the same on the screen, in a picture,
// in a PDF file and on the printer. No widgets here.
namespace viewer {

// Where the 3D chart is seen from, in degrees: the elevation above the floor
// and the turn about the vertical axis (0 to 360).
struct View3D {
    double elevation = 20.0;
    double rotation = 30.0;

    bool operator==(const View3D&) const = default;
};

// `view` turned by `degrees` about the vertical axis, the angle kept within
// 0 to 360.
View3D turnedBy(const View3D& view, double degrees);

// Maps points of the plot box (x across the categories, y up the values,
// z back through the series rows; the box from the origin to `box`) onto an
// area of the page, the whole box inside it at every turn.
class Projection3D {
public:
    Projection3D(const View3D& view, const QVector3D& box, const QRectF& area);

    QPointF toScreen(const QVector3D& point) const;
    // How far `point` lies from the viewer; larger is farther.
    double depth(const QVector3D& point) const;
    // A direction in the viewer's terms: x to the right, y up the screen,
    // z away from the viewer.
    QVector3D toView(const QVector3D& direction) const;
    // True when a face whose outward normal is `normal` is turned towards
    // the viewer.
    bool faces(const QVector3D& normal) const { return toView(normal).z() < -1e-6; }

private:
    QVector3D m_centre;
    double m_cosTurn;
    double m_sinTurn;
    double m_cosRise;
    double m_sinRise;
    double m_scale;
    QPointF m_origin;
};

// A data point found under the mouse: series and point numbers from 0.
struct ChartPick {
    int series = -1;
    int point = -1;

    bool isValid() const { return series >= 0 && point >= 0; }
    bool operator==(const ChartPick&) const = default;
};

// One 3D chart laid out in `area` (logical pixels): the backdrop with its
// shadow and border, the floor and back walls, bars as lit prisms, lines as
// ribbons and steps as stairs, one row of depth per series, the value and
// category labels, and the legend.
class Chart3DPainter {
public:
    Chart3DPainter(const ChartData& data, const ChartLook& look, const View3D& view, const QRectF& area);

    void paint(QPainter& painter) const;
    // The data point drawn at `at`, or an invalid pick.
    ChartPick pick(const QPointF& at) const;
    // The series whose legend entry is drawn at `at`, or -1.
    int pickLegend(const QPointF& at) const;
    // The outlines drawn for one data point, in painting order.
    QList<QPolygonF> outlinesOf(const ChartPick& point) const;

private:
    struct Face {
        QPolygonF outline;
        QBrush fill;
        QPen pen;
        ChartPick owner;
    };
    struct Solid {
        double depth = 0.0;
        QList<Face> faces;
    };
    struct Label {
        // Where the text stands from its anchor: to the left, below, below
        // and turned on end, or to the right.
        enum class Place { Left, Below, Turned, Right };
        QPointF anchor;
        QString text;
        Place place = Place::Left;
    };
    struct LegendEntry {
        QString text;
        QColor colour;
        int series = -1;  // -1 for the line that counts the series left out
        QRectF place;
    };

    void layOut(const QRectF& plotArea, const CategoryLabelPlan& plan);
    QRectF plotAreaFor(const QRectF& backdrop, const CategoryLabelPlan& plan) const;
    CategoryLabelPlan planFor(const Projection3D& projection) const;
    void addWalls(const Projection3D& projection);
    void addBars(const Projection3D& projection, QList<Solid>& solids) const;
    void addRibbons(const Projection3D& projection, QList<Solid>& solids, bool stairs) const;
    void addLabels(const Projection3D& projection, const CategoryLabelPlan& plan);
    void layOutLegend(const QRectF& area);
    using Quad = std::array<QVector3D, 4>;
    Face face(const Projection3D& projection, const Quad& corners, const QVector3D& normal,
              const QColor& colour, const ChartPick& owner) const;
    double categoryX(double category) const;
    // How long a turned category label may be.
    double turnedLabelRoom() const;
    double level(double value) const;

    ChartData m_data;
    ChartLook m_look;
    View3D m_view;
    QRectF m_area;
    QFont m_font;
    ValueScale m_scale;
    QVector3D m_box;
    double m_rowDepth = 0.0;
    double m_widestCategory = 0.0;  // the widest category label, in pixels

    QRectF m_backdrop;
    QRectF m_legend;
    QList<LegendEntry> m_legendEntries;
    QList<Face> m_walls;
    QList<QLineF> m_gridLines;
    QList<Face> m_faces;  // the data, back to front
    QList<Label> m_valueLabels;
    QList<Label> m_categoryLabels;
};

// Auto Rotate: turns the 3D view one degree per tick about its vertical
// axis, from the angle it had when started, until stopped.
class AutoRotation {
public:
    // Starts turning from `current`; while turning already, nothing changes.
    void start(const View3D& current);
    // The view for the next tick.
    View3D tick();
    // Stops; the view stays where it is, and the next start turns from there.
    void stop();
    bool isTurning() const { return m_turning; }

private:
    View3D m_view;
    bool m_turning = false;
};

}  // namespace viewer
