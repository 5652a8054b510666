#pragma once

#include "import/deliveryimporter.h"

#include <QWidget>

class QLineEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace shell {
class AppServices;
}

namespace import {

// The import of one chosen combined delivery file, as both import screens
// carry it: the path box, the file chooser, "&Process" and the progress bar.
// The screen's status bar shows the percentage done.
class DeliveryFilePanel : public QWidget {
    Q_OBJECT
public:
    // `sayDone`: whether a loaded file is confirmed with "Done".
    DeliveryFilePanel(shell::AppServices& services, QStatusBar* statusBar, bool sayDone, QWidget* parent = nullptr);

    QLineEdit* pathBox() const { return m_path; }

    // Imports the file named in the path box and tells the user the outcome.
    // The download and batch screens set the path box and call this too.
    DeliveryImportOutcome process();
    // Lets the user choose a file for the path box; cancelling keeps the box.
    void chooseFile();

private:
    void showProgress(qint64 rows, qint64 maximum);

    shell::AppServices& m_services;
    QStatusBar* m_statusBar;
    bool m_sayDone;
    QLineEdit* m_path;
    QPushButton* m_choose;
    QPushButton* m_process;
    QProgressBar* m_progress;
    // The chooser's last file, whose folder the next choice starts in.
    QString m_chooserFile;
};

}  // namespace import
