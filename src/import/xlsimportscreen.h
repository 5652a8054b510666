#pragma once

#include "import/xlsimporter.h"

#include <QWidget>

class QDateEdit;
class QLineEdit;
class QPushButton;

namespace shell {
class AppServices;
}

namespace import {

// "Import From Excel": loads one trading day of NSE figures from the sheet
// "sheet1" of a chosen .xls workbook into mto.
class XlsImportScreen : public QWidget {
    Q_OBJECT
public:
    explicit XlsImportScreen(shell::AppServices& services, QWidget* parent = nullptr);

    QLineEdit* fileBox() const { return m_file; }
    QDateEdit* dayPicker() const { return m_day; }

    // Imports the workbook named in the file box for the picker's day and
    // tells the user the outcome.
    XlsImportOutcome process();
    // Lets the user choose the workbook; cancelling keeps the file box.
    void chooseFile();

private:
    shell::AppServices& m_services;
    QLineEdit* m_file;
    QPushButton* m_browse;
    QDateEdit* m_day;
    QPushButton* m_process;
};

}  // namespace import
