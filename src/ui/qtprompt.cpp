#include "ui/qtprompt.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QScreen>
#include <algorithm>

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

// The width a window needs to show `title` whole in its frame's title bar:
// the title in a bold title-bar font, the window's icon and the frame's
// buttons beside it.
int titleBarWidth(const QString& title)
{
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);  // as most window frames draw their titles
    const QFontMetrics metrics(font);
    // A title bar is about twice as high as its text; the window's icon and
    // its minimise, maximise and close buttons are square in it, and half a
    // button pads each end.
    const int button = 2 * metrics.height();
    return metrics.horizontalAdvance(title) + 5 * button;
}

// The message box for `message`, at least as wide as its title needs.
std::unique_ptr<QMessageBox> makeMessageBox(const Message& message)
{
    auto box = std::make_unique<QMessageBox>(toQt(message.icon), message.title, message.text, toQt(message.buttons),
                                             parentWindow());
    // Messages quote names and values from outside: a name holding "<b>"
    // must show as it is, not as markup.
    box->setTextFormat(Qt::PlainText);
    // The box sizes itself to its text and buttons, allowing for its title
    // only a little, so a short message cut its title in the frame. A row
    // below the rest, as wide as the title bar needs and of no height, keeps
    // the box at least that wide (up to the screen's width).
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        const QMargins margins = grid->contentsMargins();
        const QScreen* screen = box->screen();
        const int widest = screen ? screen->availableGeometry().width() : QWIDGETSIZE_MAX;
        const int width = std::min(titleBarWidth(message.title), widest) - margins.left() - margins.right();
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    return box;
}

}  // namespace

Answer QtPrompt::show(const Message& message)
{
    const NormalCursor pointer;
    return fromQt(makeMessageBox(message)->exec());
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
