#include "store/regularfile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace store {

QString openRegularFile(QFile& file, const QString& path, FileProblem* problem)
{
    FileProblem unused;
    FileProblem& kind = problem ? *problem : unused;
    kind = FileProblem::None;
    // Opened without waiting, so that a pipe cannot block, then looked at
    // through the open descriptor itself: no other file can take its place
    // between the look and the read.
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        kind = errno == ENOENT ? FileProblem::Missing : FileProblem::Unreadable;
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        kind = FileProblem::NotRegular;
        return S_ISDIR(status.st_mode) ? QStringLiteral("it is a folder, not a file")
                                       : QStringLiteral("it is not a regular file (a pipe, socket or device)");
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
