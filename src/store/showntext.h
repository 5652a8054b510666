#pragma once

#include <QString>
#include <QStringView>

// How messages quote text that comes from outside the program: a file's
// values, and the names and paths of files and folders.
namespace store {

// `text` with every control or formatting character written as its code,
// "\x1B" for ESC, "\x00" for NUL, "\x0A" for a line break ("\u202E" beyond
// Latin-1), so that it cannot act on the message it stands in: a line break
// would split a line, a direction override would reverse the message. When
// `maxCharacters` is not negative, at most that many characters are shown,
// then "…" (a character outside the basic plane is never cut in half).
QString shownText(QStringView text, qsizetype maxCharacters = -1);

// A file's or folder's name or path as a message quotes it: whole, in the
// system's separators, written as shownText writes it.
QString shownPath(const QString& path);

}  // namespace store
