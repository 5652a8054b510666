#pragma once

#include "viewer/chart3d.h"
#include "viewer/chartdata.h"

#include <QImage>
#include <QRectF>
#include <QSizeF>

class QPainter;

// One way to draw a chart away from the window: the picture saved to a file,
// the print preview's page and the printed page all come from here, for the
// 2D and the 3D types alike.
namespace viewer {

// Everything the chart shows: its data, its look and, for the 3D types,
// where it is seen from.
struct ChartPicture {
    ChartData data;
    ChartLook look;
    View3D view;
};

// Paints `chart` into `target`: laid out as on a screen `layoutSize` pixels
// large, then scaled to the target, so that the page and the paper show the
// chart as the window does. On a printer or a PDF file it paints vectors.
void paintChart(QPainter& painter, const QRectF& target, const ChartPicture& chart, const QSizeF& layoutSize);

// `chart` as an image `size` pixels large.
QImage chartImage(const ChartPicture& chart, const QSize& size);

}  // namespace viewer
