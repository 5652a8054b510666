#include "ui/navigationtoolbar.h"

#include <QAction>
#include <QHBoxLayout>
#include <QIcon>
#include <QStyle>
#include <QToolBar>
#include <algorithm>

namespace ui {

namespace {

struct ButtonLook {
    const char* text;
    const char* themeIcon;
    QStyle::StandardPixmap fallback;
};

// Positions 1..12 in order; an empty text stands for the separator.
const ButtonLook kButtons[NavigationToolbar::PositionCount] = {
    {"New", "document-new", QStyle::SP_FileIcon},
    {"Edit", "document-edit", QStyle::SP_FileDialogDetailedView},
    {"Save", "document-save", QStyle::SP_DialogSaveButton},
    {"Delete", "edit-delete", QStyle::SP_TrashIcon},
    {"First", "go-first", QStyle::SP_MediaSkipBackward},
    {"Previous", "go-previous", QStyle::SP_ArrowBack},
    {"Next", "go-next", QStyle::SP_ArrowForward},
    {"", "", QStyle::SP_CustomBase},
    {"Last", "go-last", QStyle::SP_MediaSkipForward},
    {"Find", "edit-find", QStyle::SP_FileDialogContentsView},
    {"Browse", "view-list-details", QStyle::SP_FileDialogListView},
    {"Print", "document-print", QStyle::SP_ComputerIcon},
};

constexpr int kDeletePosition = 4;
constexpr int kSavePosition = 3;

}  // namespace

QIcon toolbarIcon(const char* themeName, QStyle::StandardPixmap fallback, const QWidget* widget)
{
    const QIcon icon = QIcon::fromTheme(QString::fromLatin1(themeName), widget->style()->standardIcon(fallback));
    // Some icons exist only in smaller sizes; scale them up to the bar's size.
    QPixmap pixmap = icon.pixmap(kToolbarIconSize);
    if (pixmap.deviceIndependentSize().toSize() != kToolbarIconSize)
        pixmap = pixmap.scaled(kToolbarIconSize * pixmap.devicePixelRatio(), Qt::KeepAspectRatio,
                               Qt::SmoothTransformation);
    return QIcon(pixmap);
}

NavigationToolbar::NavigationToolbar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("UserControl11"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_bar = new QToolBar(this);
    m_bar->setObjectName(QStringLiteral("Toolbar1"));
    m_bar->setIconSize(kToolbarIconSize);
    m_bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_bar->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_bar);

    for (const ButtonLook& look : kButtons) {
        const QString text = QString::fromLatin1(look.text);
        if (text.isEmpty()) {
            m_bar->addSeparator();
            continue;
        }
        QAction* action = m_bar->addAction(toolbarIcon(look.themeIcon, look.fallback, this), text);
        connect(action, &QAction::triggered, this, [this, action] { press(action); });
    }
    // Button 4 reads "Delete" or "Cancel": it keeps room for the longer, so
    // the bar does not change its width with the state.
    QAction* deleteButton = action(kDeletePosition);
    QWidget* deleteWidget = m_bar->widgetForAction(deleteButton);
    int widest = 0;
    for (const QString& text : {QStringLiteral("Cancel"), QStringLiteral("Delete")}) {
        deleteButton->setText(text);
        widest = std::max(widest, deleteWidget->sizeHint().width());
    }
    deleteWidget->setMinimumWidth(widest);
    SetButtons(true);
}

QSize NavigationToolbar::minimumSizeHint() const
{
    return m_bar->sizeHint();
}

void NavigationToolbar::SetForm(NavigationHost* host)
{
    m_host = host;
}

QAction* NavigationToolbar::action(int position) const
{
    const auto actions = m_bar->actions();
    return position >= 1 && position <= actions.size() ? actions.at(position - 1) : nullptr;
}

QAction* NavigationToolbar::action(const QString& text) const
{
    for (QAction* candidate : m_bar->actions())
        if (!candidate->isSeparator() && candidate->text().compare(text, Qt::CaseInsensitive) == 0)
            return candidate;
    return nullptr;
}

void NavigationToolbar::SetButtons(bool bval)
{
    for (int position = 1; position <= PositionCount; ++position) {
        if (position == SeparatorPosition || position == kDeletePosition)
            continue;
        action(position)->setEnabled(position == kSavePosition ? !bval : bval);
    }
    QAction* deleteButton = action(kDeletePosition);
    const bool changing = m_host && (m_host->isAddingNew() || m_host->isEditing());
    if (changing) {
        deleteButton->setText(QStringLiteral("Cancel"));
        deleteButton->setIcon(toolbarIcon("dialog-cancel", QStyle::SP_DialogCancelButton, this));
        deleteButton->setEnabled(!bval);
    } else {
        deleteButton->setText(QStringLiteral("Delete"));
        deleteButton->setIcon(toolbarIcon("edit-delete", QStyle::SP_TrashIcon, this));
        deleteButton->setEnabled(bval);
    }
}

void NavigationToolbar::press(QAction* action)
{
    if (m_host)
        m_host->Toolbar1_ButtonClick(action->text());
}

}  // namespace ui
