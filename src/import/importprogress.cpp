#include "import/importprogress.h"

#include <QProgressBar>
#include <QStatusBar>
#include <algorithm>
#include <climits>

namespace import {

QProgressBar* makeImportProgressBar(const QString& objectName, QWidget* parent)
{
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(objectName);
    bar->setTextVisible(false);
    bar->setRange(0, 100);
    bar->setValue(0);
    return bar;
}

void showImportProgress(QProgressBar* bar, QStatusBar* statusBar, qint64 done, qint64 maximum)
{
    bar->setMaximum(static_cast<int>(std::clamp<qint64>(maximum, 1, INT_MAX)));
    bar->setValue(static_cast<int>(std::clamp<qint64>(done, 0, bar->maximum())));
    bar->repaint();
    if (statusBar) {
        statusBar->showMessage(QString::number(qRound64(maximum > 0 ? done * 100.0 / maximum : 0.0)));
        statusBar->repaint();
    }
}

void clearImportProgress(QProgressBar* bar, QStatusBar* statusBar)
{
    bar->setValue(0);
    bar->repaint();
    if (statusBar) {
        statusBar->clearMessage();
        statusBar->repaint();
    }
}

}  // namespace import
