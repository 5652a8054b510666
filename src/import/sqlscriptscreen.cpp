#include "import/sqlscriptscreen.h"

#include "import/datepicker.h"
#include "import/sqlscriptgenerator.h"
#include "shell/appservices.h"
#include "store/storeerror.h"
#include "ui/prompt.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace import {

SqlScriptScreen::SqlScriptScreen(shell::AppServices& services, QWidget* parent) : QWidget(parent), m_services(services)
{
    setObjectName(QStringLiteral("FrmExport"));
    setWindowTitle(QStringLiteral("Generate SQL Script"));

    m_linkDetails = new QPushButton(QStringLiteral("MTO"), this);
    m_linkDetails->setObjectName(QStringLiteral("Command1"));
    m_gainLoss = new QPushButton(QStringLiteral("GainLoss"), this);
    m_gainLoss->setObjectName(QStringLiteral("Command2"));
    m_hilo = new QPushButton(QStringLiteral("HiLo"), this);
    m_hilo->setObjectName(QStringLiteral("Command3"));
    auto* dayLabel = new QLabel(QStringLiteral("Select A Date To Export :"), this);
    dayLabel->setObjectName(QStringLiteral("Label1"));
    m_day = makeDatePicker(QStringLiteral("DTPicker1"), this);
    dayLabel->setBuddy(m_day);
    m_script = new QPlainTextEdit(this);
    m_script->setObjectName(QStringLiteral("Text1"));
    m_script->setReadOnly(true);
    m_script->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* layout = new QGridLayout(this);
    layout->addWidget(dayLabel, 0, 0);
    layout->addWidget(m_day, 0, 1);
    layout->addWidget(m_linkDetails, 1, 0);
    layout->addWidget(m_gainLoss, 1, 1);
    layout->addWidget(m_hilo, 1, 2);
    layout->addWidget(m_script, 2, 0, 1, 4);
    layout->setColumnStretch(3, 1);
    resize(560, 360);

    connect(m_linkDetails, &QPushButton::clicked, this, [this] { exportLinkDetails(); });
    connect(m_gainLoss, &QPushButton::clicked, this, [this] { exportGainLoss(); });
    connect(m_hilo, &QPushButton::clicked, this, [this] { exportHilo(); });
}

template <typename MakeScript>
void SqlScriptScreen::generate(MakeScript makeScript, const QString& message)
{
    QString script;
    try {
        script = makeScript(m_services.database());
    } catch (const store::StoreError& error) {
        ui::prompt().show({QStringLiteral("The script could not be made: %1").arg(error.message())});
        return;
    }
    ui::prompt().show({message});
    m_script->setPlainText(script);
}

void SqlScriptScreen::exportLinkDetails()
{
    generate([](store::Database& db) { return sqlscript::linkDetailsScript(db); }, sqlscriptmessages::kLinkDetails);
}

void SqlScriptScreen::exportGainLoss()
{
    const QDate day = m_day->date();
    generate([day](store::Database& db) { return sqlscript::gainLossScript(db, day); }, sqlscriptmessages::kGainLoss);
}

void SqlScriptScreen::exportHilo()
{
    generate([](store::Database& db) { return sqlscript::hiloScript(db); }, sqlscriptmessages::kHiLo);
}

}  // namespace import
