#include "support/scriptedprompt.h"

ScriptedPrompt::ScriptedPrompt()
{
    ui::setPrompt(this);
}

ScriptedPrompt::~ScriptedPrompt()
{
    ui::setPrompt(nullptr);
}

QStringList ScriptedPrompt::texts() const
{
    QStringList result;
    for (const auto& message : messages)
        result.append(message.text);
    return result;
}

ui::Answer ScriptedPrompt::show(const ui::Message& message)
{
    messages.append(message);
    if (!answers.isEmpty())
        return answers.dequeue();
    switch (message.buttons) {
    case ui::Buttons::Ok:
        return ui::Answer::Ok;
    case ui::Buttons::YesNo:
        return ui::Answer::No;
    default:
        return ui::Answer::Cancel;
    }
}

QString ScriptedPrompt::openFile(const ui::FileRequest& request)
{
    fileRequests.append(request);
    return files.isEmpty() ? QString() : files.dequeue();
}

QString ScriptedPrompt::saveFile(const ui::FileRequest& request)
{
    fileRequests.append(request);
    return files.isEmpty() ? QString() : files.dequeue();
}

QString ScriptedPrompt::chooseFolder(const QString& caption, const QString&)
{
    fileRequests.append({caption, {}, {}});
    return files.isEmpty() ? QString() : files.dequeue();
}

std::optional<QString> ScriptedPrompt::inputText(const QString&, const QString&, const QString&)
{
    return inputs.isEmpty() ? std::nullopt : inputs.dequeue();
}

std::optional<QColor> ScriptedPrompt::chooseColour(const QColor&, const QString&)
{
    return colours.isEmpty() ? std::nullopt : colours.dequeue();
}
