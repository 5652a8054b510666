#include "import/frmimport.h"

#include "import/datepicker.h"
#include "import/deliveryfilepanel.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

namespace import {

FrmImport::FrmImport(shell::AppServices& services, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FrmImport"));
    setWindowTitle(QStringLiteral("Data Updation"));

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setSizeGripEnabled(false);
    m_panel = new DeliveryFilePanel(services, m_statusBar, false, this);
    m_from = makeDatePicker(QStringLiteral("DTPicker1"), this);
    m_to = makeDatePicker(QStringLiteral("DTPicker2"), this);

    auto* range = new QHBoxLayout;
    range->addWidget(new QLabel(QStringLiteral("Select Updation File From"), this));
    range->addWidget(m_from);
    range->addWidget(new QLabel(QStringLiteral("To"), this));
    range->addWidget(m_to);
    range->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_panel);
    layout->addLayout(range);
    layout->addStretch();
    layout->addWidget(m_statusBar);

    // Leaving the first day for another control carries it into the last day;
    // changing the first day alone does not.
    connect(m_from, &QDateEdit::editingFinished, this, [this] { m_to->setDate(m_from->date()); });
    resize(560, 200);
}

}  // namespace import
