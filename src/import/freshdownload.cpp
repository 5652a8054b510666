#include "import/freshdownload.h"

#include "shell/downloadservice.h"

#include <QFileInfo>

namespace import {

FreshDownload downloadFresh(shell::DownloadService& service, const QString& url, const QString& savePath)
{
    FreshDownload result;
    // The service writes through a temporary file that is renamed over the
    // save path only when the whole file has been received.
    const shell::DownloadResult downloaded = service.Get_File(url, savePath);
    result.downloaded = downloaded.ok && QFileInfo::exists(savePath);
    result.present = QFileInfo::exists(savePath);
    if (!result.downloaded)
        result.error = downloaded.error.isEmpty() ? QStringLiteral("%1 was not downloaded.").arg(url) : downloaded.error;
    return result;
}

}  // namespace import
