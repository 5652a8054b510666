#include "ui/checknum.h"

#include "store/jetfunctions.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace ui {

CheckNum::CheckNum(QObject* parent) : QObject(parent) {}

void CheckNum::setTextBox(QLineEdit* box)
{
    if (m_box) {
        m_box->removeEventFilter(this);
        disconnect(m_box, nullptr, this, nullptr);
    }
    m_box = box;
    if (!m_box)
        return;
    m_box->installEventFilter(this);
    connect(m_box, &QLineEdit::textChanged, this, &CheckNum::cutDecimals);
}

bool CheckNum::acceptKey(const QString& typed)
{
    if (typed.size() != 1)
        return true;  // navigation and editing keys carry no text
    const QChar c = typed.at(0);
    if (c.unicode() < 32 || (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
        return true;
    if (c == QLatin1Char('.') && m_allowDec) {
        const QString text = m_box->text();
        if (text.isEmpty() || !text.contains(QLatin1Char('.')))
            m_pointTyped = false;
        if (m_pointTyped)
            return false;
        m_pointTyped = true;
        return true;
    }
    return false;
}

void CheckNum::cutDecimals()
{
    if (!m_pointTyped || !m_box)
        return;
    const QString text = m_box->text();
    const int point = static_cast<int>(text.indexOf(QLatin1Char('.')));
    if (point >= 0 && text.size() - point - 1 > m_decPlaces) {
        m_box->setText(text.left(point + 1 + m_decPlaces));
        m_box->setCursorPosition(static_cast<int>(m_box->text().size()));
    }
}

void CheckNum::formatText()
{
    if (!m_allowDec)
        return;
    QString text = m_box->text();
    if (text.isEmpty())
        text = QStringLiteral("0");
    m_box->setText(QString::number(store::jetVal(text), 'f', m_decPlaces));
}

bool CheckNum::validate()
{
    if (!m_box)
        return true;
    const double value = store::jetVal(m_box->text());
    bool cancel = false;
    if (Min && value < *Min)
        emit validateError(&cancel);
    if (Max && value > *Max)
        emit validateError(&cancel);
    return !cancel;
}

bool CheckNum::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_box)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        return !acceptKey(static_cast<QKeyEvent*>(event)->text());
    case QEvent::FocusIn:
        formatText();
        if (!m_box->text().isEmpty())
            QTimer::singleShot(0, m_box, [box = m_box] {
                if (box)
                    box->selectAll();
            });
        break;
    case QEvent::FocusOut:
        formatText();
        if (!validate())
            QTimer::singleShot(0, m_box, [box = m_box] {
                if (box)
                    box->setFocus();
            });
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace ui
