#pragma once

#include <QWidget>

class QComboBox;
class QPushButton;

namespace shell {
class AppServices;
}

namespace import {

// "Delete Record": deletes the mto rows of a range of trading days picked
// from the days the table holds. After one deletion the button stays
// disabled until the screen is opened again; the lists are not refilled.
class DateRangeDeletionScreen : public QWidget {
    Q_OBJECT
public:
    explicit DateRangeDeletionScreen(shell::AppServices& services, QWidget* parent = nullptr);

    QComboBox* fromBox() const { return m_from; }
    QComboBox* toBox() const { return m_to; }
    QPushButton* deleteButton() const { return m_delete; }

    void deleteRange();

private:
    void fillDays();

    shell::AppServices& m_services;
    QComboBox* m_from;
    QComboBox* m_to;
    QPushButton* m_delete;
};

}  // namespace import
