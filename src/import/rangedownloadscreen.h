#pragma once

#include "import/deliverydownload.h"
#include "import/masterrefresh.h"

#include <QWidget>

class QCheckBox;
class QDateEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;

namespace shell {
class AppServices;
}

namespace import {

class BusyScreen;
class DeliveryFilePanel;

// "Data Updation": imports a chosen combined delivery file, downloads and
// imports the files of a range of days, and on request refreshes the scrip
// master and the derivative group from the server's master files. Every
// step of a download run is written to the log box.
class RangeDownloadScreen : public QWidget {
    Q_OBJECT
public:
    explicit RangeDownloadScreen(shell::AppServices& services, QWidget* parent = nullptr);

    DeliveryFilePanel* deliveryPanel() const { return m_panel; }
    QDateEdit* fromPicker() const { return m_from; }
    QDateEdit* toPicker() const { return m_to; }
    QCheckBox* scripMasterCheck() const { return m_includeScripMaster; }
    QCheckBox* derivativeGroupCheck() const { return m_includeDerivativeGroup; }
    QPushButton* downloadButton() const { return m_download; }
    QPlainTextEdit* logBox() const { return m_logBox; }

    // The range download, then the master refreshes that are ticked.
    void downloadRange();

private:
    void refreshMaster(MasterRefresh& refresh, MasterFile file);
    void showLog();

    shell::AppServices& m_services;
    DeliveryFilePanel* m_panel;
    QDateEdit* m_from;
    QDateEdit* m_to;
    QCheckBox* m_includeScripMaster;
    QCheckBox* m_includeDerivativeGroup;
    QPushButton* m_download;
    QPlainTextEdit* m_logBox;
    QStatusBar* m_statusBar;
    // Grows over every run while the screen is open.
    DownloadLog m_log;
};

}  // namespace import
