#pragma once

#include <QList>
#include <QString>
#include <QVariant>

// Writes small .xls workbooks (BIFF8 in a compound file) for the Excel import
// tests: each sheet a grid of cells, a QString becoming a text cell, a number
// a number cell and a null QVariant an empty cell.
struct XlsFixtureSheet {
    QString name;
    QList<QVariantList> rows;
};

// Writes `sheets` to `path`; false when the file cannot be written.
bool writeXlsFixture(const QString& path, const QList<XlsFixtureSheet>& sheets);
