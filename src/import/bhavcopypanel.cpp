#include "import/bhavcopypanel.h"

#include "import/bhavcopyfile.h"
#include "import/datepicker.h"
#include "import/emaupdate.h"
#include "import/importprogress.h"
#include "shell/appservices.h"
#include "store/storeerror.h"
#include "ui/prompt.h"

#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace import {

BhavcopyPanel::BhavcopyPanel(shell::AppServices& services, QStatusBar* statusBar, QWidget* parent)
    : QWidget(parent), m_services(services), m_statusBar(statusBar)
{
    auto* label = new QLabel(QStringLiteral("Select Cash Market Updation File"), this);
    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("TxtCMFile"));
    label->setBuddy(m_path);
    m_choose = new QPushButton(QStringLiteral("..."), this);
    m_choose->setObjectName(QStringLiteral("Command5"));
    m_update = new QPushButton(QStringLiteral("Update &Cash Market Bhavcopy"), this);
    m_update->setObjectName(QStringLiteral("CmdCMUpdate"));
    m_progress = makeImportProgressBar(QStringLiteral("ProgressBar2"), this);
    m_day = makeDatePicker(QStringLiteral("DTPicker2"), this);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label, 0, 0, 1, 2);
    layout->addWidget(m_day, 0, 2);
    layout->addWidget(m_path, 1, 0);
    layout->addWidget(m_choose, 1, 1);
    layout->addWidget(m_update, 1, 2);
    layout->addWidget(m_progress, 2, 0, 1, 3);
    layout->setColumnStretch(0, 1);

    connect(m_choose, &QPushButton::clicked, this, [this] { chooseFile(); });
    connect(m_update, &QPushButton::clicked, this, [this] { process(); });
}

void BhavcopyPanel::showProgress(qint64 done, qint64 maximum)
{
    showImportProgress(m_progress, m_statusBar, done, maximum);
}

BhavcopyImportOutcome BhavcopyPanel::process()
{
    using namespace bhavcopymessages;
    store::Database& db = m_services.database();
    BhavcopyImporter importer(db);
    importer.setProgress([this](qint64 done, qint64 maximum) { showProgress(done, maximum); });
    importer.setConfirmReplace([](const QString& dayText) {
        // Yes and No buttons with the critical icon.
        return ui::prompt().show(ui::Message::fromStyle(replaceQuestion(dayText), 4 + 16)) == ui::Answer::Yes;
    });
    const BhavcopyImportOutcome outcome = importer.importFile(m_path->text());
    if (!outcome.imported()) {
        clearImportProgress(m_progress, m_statusBar);
        // A day the user chose to keep ends without a further word.
        if (!outcome.message.isEmpty())
            ui::prompt().show({outcome.message});
        return outcome;
    }
    ui::prompt().show({kImported});

    try {
        updateLatestDayEma(db);
        ui::prompt().show({kEmaDone});
    } catch (const store::StoreError& error) {
        ui::prompt().show({QStringLiteral("The bhavcopy was imported, but the moving averages could not be "
                                          "updated: %1")
                               .arg(error.message())});
    }
    return outcome;
}

void BhavcopyPanel::chooseFile()
{
    const QString folder = m_chooserFolder.isEmpty() ? m_services.dataFolder() : m_chooserFolder;
    ui::FileRequest request;
    request.directory = QDir(folder).filePath(bhavcopyfile::offeredFileName(m_day->date()));
    request.filter = QStringLiteral("*.csv (*.csv)");
    const QString chosen = ui::prompt().openFile(request);
    if (chosen.isEmpty())
        return;
    m_chooserFolder = QFileInfo(chosen).path();
    m_path->setText(QDir::toNativeSeparators(chosen));
}

}  // namespace import
