#include "import/freshdownload.h"

#include "shell/downloadservice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace import {

FreshDownload downloadFresh(shell::DownloadService& service, const QString& url, const QString& savePath)
{
    FreshDownload result;
    QFile earlier(savePath);
    if (earlier.exists() && !earlier.remove()) {
        result.error = QStringLiteral("The earlier copy %1 could not be removed: %2")
                           .arg(QDir::toNativeSeparators(savePath), earlier.errorString());
        return result;
    }
    const shell::DownloadResult downloaded = service.Get_File(url, savePath);
    result.present = downloaded.ok && QFileInfo::exists(savePath);
    if (!result.present)
        result.error = downloaded.error.isEmpty() ? QStringLiteral("%1 was not downloaded.").arg(url) : downloaded.error;
    return result;
}

}  // namespace import
