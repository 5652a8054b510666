#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QString>

// What the query screen and its panels build their controls with: every
// control carries the object name that tests and the layout checks look for.
namespace query {

template <typename T>
T* named(T* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

inline QLabel* makeLabel(const QString& name, const QString& caption, QWidget* parent)
{
    return named(new QLabel(caption, parent), name);
}

inline QLineEdit* makeBox(const QString& name, QWidget* parent)
{
    return named(new QLineEdit(parent), name);
}

}  // namespace query
