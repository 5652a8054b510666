#include "import/nnfpanel.h"

#include "import/importprogress.h"
#include "shell/appservices.h"
#include "ui/prompt.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace import {

NnfPanel::NnfPanel(shell::AppServices& services, QStatusBar* statusBar, QWidget* parent)
    : QWidget(parent), m_services(services), m_statusBar(statusBar)
{
    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("TxtNNFSecurity"));
    m_choose = new QPushButton(QStringLiteral("..."), this);
    m_choose->setObjectName(QStringLiteral("Command4"));
    m_import = new QPushButton(QStringLiteral("Import NNF Security"), this);
    m_import->setObjectName(QStringLiteral("CmdNNFSecurityImport"));
    m_progress = makeImportProgressBar(QStringLiteral("ProgressBar3"), this);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_path, 0, 0);
    layout->addWidget(m_choose, 0, 1);
    layout->addWidget(m_import, 0, 2);
    layout->addWidget(m_progress, 1, 0, 1, 3);
    layout->setColumnStretch(0, 1);

    connect(m_choose, &QPushButton::clicked, this, [this] { chooseFile(); });
    connect(m_import, &QPushButton::clicked, this, [this] { process(); });
}

NnfImportOutcome NnfPanel::process()
{
    NnfImporter importer(m_services.database());
    importer.setProgress(
        [this](qint64 done, qint64 maximum) { showImportProgress(m_progress, m_statusBar, done, maximum); });
    const NnfImportOutcome outcome = importer.importFile(m_path->text());
    if (outcome.imported()) {
        ui::prompt().show({outcome.message});
    } else {
        clearImportProgress(m_progress, m_statusBar);
        ui::Message message{outcome.message};
        if (outcome.status == NnfImportOutcome::Status::NotFound)
            message.icon = ui::Icon::Critical;
        ui::prompt().show(message);
    }
    return outcome;
}

void NnfPanel::chooseFile()
{
    const QString folder = m_chooserFolder.isEmpty() ? m_services.dataFolder() : m_chooserFolder;
    ui::FileRequest request;
    request.directory = QDir(folder).filePath(QStringLiteral("Security.csv"));
    request.filter = QStringLiteral("*.csv (*.csv)");
    const QString chosen = ui::prompt().openFile(request);
    if (chosen.isEmpty())
        return;
    m_chooserFolder = QFileInfo(chosen).path();
    m_path->setText(QDir::toNativeSeparators(chosen));
}

}  // namespace import
