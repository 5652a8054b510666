#include "viewer/chart3dview.h"

#include <QMouseEvent>
#include <QPainter>

namespace viewer {

Chart3DView::Chart3DView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
}

void Chart3DView::setChart(const ChartPicture& chart)
{
    m_chart = chart;
    update();
}

Chart3DPainter Chart3DView::drawn() const
{
    return Chart3DPainter(m_chart.data, m_chart.look, m_chart.view, QRectF(rect()));
}

void Chart3DView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawn().paint(painter);
}

void Chart3DView::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    m_pressedAt = event->position().toPoint();
}

void Chart3DView::mouseReleaseEvent(QMouseEvent* event)
{
    // A click: pressed and let go at about the same spot.
    if (!m_pressed || event->button() != Qt::LeftButton ||
        (event->position().toPoint() - m_pressedAt).manhattanLength() > 4)
        return;
    m_pressed = false;
    const Chart3DPainter layout = drawn();
    const QPointF at = event->position();
    const int series = layout.pickLegend(at);
    if (series >= 0) {
        emit legendClicked(series);
        return;
    }
    const ChartPick point = layout.pick(at);
    if (point.isValid())
        emit pointClicked(point.series, point.point);
}

}  // namespace viewer
