#pragma once

#include "ui/prompt.h"

namespace ui {

// The prompt over Qt's dialogs, parented to the active window.
class QtPrompt : public Prompt {
public:
    Answer show(const Message& message) override;
    QString openFile(const FileRequest& request) override;
    QString saveFile(const FileRequest& request) override;
    QString chooseFolder(const QString& caption, const QString& directory) override;
    std::optional<QString> inputText(const QString& label, const QString& title, const QString& initial) override;
    std::optional<QColor> chooseColour(const QColor& initial, const QString& title) override;
};

}  // namespace ui
