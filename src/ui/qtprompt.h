#pragma once

#include "ui/prompt.h"

#include <memory>

class QFileDialog;

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

enum class FileDialogKind { Open, Save, Folder };

// The file dialog that the prompt shows for `request`, not yet shown.
std::unique_ptr<QFileDialog> makeFileDialog(const FileRequest& request, FileDialogKind kind);

}  // namespace ui
