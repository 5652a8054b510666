#pragma once

#include <QString>

namespace shell {
class DownloadService;
}

namespace import {

// How the download of one file went.
struct FreshDownload {
    // The file at the save path is the one just downloaded.
    bool present = false;
    // Why it is not there (empty when present).
    QString error;
};

// Downloads `url` into `savePath`. Any earlier file of that name is removed
// first: the daily files are named without their year, so a copy left from
// an earlier run (last year's file of the same day) must never be taken for
// a download that failed. When the earlier copy cannot be removed, nothing
// is downloaded and the result says so.
FreshDownload downloadFresh(shell::DownloadService& service, const QString& url, const QString& savePath);

}  // namespace import
