#pragma once

// What a benchmark needs to open a screen without the main window: just
// enough of the application's services, and a prompt that declines.

#include "shell/appservices.h"
#include "store/database.h"
#include "ui/prompt.h"

#include <QFileInfo>
#include <QWidget>
#include <cstdio>

namespace benchscreens {

// The services of a main window whose data folder is the store's folder.
class BenchServices : public shell::AppServices {
public:
    explicit BenchServices(store::Database& db) : m_db(db) {}
    store::Database& database() override { return m_db; }
    QString dataFolder() const override { return QFileInfo(m_db.path()).absolutePath(); }
    QString iniPath() const override { return dataFolder() + QStringLiteral("/Tarvenix.ini"); }
    QString optionPath() const override { return dataFolder() + QStringLiteral("/option.db"); }
    void openScreen(const QString&) override {}
    void showChild(QWidget* window) override { window->show(); }
    QAction* menuAction(const QString&) override { return nullptr; }
    void showStatus(const QString&) override {}

private:
    store::Database& m_db;
};

// Answers every question with No and chooses nothing, so that a run times
// only itself and opens no export; `echo` writes each message to stderr.
class DeclinePrompt : public ui::Prompt {
public:
    explicit DeclinePrompt(bool echo = false) : m_echo(echo) {}
    ui::Answer show(const ui::Message& message) override
    {
        if (m_echo)
            std::fprintf(stderr, "  message: %s\n", qPrintable(message.text));
        return message.buttons == ui::Buttons::Ok ? ui::Answer::Ok : ui::Answer::No;
    }
    QString openFile(const ui::FileRequest&) override { return {}; }
    QString saveFile(const ui::FileRequest&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    std::optional<QString> inputText(const QString&, const QString&, const QString&) override { return std::nullopt; }
    std::optional<QColor> chooseColour(const QColor&, const QString&) override { return std::nullopt; }

private:
    bool m_echo;
};

}  // namespace benchscreens
