#pragma once

#include "import/bhavcopyimporter.h"

#include <QWidget>

class QDateEdit;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace shell {
class AppServices;
}

namespace import {

// "Cash Market Bhavcopy Updation": the bhavcopy's path, its chooser, the
// button that imports the file and then carries the derivative group's
// moving averages to the latest day, and the import's progress bar. The
// screen's status bar shows the percentage done.
class BhavcopyPanel : public QWidget {
    Q_OBJECT
public:
    BhavcopyPanel(shell::AppServices& services, QStatusBar* statusBar, QWidget* parent = nullptr);

    QLineEdit* pathBox() const { return m_path; }
    QDateEdit* dayPicker() const { return m_day; }

    // Imports the file named in the path box, asks before a loaded day is
    // replaced, runs the EMA update after a loaded file, and tells the user
    // each outcome.
    BhavcopyImportOutcome process();
    // Lets the user choose the file, offering the name of the picker's day;
    // cancelling keeps the path box.
    void chooseFile();

private:
    void showProgress(qint64 done, qint64 maximum);

    shell::AppServices& m_services;
    QStatusBar* m_statusBar;
    QLineEdit* m_path;
    QPushButton* m_choose;
    QPushButton* m_update;
    QProgressBar* m_progress;
    QDateEdit* m_day;
    // The folder of the last chosen file, where the next choice starts.
    QString m_chooserFolder;
};

}  // namespace import
