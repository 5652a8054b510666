#include "support/scriptedprompt.h"

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
