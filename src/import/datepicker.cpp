#include "import/datepicker.h"

#include <QDate>
#include <QDateEdit>
#include <QLocale>

namespace import {

QDateEdit* makeDatePicker(const QString& objectName, QWidget* parent)
{
    auto* picker = new QDateEdit(QDate::currentDate(), parent);
    picker->setObjectName(objectName);
    // Month names are English whatever the desktop's language.
    picker->setLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
    picker->setDisplayFormat(QStringLiteral("dd/MMM/yyyy"));
    picker->setCalendarPopup(true);
    return picker;
}

}  // namespace import
