#include "store/regularfile.h"

#include "store/showntext.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace store {

namespace {

const QString kNotRegular = QStringLiteral("it is not a regular file (a pipe, socket or device)");

// Why the file at `path` could not be opened, which failed with `error`:
// some files cannot be opened at all (a socket) and a link may lead nowhere,
// and either says more than the system's reason.
QString openFailure(const QString& path, int error, FileProblem& kind)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (error == ENOENT) {
        if (lstat(name.constData(), &status) == 0 && S_ISLNK(status.st_mode)) {
            kind = FileProblem::BrokenLink;
            return QStringLiteral("it is a link to \"%1\", which does not exist")
                .arg(shownPath(QFileInfo(path).symLinkTarget()));
        }
        kind = FileProblem::Missing;
    } else if (stat(name.constData(), &status) == 0 && !S_ISREG(status.st_mode)) {
        kind = FileProblem::NotRegular;
        return kNotRegular;
    } else {
        kind = FileProblem::Unreadable;
    }
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

QString openRegularFile(QFile& file, const QString& path, FileProblem* problem)
{
    FileProblem unused;
    FileProblem& kind = problem ? *problem : unused;
    kind = FileProblem::None;
    // Opened without waiting, so that a pipe cannot block, then looked at
    // through the open descriptor itself: no other file can take its place
    // between the look and the read.
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return openFailure(path, errno, kind);
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        kind = FileProblem::NotRegular;
        return S_ISDIR(status.st_mode) ? QStringLiteral("it is a folder, not a file") : kNotRegular;
    }
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        kind = FileProblem::Unreadable;
        return file.errorString();
    }
    return {};
}

}  // namespace store
