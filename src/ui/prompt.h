#pragma once

#include <QColor>
#include <QString>
#include <optional>

// The one way screens speak to the user in dialogs: message boxes, questions,
// file choosers, the input box and the colour chooser. The application uses
// the Qt implementation; tests install a scripted one that answers from a
// list and records what was asked.
namespace ui {

enum class Icon { None, Information, Warning, Critical, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class Answer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

// The application's title, used for messages that name no title of their own.
QString applicationTitle();

struct Message {
    QString text;
    QString title = applicationTitle();
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;

    // A message from the classic style number: buttons (0 OK, 1 OK/Cancel,
    // 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No, 5 Retry/Cancel) plus an
    // icon (16 critical, 32 question, 48 warning, 64 information).
    static Message fromStyle(const QString& text, int style, const QString& title = applicationTitle());
};

struct FileRequest {
    QString caption;
    QString directory;
    QString filter;  // Qt filter text, e.g. "Delivery files (*.csv)"
};

class Prompt {
public:
    virtual ~Prompt() = default;

    virtual Answer show(const Message& message) = 0;
    // The chosen file's path, or an empty text when the user cancelled.
    virtual QString openFile(const FileRequest& request) = 0;
    virtual QString saveFile(const FileRequest& request) = 0;
    virtual QString chooseFolder(const QString& caption, const QString& directory) = 0;
    // The typed text, or nothing when the user cancelled.
    virtual std::optional<QString> inputText(const QString& label, const QString& title,
                                             const QString& initial) = 0;
    virtual std::optional<QColor> chooseColour(const QColor& initial, const QString& title) = 0;

    // Shorthands.
    void inform(const QString& text, const QString& title = applicationTitle());
    void warn(const QString& text, const QString& title = applicationTitle());
    void critical(const QString& text, const QString& title = applicationTitle());
    // A Yes/No question; true for Yes.
    bool askYesNo(const QString& text, const QString& title = applicationTitle());
};

// The prompt the screens use. Never null: a Qt prompt until another is set.
Prompt& prompt();
// Installs `replacement` (not owned); null restores the Qt prompt.
void setPrompt(Prompt* replacement);

}  // namespace ui
