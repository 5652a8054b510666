#include "ui/navigationtoolbar.h"

#include <QAction>
#include <QHBoxLayout>
#include <QIcon>
#include <QStyle>
#include <QToolBar>

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

NavigationToolbar::NavigationToolbar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("UserControl11"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_bar = new QToolBar(this);
    m_bar->setObjectName(QStringLiteral("Toolbar1"));
    m_bar->setIconSize(QSize(32, 32));
    m_bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_bar->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_bar);

    for (const ButtonLook& look : kButtons) {
        const QString text = QString::fromLatin1(look.text);
        if (text.isEmpty()) {
            m_bar->addSeparator();
            continue;
        }
        QAction* action = m_bar->addAction(
            QIcon::fromTheme(QString::fromLatin1(look.themeIcon), style()->standardIcon(look.fallback)), text);
        connect(action, &QAction::triggered, this, [this, action] { press(action); });
    }
    SetButtons(true);
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
        deleteButton->setIcon(QIcon::fromTheme(QStringLiteral("dialog-cancel"),
                                               style()->standardIcon(QStyle::SP_DialogCancelButton)));
        deleteButton->setEnabled(!bval);
    } else {
        deleteButton->setText(QStringLiteral("Delete"));
        deleteButton->setIcon(
            QIcon::fromTheme(QStringLiteral("edit-delete"), style()->standardIcon(QStyle::SP_TrashIcon)));
        deleteButton->setEnabled(bval);
    }
}

void NavigationToolbar::press(QAction* action)
{
    if (m_host)
        m_host->Toolbar1_ButtonClick(action->text());
}

}  // namespace ui
