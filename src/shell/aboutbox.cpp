#include "shell/aboutbox.h"

#include "shell/applicationicon.h"
#include "shell/maker.h"
#include "ui/prompt.h"
#include "version.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace shell {

namespace {
const QSize kIconSize(48, 48);
}  // namespace

QString AboutBox::versionText()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(TARVENIX_VERSION_MAJOR)
        .arg(TARVENIX_VERSION_MINOR)
        .arg(TARVENIX_VERSION_PATCH);
}

QString AboutBox::disclaimerText()
{
    return QStringList{QStringLiteral("Developed By : "),
                       maker::name(),
                       QStringLiteral("Mobile : ") + maker::telephone(),
                       QString(),
                       QStringLiteral("WebSite : ") + maker::webAddress(),
                       QStringLiteral("E-mail : ") + maker::emailAddress()}
        .join(QLatin1Char('\n'));
}

AboutBox::AboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About MyApp"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setPixmap(applicationIcon().pixmap(kIconSize));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* product = new QLabel(QStringLiteral("Tarvenix"), this);
    product->setObjectName(QStringLiteral("lblProductName"));
    QFont big = product->font();
    big.setPointSize(16);
    big.setBold(true);
    product->setFont(big);
    auto* version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* disclaimer = new QLabel(disclaimerText(), this);
    disclaimer->setObjectName(QStringLiteral("lblDisclaimer"));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto* sysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(sysInfo, &QPushButton::clicked, this, &AboutBox::startSystemInfo);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(sysInfo);
    buttons->addStretch();
    auto* texts = new QVBoxLayout;
    texts->addWidget(product);
    texts->addWidget(version);
    texts->addSpacing(12);
    texts->addWidget(disclaimer);
    texts->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(icon);
    layout->addSpacing(8);
    layout->addLayout(texts, 1);
    layout->addLayout(buttons);
}

void AboutBox::startSystemInfo()
{
    // This platform has no system information tool to start.
    ui::prompt().show({QStringLiteral("System Information Is Unavailable At This Time"), ui::applicationTitle(),
                       ui::Icon::None, ui::Buttons::Ok});
}

}  // namespace shell
