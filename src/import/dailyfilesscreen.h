#pragma once

#include <QWidget>

class QDateEdit;
class QStatusBar;

namespace shell {
class AppServices;
}

namespace import {

class BhavcopyPanel;
class DeliveryFilePanel;
class NnfPanel;

// "Multiple Data Updation": its first panel, "Select Updation File", imports
// a chosen combined delivery file and confirms a loaded file with "Done"; the
// picker there holds the day that the one-day download fetches. The second
// panel, "Cash Market Bhavcopy Updation", imports a bhavcopy and updates the
// moving averages; the third, "Import NNF Security", replaces the NNF
// securities.
class DailyFilesScreen : public QWidget {
    Q_OBJECT
public:
    explicit DailyFilesScreen(shell::AppServices& services, QWidget* parent = nullptr);

    DeliveryFilePanel* deliveryPanel() const { return m_panel; }
    QDateEdit* dayPicker() const { return m_day; }
    BhavcopyPanel* bhavcopyPanel() const { return m_bhavcopy; }
    NnfPanel* nnfPanel() const { return m_nnf; }

private:
    DeliveryFilePanel* m_panel;
    BhavcopyPanel* m_bhavcopy;
    NnfPanel* m_nnf;
    QDateEdit* m_day;
    QStatusBar* m_statusBar;
};

}  // namespace import
