#pragma once

#include <QWidget>

class QDateEdit;
class QStatusBar;

namespace shell {
class AppServices;
}

namespace import {

class DeliveryFilePanel;

// "Data Updation": imports a chosen combined delivery file. The pickers hold
// the range of days that the download fetches.
class FrmImport : public QWidget {
    Q_OBJECT
public:
    explicit FrmImport(shell::AppServices& services, QWidget* parent = nullptr);

    DeliveryFilePanel* deliveryPanel() const { return m_panel; }
    QDateEdit* fromPicker() const { return m_from; }
    QDateEdit* toPicker() const { return m_to; }

private:
    DeliveryFilePanel* m_panel;
    QDateEdit* m_from;
    QDateEdit* m_to;
    QStatusBar* m_statusBar;
};

}  // namespace import
