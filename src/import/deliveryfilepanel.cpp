#include "import/deliveryfilepanel.h"

#include "import/deliveryfile.h"
#include "import/importprogress.h"
#include "shell/appservices.h"
#include "ui/prompt.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <algorithm>
#include <climits>

namespace import {

DeliveryFilePanel::DeliveryFilePanel(shell::AppServices& services, QStatusBar* statusBar, bool sayDone,
                                     QWidget* parent)
    : QWidget(parent), m_services(services), m_statusBar(statusBar), m_sayDone(sayDone)
{
    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("txtBSE"));
    m_choose = new QPushButton(QStringLiteral("..."), this);
    m_choose->setObjectName(QStringLiteral("Command2"));
    m_process = new QPushButton(QStringLiteral("&Process"), this);
    m_process->setObjectName(QStringLiteral("Command1"));
    m_progress = makeImportProgressBar(QStringLiteral("ProgressBar1"), this);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_path, 0, 0);
    layout->addWidget(m_choose, 0, 1);
    layout->addWidget(m_process, 0, 2);
    layout->addWidget(m_progress, 1, 0, 1, 3);

    connect(m_choose, &QPushButton::clicked, this, [this] { chooseFile(); });
    connect(m_process, &QPushButton::clicked, this, [this] { process(); });
}

void DeliveryFilePanel::showProgress(qint64 rows, qint64 maximum)
{
    showImportProgress(m_progress, m_statusBar, rows, maximum);
}

DeliveryImportOutcome DeliveryFilePanel::process()
{
    DeliveryImporter importer(m_services.database());
    importer.setProgress([this](qint64 rows, qint64 maximum) { showProgress(rows, maximum); });
    const DeliveryImportOutcome outcome = importer.importFile(m_path->text());
    if (!outcome.imported()) {
        clearImportProgress(m_progress, m_statusBar);
        ui::prompt().show({outcome.message});
    } else if (m_sayDone) {
        ui::prompt().show({QStringLiteral("Done")});
    }
    return outcome;
}

void DeliveryFilePanel::chooseFile()
{
    // The offered name is today's file (NB<dd><MMM>, no extension), in the
    // folder of the last chosen file, else in the data folder.
    static const QRegularExpression hasExtension(QStringLiteral("\\.[^./]{3}$"));
    const QString stem = deliveryfile::fileStem(QDate::currentDate());
    const QString folder = hasExtension.match(m_chooserFile).hasMatch() ? QFileInfo(m_chooserFile).path()
                                                                         : m_services.dataFolder();
    ui::FileRequest request;
    request.directory = QDir(folder).filePath(stem);
    request.filter = QStringLiteral("*.csv (*.csv);;*.txt (*.txt);;*.csv;*.txt (*.csv *.txt)");
    const QString chosen = ui::prompt().openFile(request);
    if (chosen.isEmpty())
        return;
    m_chooserFile = chosen;
    m_path->setText(QDir::toNativeSeparators(chosen));
}

}  // namespace import
