#pragma once

#include <QString>

class QFile;

namespace store {

// What kept openRegularFile from opening a file.
enum class FileProblem {
    None,        // the file is open
    Missing,     // there is no file at the path
    NotRegular,  // a folder, pipe, socket or device stands there
    BrokenLink,  // a symbolic link to a file that is not there (on a drive that is not attached)
    Unreadable,  // it could not be opened (no read permission, ...)
};

// Opens the file at `path` for reading, when it is a regular file. Anything
// else is refused without waiting on it: a named pipe would block the reader
// until some program writes to it, a device may never end. Returns "" when
// `file` is open, else why not, for the user (without the file's name);
// `problem`, when given, receives what kind of failure it was.
QString openRegularFile(QFile& file, const QString& path, FileProblem* problem = nullptr);

}  // namespace store
