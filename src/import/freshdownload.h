#pragma once

#include <QString>

namespace shell {
class DownloadService;
}

namespace import {

// How the download of one file went.
struct FreshDownload {
    // A file is at the save path: the one just downloaded, or, when the
    // download failed, the copy an earlier run left there.
    bool present = false;
    // The download itself succeeded (the file at the save path is new).
    bool downloaded = false;
    // Why the download failed (empty when it succeeded).
    QString error;

    bool usesEarlierCopy() const { return present && !downloaded; }
};

// Downloads `url` into `savePath`. The file arrives under a temporary name
// and takes the place of any earlier copy only once it has arrived whole;
// a failed or broken-off download leaves the earlier copy as it was, and
// the caller may use it in place of the missing download.
FreshDownload downloadFresh(shell::DownloadService& service, const QString& url, const QString& savePath);

}  // namespace import
