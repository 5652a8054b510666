#include "viewer/chartrender.h"

#include "viewer/chart2d.h"

#include <QChart>
#include <QGraphicsScene>
#include <QPainter>
#include <memory>

namespace viewer {

void paintChart(QPainter& painter, const QRectF& target, const ChartPicture& chart, const QSizeF& layoutSize)
{
    if (target.isEmpty() || layoutSize.isEmpty())
        return;
    const QRectF layout(QPointF(0, 0), layoutSize);
    if (!isThreeD(chart.look.type)) {
        // Qt Charts lays its chart out inside a scene, which paints it onto
        // any device.
        QGraphicsScene scene;
        QChart* drawn = buildChart2D(chart.data, chart.look, layoutSize.width());
        scene.addItem(drawn);
        drawn->setGeometry(layout);
        scene.setSceneRect(layout);
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        scene.render(&painter, target, layout, Qt::IgnoreAspectRatio);
        painter.restore();
        return;
    }
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.translate(target.topLeft());
    painter.scale(target.width() / layoutSize.width(), target.height() / layoutSize.height());
    Chart3DPainter(chart.data, chart.look, chart.view, layout).paint(painter);
    painter.restore();
}

QImage chartImage(const ChartPicture& chart, const QSize& size)
{
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintChart(painter, QRectF(QPointF(0, 0), QSizeF(image.size())), chart, QSizeF(image.size()));
    painter.end();
    return image;
}

}  // namespace viewer
