#pragma once

#include "viewer/chartrender.h"

#include <QWidget>

// The 3D chart on the screen: paints the chart's projection and tells which
// data point or legend entry the user clicks.
namespace viewer {

class Chart3DView : public QWidget {
    Q_OBJECT
public:
    explicit Chart3DView(QWidget* parent = nullptr);

    void setChart(const ChartPicture& chart);
    const ChartPicture& chart() const { return m_chart; }
    // The layout of the chart as it is drawn now.
    Chart3DPainter drawn() const;

signals:
    void pointClicked(int series, int point);
    void legendClicked(int series);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ChartPicture m_chart;
    QPoint m_pressedAt;
    bool m_pressed = false;
};

}  // namespace viewer
