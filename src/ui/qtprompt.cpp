#include "ui/qtprompt.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace ui {

namespace {

QMessageBox::Icon toQt(Icon icon)
{
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return QMessageBox::Ok;
    case Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    case Buttons::AbortRetryIgnore:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

Answer fromQt(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Retry:
        return Answer::Retry;
    case QMessageBox::Abort:
        return Answer::Abort;
    case QMessageBox::Ignore:
        return Answer::Ignore;
    default:
        return Answer::Ok;
    }
}

QWidget* parentWindow()
{
    return QApplication::activeWindow();
}

// A question asked during long work shows the normal pointer, not the wait
// cursor of the work around it.
class NormalCursor {
public:
    NormalCursor() : m_active(QApplication::overrideCursor() != nullptr)
    {
        if (m_active)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~NormalCursor()
    {
        if (m_active)
            QApplication::restoreOverrideCursor();
    }
    NormalCursor(const NormalCursor&) = delete;
    NormalCursor& operator=(const NormalCursor&) = delete;

private:
    bool m_active;
};

}  // namespace

Answer QtPrompt::show(const Message& message)
{
    const NormalCursor pointer;
    QMessageBox box(toQt(message.icon), message.title, message.text, toQt(message.buttons), parentWindow());
    return fromQt(box.exec());
}

QString QtPrompt::openFile(const FileRequest& request)
{
    const NormalCursor pointer;
    return QFileDialog::getOpenFileName(parentWindow(), request.caption, request.directory, request.filter);
}

QString QtPrompt::saveFile(const FileRequest& request)
{
    const NormalCursor pointer;
    return QFileDialog::getSaveFileName(parentWindow(), request.caption, request.directory, request.filter);
}

QString QtPrompt::chooseFolder(const QString& caption, const QString& directory)
{
    const NormalCursor pointer;
    return QFileDialog::getExistingDirectory(parentWindow(), caption, directory);
}

std::optional<QString> QtPrompt::inputText(const QString& label, const QString& title, const QString& initial)
{
    const NormalCursor pointer;
    bool accepted = false;
    const QString text = QInputDialog::getText(parentWindow(), title, label, QLineEdit::Normal, initial, &accepted);
    if (!accepted)
        return std::nullopt;
    return text;
}

std::optional<QColor> QtPrompt::chooseColour(const QColor& initial, const QString& title)
{
    const NormalCursor pointer;
    const QColor colour = QColorDialog::getColor(initial, parentWindow(), title);
    if (!colour.isValid())
        return std::nullopt;
    return colour;
}

}  // namespace ui
