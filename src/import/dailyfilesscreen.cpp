#include "import/dailyfilesscreen.h"

#include "import/bhavcopypanel.h"
#include "import/datepicker.h"
#include "import/deliveryfilepanel.h"
#include "import/nnfpanel.h"
#include "import/rostanedownloadpanel.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QStatusBar>
#include <QVBoxLayout>

namespace import {

DailyFilesScreen::DailyFilesScreen(shell::AppServices& services, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FrmImportRostane"));
    setWindowTitle(QStringLiteral("Multiple Data Updation"));

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setSizeGripEnabled(false);

    auto* deliveryBox = new QGroupBox(QStringLiteral("Select Updation File"), this);
    m_panel = new DeliveryFilePanel(services, m_statusBar, true, deliveryBox);
    m_day = makeDatePicker(QStringLiteral("DTPicker1"), deliveryBox);
    auto* dayRow = new QHBoxLayout;
    dayRow->addWidget(m_day);
    dayRow->addWidget(new RostaneDownloadPanel(services, m_panel, m_day, deliveryBox));
    dayRow->addStretch();
    auto* boxLayout = new QVBoxLayout(deliveryBox);
    boxLayout->addWidget(m_panel);
    boxLayout->addLayout(dayRow);

    auto* bhavcopyBox = new QGroupBox(QStringLiteral("Cash Market Bhavcopy Updation"), this);
    m_bhavcopy = new BhavcopyPanel(services, m_statusBar, bhavcopyBox);
    (new QVBoxLayout(bhavcopyBox))->addWidget(m_bhavcopy);

    auto* nnfBox = new QGroupBox(QStringLiteral("Import NNF Security"), this);
    m_nnf = new NnfPanel(services, m_statusBar, nnfBox);
    (new QVBoxLayout(nnfBox))->addWidget(m_nnf);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(deliveryBox);
    layout->addWidget(bhavcopyBox);
    layout->addWidget(nnfBox);
    layout->addStretch();
    layout->addWidget(m_statusBar);
    resize(560, 400);
}

}  // namespace import
