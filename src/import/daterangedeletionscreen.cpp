#include "import/daterangedeletionscreen.h"

#include "import/mtodeletion.h"
#include "shell/appservices.h"
#include "store/datetext.h"
#include "store/storeerror.h"
#include "ui/prompt.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace import {

DateRangeDeletionScreen::DateRangeDeletionScreen(shell::AppServices& services, QWidget* parent)
    : QWidget(parent), m_services(services)
{
    setObjectName(QStringLiteral("frmdelete"));
    setWindowTitle(QStringLiteral("Delete Record"));

    auto* fromLabel = new QLabel(QStringLiteral("Delete For Date From"), this);
    fromLabel->setObjectName(QStringLiteral("Label1"));
    auto* toLabel = new QLabel(QStringLiteral("To"), this);
    toLabel->setObjectName(QStringLiteral("Label2"));
    m_from = new QComboBox(this);
    m_from->setObjectName(QStringLiteral("ComboDate"));
    m_to = new QComboBox(this);
    m_to->setObjectName(QStringLiteral("Combo1"));
    for (QComboBox* box : {m_from, m_to}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMinimumContentsLength(12);
    }
    m_delete = new QPushButton(QStringLiteral("&Delete"), this);
    m_delete->setObjectName(QStringLiteral("cmddelete"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(fromLabel, 0, 0);
    layout->addWidget(m_from, 0, 1);
    layout->addWidget(toLabel, 0, 2);
    layout->addWidget(m_to, 0, 3);
    layout->addWidget(m_delete, 1, 3);
    layout->setColumnStretch(4, 1);
    layout->setRowStretch(2, 1);

    connect(m_delete, &QPushButton::clicked, this, [this] { deleteRange(); });
    fillDays();
}

void DateRangeDeletionScreen::fillDays()
{
    m_from->clear();
    m_to->clear();
    for (const QDate& day : mtoTradingDays(m_services.database())) {
        const QString text = datetext::toDisplay(day);
        m_from->addItem(text);
        m_to->addItem(text);
    }
    // Nothing is chosen until the user picks a day.
    m_from->setCurrentIndex(-1);
    m_to->setCurrentIndex(-1);
}

void DateRangeDeletionScreen::deleteRange()
{
    QString message;
    const auto range = readDeletionRange(m_from->currentText(), m_to->currentText(), &message);
    if (!range) {
        ui::prompt().show({message});
        return;
    }
    if (!ui::prompt().askYesNo(deletionmessages::confirmation(*range)))
        return;
    try {
        deleteMtoRange(m_services.database(), *range);
    } catch (const store::StoreError& error) {
        ui::prompt().critical(QStringLiteral("The records could not be deleted: %1\nNothing was deleted.").arg(error.message()));
        return;
    }
    ui::prompt().show({deletionmessages::kDeleted});
    m_delete->setEnabled(false);
}

}  // namespace import
