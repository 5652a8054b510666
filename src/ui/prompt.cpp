#include "ui/prompt.h"

#include "ui/qtprompt.h"

namespace ui {

namespace {
Prompt* g_installed = nullptr;
}

QString applicationTitle()
{
    return QStringLiteral("Tarvenix");
}

Message Message::fromStyle(const QString& text, int style, const QString& title)
{
    Message message;
    message.text = text;
    message.title = title;
    switch (style & 0x0F) {
    case 1:
        message.buttons = Buttons::OkCancel;
        break;
    case 2:
        message.buttons = Buttons::AbortRetryIgnore;
        break;
    case 3:
        message.buttons = Buttons::YesNoCancel;
        break;
    case 4:
        message.buttons = Buttons::YesNo;
        break;
    case 5:
        message.buttons = Buttons::RetryCancel;
        break;
    default:
        message.buttons = Buttons::Ok;
    }
    switch (style & 0x70) {
    case 16:
        message.icon = Icon::Critical;
        break;
    case 32:
        message.icon = Icon::Question;
        break;
    case 48:
        message.icon = Icon::Warning;
        break;
    case 64:
        message.icon = Icon::Information;
        break;
    default:
        message.icon = Icon::None;
    }
    return message;
}

void Prompt::inform(const QString& text, const QString& title)
{
    show({text, title, Icon::Information, Buttons::Ok});
}

void Prompt::warn(const QString& text, const QString& title)
{
    show({text, title, Icon::Warning, Buttons::Ok});
}

void Prompt::critical(const QString& text, const QString& title)
{
    show({text, title, Icon::Critical, Buttons::Ok});
}

bool Prompt::askYesNo(const QString& text, const QString& title)
{
    return show({text, title, Icon::Question, Buttons::YesNo}) == Answer::Yes;
}

Prompt& prompt()
{
    if (g_installed)
        return *g_installed;
    static QtPrompt qtPrompt;
    return qtPrompt;
}

void setPrompt(Prompt* replacement)
{
    g_installed = replacement;
}

}  // namespace ui
