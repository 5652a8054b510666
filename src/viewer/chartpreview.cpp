#include "viewer/chartpreview.h"

#include <QChartView>
#include <QPainter>
#include <QPageLayout>
#include <QPageSize>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace viewer {

QRectF chartPlaceOnPage(const QSizeF& chartInches, const QRectF& paintRect, double deviceDpi)
{
    QSizeF size(chartInches.width() * deviceDpi, chartInches.height() * deviceDpi);
    if (size.isEmpty())
        return QRectF(paintRect.topLeft(), QSizeF());
    if (size.width() > paintRect.width() || size.height() > paintRect.height())
        size.scale(paintRect.size(), Qt::KeepAspectRatio);
    return QRectF(paintRect.topLeft(), size);
}

void printChartPage(QChartView* view, const QImage& picture, double pictureDpi, QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    const double deviceDpi = printer.resolution();
    const QRectF paintRect(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    if (view) {
        const double screenDpi = view->logicalDpiX() > 0 ? view->logicalDpiX() : 96.0;
        const QSizeF inches(view->width() / screenDpi, view->height() / screenDpi);
        view->render(&painter, chartPlaceOnPage(inches, paintRect, deviceDpi), view->rect());
    } else if (!picture.isNull() && pictureDpi > 0) {
        const QSizeF inches(picture.width() / pictureDpi, picture.height() / pictureDpi);
        painter.drawImage(chartPlaceOnPage(inches, paintRect, deviceDpi), picture);
    }
    painter.end();
}

QPrintPreviewDialog* showChartPreview(QChartView* view, QWidget* parent)
{
    auto* dialog = new QPrintPreviewDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("PRINT PREVIEW"));
    QPrinter* printer = dialog->printer();
    printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                                       QPageLayout::Millimeter));
    printer->setDocName(QStringLiteral("Graph"));
    const QImage picture = view ? view->grab().toImage() : QImage();
    const double pictureDpi = view && view->logicalDpiX() > 0 ? view->logicalDpiX() : 96.0;
    QPointer<QChartView> watched(view);
    QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog,
                     [watched, picture, pictureDpi](QPrinter* target) {
                         printChartPage(watched.data(), picture, pictureDpi, *target);
                     });
    dialog->show();
    return dialog;
}

}  // namespace viewer
