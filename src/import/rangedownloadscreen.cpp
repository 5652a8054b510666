#include "import/rangedownloadscreen.h"

#include "import/busyscreen.h"
#include "import/datepicker.h"
#include "import/deliveryfilepanel.h"
#include "import/textlines.h"
#include "shell/appservices.h"
#include "shell/downloadservice.h"
#include "ui/prompt.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QVBoxLayout>

namespace import {

RangeDownloadScreen::RangeDownloadScreen(shell::AppServices& services, QWidget* parent)
    : QWidget(parent), m_services(services)
{
    setObjectName(QStringLiteral("FrmImport"));
    setWindowTitle(QStringLiteral("Data Updation"));

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setSizeGripEnabled(false);
    m_panel = new DeliveryFilePanel(services, m_statusBar, false, this);
    m_from = makeDatePicker(QStringLiteral("DTPicker1"), this);
    m_to = makeDatePicker(QStringLiteral("DTPicker2"), this);

    m_includeScripMaster = new QCheckBox(QStringLiteral("Include Scrip Master"), this);
    m_includeScripMaster->setObjectName(QStringLiteral("Check1"));
    m_includeDerivativeGroup = new QCheckBox(QStringLiteral("Include Derivatives Group Update"), this);
    m_includeDerivativeGroup->setObjectName(QStringLiteral("Check2"));
    m_download = new QPushButton(QStringLiteral("&Download From Tarvenix Web Site"), this);
    m_download->setObjectName(QStringLiteral("Command3"));
    m_logBox = new QPlainTextEdit(this);
    m_logBox->setObjectName(QStringLiteral("Txtmsg"));
    m_logBox->setReadOnly(true);

    auto* range = new QHBoxLayout;
    range->addWidget(new QLabel(QStringLiteral("Select Updation File From"), this));
    range->addWidget(m_from);
    range->addWidget(new QLabel(QStringLiteral("To"), this));
    range->addWidget(m_to);
    range->addStretch();

    auto* options = new QHBoxLayout;
    options->addWidget(m_includeScripMaster);
    options->addWidget(m_includeDerivativeGroup);
    options->addStretch();
    options->addWidget(m_download);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_panel);
    layout->addLayout(range);
    layout->addLayout(options);
    layout->addWidget(m_logBox, 1);
    layout->addWidget(m_statusBar);

    // Leaving the first day for another control carries it into the last day;
    // changing the first day alone does not.
    connect(m_from, &QDateEdit::editingFinished, this, [this] { m_to->setDate(m_from->date()); });
    connect(m_download, &QPushButton::clicked, this, [this] { downloadRange(); });
    resize(600, 380);
}

void RangeDownloadScreen::showLog()
{
    m_logBox->setPlainText(m_log.text());
    m_logBox->verticalScrollBar()->setValue(m_logBox->verticalScrollBar()->maximum());
    m_logBox->repaint();
}

void RangeDownloadScreen::downloadRange()
{
    BusyScreen busy(this);
    const QString base = shell::DownloadService::baseAddress(m_services.iniPath());
    shell::DownloadService service;

    DeliveryDownload download(service, base, m_services.dataFolder(), [this](const QString& path) {
        m_panel->pathBox()->setText(QDir::toNativeSeparators(path));
        return m_panel->process();
    });
    download.setDownloading([&busy](bool active) { busy.downloading(active); });
    // Each day is stored on its own, so its log line shows as soon as it is
    // in the store; the download of a day takes far longer than its saving.
    download.setDownloadFailed(
        [](const QDate&, const QString&) { ui::prompt().show({downloadmessages::kErrorDownloading}); });

    download.fetchRange(m_from->date(), m_to->date(), [this](const DeliveryDayOutcome& outcome) {
        // The import has told the user why it refused a file; a file of
        // another day was refused before the import saw it.
        if (outcome.status == DeliveryDayOutcome::Status::WrongDay)
            ui::prompt().show({outcome.reason});
        m_log.append(downloadmessages::logLine(outcome));
        showLog();
        m_from->setDate(outcome.day.addDays(1));
        m_from->repaint();
    });

    MasterRefresh masters(m_services.database(), service, base, m_services.dataFolder());
    masters.setDownloading([&busy](bool active) { busy.downloading(active); });
    masters.setDownloadFailed([](const QString&) { ui::prompt().show({downloadmessages::kErrorDownloading}); });
    if (m_includeScripMaster->isChecked())
        refreshMaster(masters, MasterFile::ScripMaster);
    if (m_includeDerivativeGroup->isChecked())
        refreshMaster(masters, MasterFile::DerivativeGroup);

    ui::prompt().inform(downloadmessages::kDone);
}

void RangeDownloadScreen::refreshMaster(MasterRefresh& refresh, MasterFile file)
{
    const MasterRefreshOutcome outcome = refresh.run(file);
    if (outcome.updated()) {
        m_log.append(mastermessages::updatedLine(file));
        if (outcome.repeatedLines > 0)
            m_log.append(repeatedLinesNote(outcome.repeatedLines));
    } else {
        ui::prompt().critical(outcome.message);
        m_log.append(mastermessages::notUpdatedLine(file));
    }
    showLog();
}

}  // namespace import
