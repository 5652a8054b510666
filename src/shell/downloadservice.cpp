#include "shell/downloadservice.h"

#include "shell/inifile.h"
#include "store/showntext.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QUrl>

namespace shell {


QString DownloadService::baseAddressKey()
{
    return QStringLiteral("DownloadBase");
}

QString DownloadService::defaultBaseAddress()
{
    return QStringLiteral("http://www.tarvenix.example/");
}

QString DownloadService::baseAddress(const QString& iniPath)
{
    QString base = readIni(iniPath, QStringLiteral("Settings"), baseAddressKey(), QString()).trimmed();
    if (base.isEmpty())
        base = defaultBaseAddress();
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return base;
}

QString DownloadService::fileUrl(const QString& base, const QString& relativePath)
{
    QString joined = base;
    if (!joined.endsWith(QLatin1Char('/')))
        joined += QLatin1Char('/');
    QString path = relativePath.trimmed();
    while (path.startsWith(QLatin1Char('/')))
        path.remove(0, 1);
    return joined + path;
}

DownloadService::DownloadService(QObject* parent) : QObject(parent), m_network(new QNetworkAccessManager(this)) {}

DownloadService::~DownloadService()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

DownloadResult DownloadService::Get_File(const QString& sURLFileName, const QString& sSaveFileName,
                                         const DownloadProgress& progressCallback)
{
    DownloadResult result;
    QEventLoop loop;
    const auto onFinished = connect(this, &DownloadService::finished, &loop, [&](const DownloadResult& outcome) {
        result = outcome;
        loop.quit();
    });
    QMetaObject::Connection onProgress;
    if (progressCallback) {
        onProgress = connect(this, &DownloadService::progress, &loop, [this, &progressCallback](qint64 received, qint64 total) {
            if (!progressCallback(received, total))
                cancel();
        });
    }
    if (!start(sURLFileName, sSaveFileName)) {
        disconnect(onFinished);
        disconnect(onProgress);
        return {false, QStringLiteral("Another download is still running."), 0};
    }
    if (isRunning())
        loop.exec();
    disconnect(onFinished);
    disconnect(onProgress);
    return result;
}

bool DownloadService::start(const QString& url, const QString& saveFileName)
{
    if (isRunning())
        return false;
    m_url = url.trimmed();
    m_bytes = 0;
    m_cancelled = false;

    const QUrl address(m_url, QUrl::StrictMode);
    const QString scheme = address.scheme().toLower();
    if (!address.isValid() || address.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        emit finished({false, QStringLiteral("\"%1\" is not a web address.").arg(m_url), 0});
        return true;
    }
    m_file = std::make_unique<QSaveFile>(saveFileName);
    if (saveFileName.trimmed().isEmpty() || !m_file->open(QIODevice::WriteOnly)) {
        const QString reason = m_file->errorString();
        m_file.reset();
        emit finished(
            {false, QStringLiteral("The file \"%1\" cannot be written: %2").arg(store::shownPath(saveFileName), reason),
             0});
        return true;
    }

    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(static_cast<int>(m_timeout.count()));
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &DownloadService::writeReceived);
    connect(m_reply, &QNetworkReply::finished, this, &DownloadService::complete);
    return true;
}

bool DownloadService::isRunning() const
{
    return !m_reply.isNull();
}

void DownloadService::cancel()
{
    if (!m_reply)
        return;
    m_cancelled = true;
    m_reply->abort();
}

void DownloadService::writeReceived()
{
    if (!m_reply || !m_file || !m_reply->isOpen())
        return;
    const QByteArray data = m_reply->readAll();
    if (data.isEmpty())
        return;
    if (m_file->write(data) != data.size()) {
        m_reply->abort();
        return;
    }
    m_bytes += data.size();
    // Reported here, on every arrival: the reply's own progress signal is
    // thinned out and may skip the last part before a stall.
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    emit progress(m_bytes, length.isValid() ? length.toLongLong() : -1);
}

void DownloadService::complete()
{
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    if (!m_cancelled && reply->error() == QNetworkReply::NoError)
        writeReceived();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    DownloadResult result{false, {}, m_bytes};
    if (m_cancelled) {
        result.error = QStringLiteral("The download of %1 was cancelled.").arg(m_url);
    } else if (reply->error() != QNetworkReply::NoError) {
        result.error = QStringLiteral("%1 could not be downloaded: %2").arg(m_url, reply->errorString());
    } else if (status != 0 && (status < 200 || status >= 300)) {
        result.error =
            QStringLiteral("%1 could not be downloaded: the server answered %2.").arg(m_url, QString::number(status));
    } else if (m_file->error() != QFileDevice::NoError) {
        result.error = QStringLiteral("The file \"%1\" could not be written: %2")
                           .arg(store::shownPath(m_file->fileName()), m_file->errorString());
    } else if (!m_file->commit()) {
        result.error = QStringLiteral("The file \"%1\" could not be saved: %2")
                           .arg(store::shownPath(m_file->fileName()), m_file->errorString());
    } else {
        result.ok = true;
    }
    if (!result.ok && m_file)
        m_file->cancelWriting();
    m_file.reset();
    m_reply = nullptr;
    reply->deleteLater();
    emit finished(result);
}

}  // namespace shell
