#pragma once

#include "import/deliverydownload.h"

#include <QWidget>

class QDateEdit;
class QPushButton;

namespace shell {
class AppServices;
}

namespace import {

class DeliveryFilePanel;

// The one-day download of the import screens: fetches the combined delivery
// file of the day in the screen's picker from the server and imports it
// through the screen's own file panel.
class RostaneDownloadPanel : public QWidget {
    Q_OBJECT
public:
    // `filePanel` and `dayPicker` belong to the same screen as this panel.
    RostaneDownloadPanel(shell::AppServices& services, DeliveryFilePanel* filePanel, QDateEdit* dayPicker,
                         QWidget* parent = nullptr);

    QPushButton* downloadButton() const { return m_download; }

    // Downloads and imports the picked day's file, telling the user how it went.
    DeliveryDayOutcome downloadDay();

private:
    shell::AppServices& m_services;
    DeliveryFilePanel* m_filePanel;
    QDateEdit* m_dayPicker;
    QPushButton* m_download;
};

}  // namespace import
