#include "ui/screenframe.h"

#include <QCloseEvent>
#include <QEvent>
#include <QMdiSubWindow>

namespace ui {

ScreenFrame::ScreenFrame(QWidget* screen, QWidget* parent) : QScrollArea(parent)
{
    setObjectName(QStringLiteral("ScreenFrame"));
    // Taken before the frame starts sizing the screen itself.
    if (screen->testAttribute(Qt::WA_Resized))
        m_chosenSize = screen->size();
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setFocusPolicy(Qt::NoFocus);
    setWidget(screen);
    setFocusProxy(screen);
    setWindowTitle(screen->windowTitle());
    setWindowIcon(screen->windowIcon());
    screen->installEventFilter(this);
}

QSize ScreenFrame::sizeHint() const
{
    const QWidget* shown = screen();
    if (!shown)
        return QScrollArea::sizeHint();
    const QSize preferred = m_chosenSize.isValid() ? m_chosenSize : shown->sizeHint();
    return preferred.expandedTo(shown->minimumSizeHint());
}

bool ScreenFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == screen()) {
        if (event->type() == QEvent::WindowTitleChange)
            setWindowTitle(screen()->windowTitle());
        else if (event->type() == QEvent::WindowIconChange)
            setWindowIcon(screen()->windowIcon());
        else if (event->type() == QEvent::Hide && screen()->isHidden() && !m_closing)
            // Hidden by its own close: the window goes once the close is over.
            QMetaObject::invokeMethod(this, &ScreenFrame::closeWindow, Qt::QueuedConnection);
    }
    return QScrollArea::eventFilter(watched, event);
}

void ScreenFrame::closeEvent(QCloseEvent* event)
{
    // The screen may refuse (a row being edited); the window then stays. A
    // screen that closed itself already is not asked again.
    QWidget* shown = screen();
    m_closing = true;
    const bool refused = shown && !shown->isHidden() && !shown->close();
    m_closing = false;
    if (refused) {
        event->ignore();
        return;
    }
    event->accept();
}

void ScreenFrame::closeWindow()
{
    // The screen may have been shown again in the meantime.
    if (screen() && !screen()->isHidden())
        return;
    if (QMdiSubWindow* window = subWindowOf(this))
        window->close();
    else if (isWindow())
        close();
}

QMdiSubWindow* subWindowOf(const QWidget* widget)
{
    for (QWidget* parent = widget ? widget->parentWidget() : nullptr; parent; parent = parent->parentWidget()) {
        if (auto* window = qobject_cast<QMdiSubWindow*>(parent))
            return window;
        if (parent->isWindow())
            break;
    }
    return nullptr;
}

}  // namespace ui
