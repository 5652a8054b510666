#include "import/xlsimportscreen.h"

#include "import/datepicker.h"
#include "shell/appservices.h"
#include "ui/prompt.h"

#include <QDateEdit>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace import {

namespace {
const QString kCaption = QStringLiteral("Import From Excel");
}

XlsImportScreen::XlsImportScreen(shell::AppServices& services, QWidget* parent) : QWidget(parent), m_services(services)
{
    setObjectName(QStringLiteral("frmImportXLS"));
    setWindowTitle(kCaption);

    auto* fileLabel = new QLabel(QStringLiteral("File Name"), this);
    fileLabel->setObjectName(QStringLiteral("Label1"));
    m_file = new QLineEdit(this);
    m_file->setObjectName(QStringLiteral("Text1"));
    fileLabel->setBuddy(m_file);
    m_browse = new QPushButton(QStringLiteral("..."), this);
    m_browse->setObjectName(QStringLiteral("Command1"));
    auto* dayLabel = new QLabel(QStringLiteral("Select A Date"), this);
    dayLabel->setObjectName(QStringLiteral("Label2"));
    m_day = makeDatePicker(QStringLiteral("DTPicker1"), this);
    dayLabel->setBuddy(m_day);
    m_process = new QPushButton(QStringLiteral("Process"), this);
    m_process->setObjectName(QStringLiteral("cmdOpen"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(fileLabel, 0, 0);
    layout->addWidget(m_file, 0, 1, 1, 2);
    layout->addWidget(m_browse, 0, 3);
    layout->addWidget(dayLabel, 1, 0);
    layout->addWidget(m_day, 1, 1);
    layout->addWidget(m_process, 1, 3);
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(2, 1);
    // 5565 by 1755 twips.
    resize(371, 117);

    connect(m_browse, &QPushButton::clicked, this, [this] { chooseFile(); });
    connect(m_process, &QPushButton::clicked, this, [this] { process(); });
}

XlsImportOutcome XlsImportScreen::process()
{
    XlsImporter importer(m_services.database());
    const XlsImportOutcome outcome = importer.importSheet(m_file->text(), m_day->date());
    ui::Message message{outcome.message};
    if (outcome.status == XlsImportOutcome::Status::NoFile) {
        message.icon = ui::Icon::Critical;
        message.title = kCaption;
    }
    ui::prompt().show(message);
    return outcome;
}

void XlsImportScreen::chooseFile()
{
    ui::FileRequest request;
    request.directory = m_file->text().trimmed().isEmpty() ? m_services.dataFolder() : m_file->text().trimmed();
    request.filter = QStringLiteral("Excel Files(*.xls)");
    const QString chosen = ui::prompt().openFile(request);
    if (!chosen.isEmpty())
        m_file->setText(QDir::toNativeSeparators(chosen));
}

}  // namespace import
