#pragma once

class QDateEdit;
class QString;
class QWidget;

namespace import {

// A date picker showing dd/MMM/yyyy with English month names, set to today.
QDateEdit* makeDatePicker(const QString& objectName, QWidget* parent);

}  // namespace import
