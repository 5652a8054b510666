#pragma once

#include "import/batchimport.h"

#include <QWidget>

class QComboBox;
class QDateEdit;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace shell {
class AppServices;
}

namespace import {

class DeliveryFilePanel;
class RostaneDownloadPanel;

// "Multiple Data Updation" for a folder: lists the delivery files of the
// batch folder and imports them all in one go, listing each file's outcome.
// It also carries the single-file import and the one-day download.
class FolderImportScreen : public QWidget {
    Q_OBJECT
public:
    explicit FolderImportScreen(shell::AppServices& services, QWidget* parent = nullptr);

    QString folder() const { return m_folder; }
    QComboBox* fileList() const { return m_files; }
    QListWidget* outcomeList() const { return m_outcomes; }
    DeliveryFilePanel* deliveryPanel() const { return m_panel; }

    // "Load Files": lists the folder's files and selects the first.
    void loadFiles();
    // "Upload All": imports every listed file.
    QList<BatchFileOutcome> uploadAll();

private:
    void showFile(const QString& name);

    shell::AppServices& m_services;
    QString m_folder;
    QComboBox* m_files;
    QPushButton* m_loadFiles;
    QPushButton* m_uploadAll;
    QListWidget* m_outcomes;
    QProgressBar* m_batchProgress;
    DeliveryFilePanel* m_panel;
    QDateEdit* m_day;
    RostaneDownloadPanel* m_downloadPanel;
    QStatusBar* m_statusBar;
};

}  // namespace import
