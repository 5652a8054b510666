#include "import/rostanedownloadpanel.h"

#include "import/busyscreen.h"
#include "import/deliveryfilepanel.h"
#include "shell/appservices.h"
#include "shell/downloadservice.h"
#include "ui/prompt.h"

#include <QDateEdit>
#include <QDir>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace import {

RostaneDownloadPanel::RostaneDownloadPanel(shell::AppServices& services, DeliveryFilePanel* filePanel,
                                           QDateEdit* dayPicker, QWidget* parent)
    : QWidget(parent), m_services(services), m_filePanel(filePanel), m_dayPicker(dayPicker)
{
    m_download = new QPushButton(QStringLiteral("&Download From Tarvenix Web Site"), this);
    m_download->setObjectName(QStringLiteral("Command3"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_download);
    connect(m_download, &QPushButton::clicked, this, [this] { downloadDay(); });
}

DeliveryDayOutcome RostaneDownloadPanel::downloadDay()
{
    BusyScreen busy(this);
    shell::DownloadService service;
    DeliveryDownload download(service, shell::DownloadService::baseAddress(m_services.iniPath()),
                              m_services.dataFolder(), [this](const QString& path) {
                                  m_filePanel->pathBox()->setText(QDir::toNativeSeparators(path));
                                  return m_filePanel->process();
                              });
    download.setDownloading([&busy](bool active) { busy.downloading(active); });
    download.setDownloadFailed(
        [](const QDate&, const QString&) { ui::prompt().show({downloadmessages::kErrorDownloading}); });

    const DeliveryDayOutcome outcome = download.fetchDay(m_dayPicker->date());
    switch (outcome.status) {
    case DeliveryDayOutcome::Status::NotDownloaded:
        ui::prompt().show({downloadmessages::kOneDayNotDownloaded});
        break;
    case DeliveryDayOutcome::Status::WrongDay:
        ui::prompt().show({outcome.reason});
        break;
    case DeliveryDayOutcome::Status::Refused:
        // The import has shown why.
        break;
    case DeliveryDayOutcome::Status::Imported:
        ui::prompt().inform(downloadmessages::kDone);
        break;
    }
    return outcome;
}

}  // namespace import
