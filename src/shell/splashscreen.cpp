#include "shell/splashscreen.h"

#include "shell/maker.h"

#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace shell {

SplashScreen::SplashScreen(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::Box);
    auto* product = new QLabel(QStringLiteral("Tarvenix"), frame);
    product->setObjectName(QStringLiteral("lblProductName"));
    QFont big = product->font();
    big.setPointSize(28);
    big.setBold(true);
    product->setFont(big);
    auto* web = new QLabel(maker::webAddress(), frame);
    web->setObjectName(QStringLiteral("Label2"));
    auto* mail = new QLabel(maker::emailAddress(), frame);
    mail->setObjectName(QStringLiteral("Label1"));
    auto* warning = new QLabel(maker::name() + QStringLiteral("  ") + maker::telephone(), frame);
    warning->setObjectName(QStringLiteral("lblWarning"));

    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(32, 32, 32, 32);
    inner->addWidget(product, 0, Qt::AlignCenter);
    inner->addSpacing(16);
    for (QLabel* line : {web, mail, warning})
        inner->addWidget(line, 0, Qt::AlignCenter);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    setFocusPolicy(Qt::StrongFocus);
    // In the middle of the screen, whatever the window system would choose.
    adjustSize();
    move(screen()->availableGeometry().center() - rect().center());

    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setSingleShot(true);
    m_timer.setInterval(2000);
    connect(&m_timer, &QTimer::timeout, this, &SplashScreen::handOver);
    m_timer.start();
}

void SplashScreen::keyPressEvent(QKeyEvent*)
{
    handOver();
}

void SplashScreen::mousePressEvent(QMouseEvent*)
{
    handOver();
}

void SplashScreen::handOver()
{
    if (m_done)
        return;
    m_done = true;
    m_timer.stop();
    close();
    emit finished();
}

}  // namespace shell
