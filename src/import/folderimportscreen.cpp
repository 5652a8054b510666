#include "import/folderimportscreen.h"

#include "import/datepicker.h"
#include "import/deliveryfilepanel.h"
#include "import/rostanedownloadpanel.h"
#include "shell/appservices.h"
#include "store/showntext.h"
#include "ui/prompt.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace import {

FolderImportScreen::FolderImportScreen(shell::AppServices& services, QWidget* parent)
    : QWidget(parent), m_services(services), m_folder(batchFolder(services.dataFolder()))
{
    setObjectName(QStringLiteral("FrmMultilpe_DataUpd"));
    setWindowTitle(QStringLiteral("Multiple Data Updation"));

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setSizeGripEnabled(false);

    m_files = new QComboBox(this);
    m_files->setObjectName(QStringLiteral("CmbFile_Name"));
    m_files->setMinimumContentsLength(16);
    m_loadFiles = new QPushButton(QStringLiteral("Load Files"), this);
    m_loadFiles->setObjectName(QStringLiteral("CmdLoadFIles"));
    m_uploadAll = new QPushButton(QStringLiteral("Upload All"), this);
    m_uploadAll->setObjectName(QStringLiteral("CmdUploadAll"));
    auto* folderLabel = new QLabel(store::shownPath(m_folder), this);
    folderLabel->setObjectName(QStringLiteral("lblFolder"));
    folderLabel->setTextFormat(Qt::PlainText);
    m_batchProgress = new QProgressBar(this);
    m_batchProgress->setObjectName(QStringLiteral("BatchProgress"));
    m_batchProgress->setRange(0, 100);
    m_batchProgress->setValue(0);
    m_outcomes = new QListWidget(this);
    m_outcomes->setObjectName(QStringLiteral("lstOutcome"));

    auto* fileBox = new QGroupBox(QStringLiteral("Select Updation File"), this);
    m_panel = new DeliveryFilePanel(services, m_statusBar, true, fileBox);
    m_day = makeDatePicker(QStringLiteral("DTPicker1"), fileBox);
    m_downloadPanel = new RostaneDownloadPanel(services, m_panel, m_day, fileBox);
    auto* dayRow = new QHBoxLayout;
    dayRow->addWidget(m_day);
    dayRow->addWidget(m_downloadPanel);
    dayRow->addStretch();
    auto* fileLayout = new QVBoxLayout(fileBox);
    fileLayout->addWidget(m_panel);
    fileLayout->addLayout(dayRow);

    auto* batchRow = new QHBoxLayout;
    batchRow->addWidget(m_files, 1);
    batchRow->addWidget(m_loadFiles);
    batchRow->addWidget(m_uploadAll);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fileBox);
    layout->addWidget(folderLabel);
    layout->addLayout(batchRow);
    layout->addWidget(m_batchProgress);
    layout->addWidget(m_outcomes, 1);
    layout->addWidget(m_statusBar);

    connect(m_files, &QComboBox::currentTextChanged, this, [this](const QString& name) { showFile(name); });
    connect(m_loadFiles, &QPushButton::clicked, this, [this] { loadFiles(); });
    connect(m_uploadAll, &QPushButton::clicked, this, [this] { uploadAll(); });
    resize(600, 420);
}

void FolderImportScreen::showFile(const QString& name)
{
    m_panel->pathBox()->setText(name.isEmpty() ? QString() : QDir::toNativeSeparators(QDir(m_folder).filePath(name)));
}

void FolderImportScreen::loadFiles()
{
    const QStringList names = batchFileNames(m_folder);
    m_files->clear();
    m_files->addItems(names);
    if (names.isEmpty()) {
        showFile({});
        ui::prompt().inform(batchmessages::noFiles(m_folder));
        return;
    }
    m_files->setCurrentIndex(0);
    showFile(names.first());
}

QList<BatchFileOutcome> FolderImportScreen::uploadAll()
{
    QStringList names;
    for (int i = 0; i < m_files->count(); ++i)
        names.append(m_files->itemText(i));

    m_outcomes->clear();
    m_batchProgress->setValue(0);
    const QList<BatchFileOutcome> outcomes =
        importBatch(m_services.database(), m_folder, names, [this](double done) {
            m_batchProgress->setValue(qRound(done * 100));
            m_batchProgress->repaint();
        });

    qsizetype imported = 0;
    for (const BatchFileOutcome& file : outcomes) {
        m_outcomes->addItem(batchOutcomeLine(file));
        if (file.outcome.imported())
            ++imported;
    }
    if (!names.isEmpty())
        m_files->setCurrentIndex(m_files->count() - 1);

    if (imported == outcomes.size())
        ui::prompt().inform(batchmessages::kSuccess);
    else
        ui::prompt().warn(batchmessages::someRefused(imported, outcomes.size()));
    return outcomes;
}

}  // namespace import
