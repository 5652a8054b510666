#include "ui/qtprompt.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeDatabase>

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

// Gives each listed entry its icon and kind from its name alone. Qt's own
// provider guesses a file's type from its contents, so listing a folder opens
// and closes every file in it; done to the store's files, that close would
// release the locks the store holds on them.
class NameOnlyIconProvider : public QFileIconProvider {
public:
    using QFileIconProvider::icon;

    QIcon icon(const QFileInfo& info) const override
    {
        if (info.isDir())
            return QFileIconProvider::icon(Folder);
        return QIcon::fromTheme(typeOf(info).iconName(), QFileIconProvider::icon(File));
    }

    QString type(const QFileInfo& info) const override
    {
        if (info.isDir())
            return QFileIconProvider::type(info);
        const QMimeType mimeType = typeOf(info);
        return mimeType.comment().isEmpty() ? mimeType.name() : mimeType.comment();
    }

private:
    QMimeType typeOf(const QFileInfo& info) const
    {
        return m_types.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    }

    QMimeDatabase m_types;
};

QString chosenPath(QFileDialog& dialog)
{
    const NormalCursor pointer;
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

}  // namespace

Answer QtPrompt::show(const Message& message)
{
    const NormalCursor pointer;
    QMessageBox box(toQt(message.icon), message.title, message.text, toQt(message.buttons), parentWindow());
    return fromQt(box.exec());
}

std::unique_ptr<QFileDialog> makeFileDialog(const FileRequest& request, FileDialogKind kind)
{
    auto dialog = std::make_unique<QFileDialog>(parentWindow(), request.caption, request.directory, request.filter);
    // Qt's own dialog, whose listing is ours to control: a desktop's native
    // dialog would read the files it lists.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    static NameOnlyIconProvider provider;
    dialog->setIconProvider(&provider);
    switch (kind) {
    case FileDialogKind::Open:
        dialog->setFileMode(QFileDialog::ExistingFile);
        break;
    case FileDialogKind::Save:
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        break;
    case FileDialogKind::Folder:
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly);
        break;
    }
    return dialog;
}

QString QtPrompt::openFile(const FileRequest& request)
{
    return chosenPath(*makeFileDialog(request, FileDialogKind::Open));
}

QString QtPrompt::saveFile(const FileRequest& request)
{
    return chosenPath(*makeFileDialog(request, FileDialogKind::Save));
}

QString QtPrompt::chooseFolder(const QString& caption, const QString& directory)
{
    return chosenPath(*makeFileDialog({caption, directory, QString()}, FileDialogKind::Folder));
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
