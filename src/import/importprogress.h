#pragma once

#include <QtGlobal>

class QProgressBar;
class QStatusBar;
class QString;
class QWidget;

namespace import {

// An import panel's empty progress bar, without text, named `objectName`.
QProgressBar* makeImportProgressBar(const QString& objectName, QWidget* parent);

// Shows an import's progress: `done` of `maximum` on the panel's bar, and the
// percentage, as a whole number without a sign, in the screen's status bar.
void showImportProgress(QProgressBar* bar, QStatusBar* statusBar, qint64 done, qint64 maximum);

// Empties the bar and the status bar after a refused file, which leaves
// nothing under way and nothing loaded.
void clearImportProgress(QProgressBar* bar, QStatusBar* statusBar);

}  // namespace import
