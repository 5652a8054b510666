#pragma once

#include "import/nnfimporter.h"

#include <QWidget>

class QLineEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace shell {
class AppServices;
}

namespace import {

// "Import NNF Security": the security file's path, its chooser, the import
// button and the import's progress bar. The screen's status bar shows the
// percentage done.
class NnfPanel : public QWidget {
    Q_OBJECT
public:
    NnfPanel(shell::AppServices& services, QStatusBar* statusBar, QWidget* parent = nullptr);

    QLineEdit* pathBox() const { return m_path; }

    // Imports the file named in the path box and tells the user the outcome.
    NnfImportOutcome process();
    // Lets the user choose the file, offering "Security.csv"; cancelling
    // keeps the path box.
    void chooseFile();

private:
    shell::AppServices& m_services;
    QStatusBar* m_statusBar;
    QLineEdit* m_path;
    QPushButton* m_choose;
    QPushButton* m_import;
    QProgressBar* m_progress;
    QString m_chooserFolder;
};

}  // namespace import
