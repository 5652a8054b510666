#pragma once

#include <QtGlobal>

class QProgressBar;
class QStatusBar;

namespace import {

// Shows an import's progress: `done` of `maximum` on the panel's bar, and the
// percentage, as a whole number without a sign, in the screen's status bar.
void showImportProgress(QProgressBar* bar, QStatusBar* statusBar, qint64 done, qint64 maximum);

}  // namespace import
