#pragma once

#include <QTimer>
#include <QWidget>

namespace shell {

// The start window: the product name and the maker's lines. It hands over
// once, after two seconds, on a key press or on a click.
class SplashScreen : public QWidget {
    Q_OBJECT
public:
    explicit SplashScreen(QWidget* parent = nullptr);

signals:
    void finished();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void handOver();

    QTimer m_timer;
    bool m_done = false;
};

}  // namespace shell
