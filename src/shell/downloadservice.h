#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QSaveFile;

namespace shell {

// How one download ended. `ok` only when the whole file arrived and was
// saved; otherwise `error` says why, and the file at the save path is left
// as it was before the download (a partial file is never left behind).
struct DownloadResult {
    bool ok = false;
    QString error;
    qint64 bytes = 0;
};

// Reports progress: bytes received and the total (-1 when the server does not
// say). Returning false cancels the download.
using DownloadProgress = std::function<bool(qint64 received, qint64 total)>;

// Fetches files from the web server of the daily and master files.
//
// Use it from logic with Get_File(), which waits in a local event loop, or
// from a screen with start() and the progress/finished signals (cancel()
// stops a running download). One download at a time per object.
class DownloadService : public QObject {
    Q_OBJECT
public:
    // The settings key (section "Settings" of Tarvenix.ini) that holds the
    // server's base address, and the address used when it is missing.
    static QString baseAddressKey();
    static QString defaultBaseAddress();
    // The base address from the settings file at `iniPath`, ending in "/".
    static QString baseAddress(const QString& iniPath);
    // `base` joined with a path below it ("updates/NB05Dec.csv").
    static QString fileUrl(const QString& base, const QString& relativePath);

    explicit DownloadService(QObject* parent = nullptr);
    ~DownloadService() override;

    // A download that receives nothing for this long fails (default 30 s).
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    // Downloads `sURLFileName` (http or https) into the file `sSaveFileName`
    // and waits until it has arrived or failed.
    DownloadResult Get_File(const QString& sURLFileName, const QString& sSaveFileName,
                            const DownloadProgress& progress = {});

    // Starts a download; `finished` reports its end (also for a download
    // that cannot start). False when one is already running.
    bool start(const QString& url, const QString& saveFileName);
    void cancel();
    bool isRunning() const;

signals:
    void progress(qint64 received, qint64 total);
    void finished(const shell::DownloadResult& result);

private:
    void writeReceived();
    void complete();

    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    std::unique_ptr<QSaveFile> m_file;
    QString m_url;
    qint64 m_bytes = 0;
    bool m_cancelled = false;
    std::chrono::milliseconds m_timeout{30000};
};

}  // namespace shell
