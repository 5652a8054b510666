#include "import/frmimportrostane.h"

#include "import/datepicker.h"
#include "import/deliveryfilepanel.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QStatusBar>
#include <QVBoxLayout>

namespace import {

FrmImportRostane::FrmImportRostane(shell::AppServices& services, QWidget* parent) : QWidget(parent)
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
    dayRow->addStretch();
    auto* boxLayout = new QVBoxLayout(deliveryBox);
    boxLayout->addWidget(m_panel);
    boxLayout->addLayout(dayRow);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(deliveryBox);
    layout->addStretch();
    layout->addWidget(m_statusBar);
    resize(560, 220);
}

}  // namespace import
