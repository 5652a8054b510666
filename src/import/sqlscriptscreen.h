#pragma once

#include <QWidget>

class QDateEdit;
class QPlainTextEdit;
class QPushButton;

namespace shell {
class AppServices;
}

namespace import {

// "Generate SQL Script": writes the insert statements of LinkDetails, of the
// picked day's GainLoss rows, or of hilo into its text box, from which the
// user copies them. No menu item opens it.
class SqlScriptScreen : public QWidget {
    Q_OBJECT
public:
    explicit SqlScriptScreen(shell::AppServices& services, QWidget* parent = nullptr);

    QDateEdit* dayPicker() const { return m_day; }
    QPlainTextEdit* scriptBox() const { return m_script; }

    // The three buttons.
    void exportLinkDetails();
    void exportGainLoss();
    void exportHilo();

private:
    // Shows `message`, then the script; a store failure is told instead.
    template <typename MakeScript>
    void generate(MakeScript makeScript, const QString& message);

    shell::AppServices& m_services;
    QPushButton* m_linkDetails;
    QPushButton* m_gainLoss;
    QPushButton* m_hilo;
    QDateEdit* m_day;
    QPlainTextEdit* m_script;
};

}  // namespace import
