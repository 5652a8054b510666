#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

namespace import {

// Holds a screen still while a download runs inside it. The downloads wait
// in a local event loop, so the user could otherwise close the screen, or
// start a second run, while the first is still using it. For its lifetime
// this disables the screen that holds `inside` and refuses to close it or
// its child-window frame; it also shows the wait cursor while downloading()
// says a download is under way. The control that had the focus gets it back
// at the end.
class BusyScreen : public QObject {
public:
    explicit BusyScreen(QWidget* inside);
    ~BusyScreen() override;
    BusyScreen(const BusyScreen&) = delete;
    BusyScreen& operator=(const BusyScreen&) = delete;

    // Shows the wait cursor while `active`.
    void downloading(bool active);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_screen;
    QPointer<QWidget> m_focus;
    QList<QPointer<QWidget>> m_guarded;
    bool m_waitCursor = false;
};

}  // namespace import
