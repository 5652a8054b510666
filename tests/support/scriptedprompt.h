#pragma once

#include "ui/prompt.h"

#include <QList>
#include <QQueue>

// A prompt for tests: answers from queues filled by the test, records every
// message it was shown, and installs itself for its lifetime.
class ScriptedPrompt : public ui::Prompt {
public:
    ScriptedPrompt() { ui::setPrompt(this); }
    ~ScriptedPrompt() override { ui::setPrompt(nullptr); }

    // Answers, used in order. When a queue is empty: messages get Ok for an
    // OK-only box and No/Cancel otherwise; file and folder choosers are
    // cancelled; the input box and the colour chooser are cancelled.
    QQueue<ui::Answer> answers;
    QQueue<QString> files;
    QQueue<std::optional<QString>> inputs;
    QQueue<std::optional<QColor>> colours;

    QList<ui::Message> messages;       // every message shown, in order
    QList<ui::FileRequest> fileRequests;

    // Texts of the messages shown, in order.
    QStringList texts() const;
    QString lastText() const { return messages.isEmpty() ? QString() : messages.last().text; }

    ui::Answer show(const ui::Message& message) override;
    QString openFile(const ui::FileRequest& request) override { return nextFile(request); }
    QString saveFile(const ui::FileRequest& request) override { return nextFile(request); }
    QString chooseFolder(const QString& caption, const QString&) override { return nextFile({caption, {}, {}}); }
    std::optional<QString> inputText(const QString&, const QString&, const QString&) override
    {
        return inputs.isEmpty() ? std::nullopt : inputs.dequeue();
    }
    std::optional<QColor> chooseColour(const QColor&, const QString&) override
    {
        return colours.isEmpty() ? std::nullopt : colours.dequeue();
    }

private:
    QString nextFile(const ui::FileRequest& request)
    {
        fileRequests.append(request);
        return files.isEmpty() ? QString() : files.dequeue();
    }
};
