#pragma once

#include <QWidget>

class QDateEdit;
class QStatusBar;

namespace shell {
class AppServices;
}

namespace import {

class DeliveryFilePanel;

// "Multiple Data Updation": its first panel, "Select Updation File", imports
// a chosen combined delivery file and confirms a loaded file with "Done". The
// picker holds the day that the one-day download fetches.
class FrmImportRostane : public QWidget {
    Q_OBJECT
public:
    explicit FrmImportRostane(shell::AppServices& services, QWidget* parent = nullptr);

    DeliveryFilePanel* deliveryPanel() const { return m_panel; }
    QDateEdit* dayPicker() const { return m_day; }

private:
    DeliveryFilePanel* m_panel;
    QDateEdit* m_day;
    QStatusBar* m_statusBar;
};

}  // namespace import
