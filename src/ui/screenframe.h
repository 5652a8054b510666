#pragma once

#include <QScrollArea>
#include <QSize>

class QMdiSubWindow;

namespace ui {

// What a screen sits in inside its child window of the main window. The
// screen is laid out at the window's size but never below the least size its
// layout needs: a smaller window scrolls the screen instead of squeezing its
// controls into each other. The frame carries the screen's caption and icon
// to the window and asks the screen before the window closes. A screen that
// closes itself (its Close or Exit button, a dialog's OK or Cancel) takes its
// window with it.
class ScreenFrame : public QScrollArea {
    Q_OBJECT
public:
    explicit ScreenFrame(QWidget* screen, QWidget* parent = nullptr);

    QWidget* screen() const { return widget(); }
    // The size the screen opens at: the size it chose for itself, else its
    // layout's preferred size, and never less than its layout needs.
    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void closeWindow();

    QSize m_chosenSize;
    bool m_closing = false;
};

// The child window of the main window that shows `widget`, or null when the
// widget is not inside one (a window of its own, or a test's bare screen).
QMdiSubWindow* subWindowOf(const QWidget* widget);

}  // namespace ui
