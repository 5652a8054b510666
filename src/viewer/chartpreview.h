#pragma once

#include <QImage>
#include <QRectF>
#include <QSizeF>

QT_BEGIN_NAMESPACE
class QChartView;
class QPrintPreviewDialog;
class QPrinter;
class QWidget;
QT_END_NAMESPACE

// The chart's print preview: the chart on an A4 page at its size on screen,
// at the page's top-left corner, made smaller only when it would not fit.
namespace viewer {

// The chart's place on a page whose printable area is `paintRect` (device
// pixels at `deviceDpi`), for a chart `chartInches` large.
QRectF chartPlaceOnPage(const QSizeF& chartInches, const QRectF& paintRect, double deviceDpi);

// Paints the chart of `view` (or, when the chart window has been closed,
// the `picture` taken when the preview opened, `pictureDpi` dots per inch)
// on one page of `printer`.
void printChartPage(QChartView* view, const QImage& picture, double pictureDpi, QPrinter& printer);

// "PRINT PREVIEW": opens the preview of the chart of `view`, on A4 paper,
// not modal; the dialog deletes itself when closed.
QPrintPreviewDialog* showChartPreview(QChartView* view, QWidget* parent);

}  // namespace viewer
