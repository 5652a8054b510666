#include "import/busyscreen.h"

#include <QApplication>
#include <QEvent>
#include <QMdiSubWindow>
#include <QWidget>

namespace import {

BusyScreen::BusyScreen(QWidget* inside)
{
    // The screen is the topmost widget below a child-window frame, or the
    // window itself when it stands alone.
    QWidget* screen = inside;
    while (screen->parentWidget() && !screen->isWindow() && !qobject_cast<QMdiSubWindow*>(screen->parentWidget()))
        screen = screen->parentWidget();
    m_screen = screen;
    m_guarded.append(screen);
    if (auto* frame = qobject_cast<QMdiSubWindow*>(screen->parentWidget()))
        m_guarded.append(frame);
    for (const auto& widget : m_guarded)
        widget->installEventFilter(this);
    m_focus = screen->focusWidget();
    screen->setEnabled(false);
}

BusyScreen::~BusyScreen()
{
    downloading(false);
    for (const auto& widget : m_guarded)
        if (widget)
            widget->removeEventFilter(this);
    if (!m_screen)
        return;
    m_screen->setEnabled(true);
    // The control that started the work (its button) has the focus again.
    if (m_focus && m_focus->isEnabled() && m_focus->isVisible())
        m_focus->setFocus(Qt::OtherFocusReason);
}

void BusyScreen::downloading(bool active)
{
    if (active == m_waitCursor)
        return;
    m_waitCursor = active;
    if (active)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

bool BusyScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Close) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace import
