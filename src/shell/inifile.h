#pragma once

#include "store/regularfile.h"

#include <QString>
#include <QStringConverter>
#include <QStringList>
#include <optional>

// The settings file: "key=value" lines under "[Section]" headers. Keys and
// sections match without regard to case; other lines are kept as they are
// when a value is written. The file is UTF-8, or UTF-16 when it starts with
// a byte-order mark (as Windows editors save it).
namespace shell {

// A settings file read whole. Only a regular file is read (a named pipe in
// its place would block the start); a file that is missing, not regular or
// unreadable gives no lines.
struct IniText {
    QStringList lines;
    // What kept the file from being read: None when it was read, Missing
    // when there is none.
    store::FileProblem problem = store::FileProblem::None;
    // Why it could not be read, for the user (NotRegular and Unreadable).
    QString error;
    // The encoding of a file that starts with a byte-order mark; a value
    // written keeps it.
    std::optional<QStringConverter::Encoding> markedEncoding;

    bool unusable() const
    {
        return problem == store::FileProblem::NotRegular || problem == store::FileProblem::Unreadable;
    }
};

IniText readIniText(const QString& iniFile);

// The value of `key` in `section`, cut at 255 characters, or `defaultValue`
// when the section or the key is missing.
QString iniValue(const IniText& text, const QString& section, const QString& key, const QString& defaultValue);

// The same, read from the file; a file that cannot be read gives the default.
QString readIni(const QString& iniFile, const QString& section, const QString& key, const QString& defaultValue);

// Writes `value` under `key` in `section`, adding the section or the key when
// missing. Line breaks in the value become blanks, so the value stays on one
// line. Returns false when the file could not be written; a file that exists
// but cannot be read is left alone, since writing would lose its other
// settings.
bool writeIni(const QString& iniFile, const QString& section, const QString& key, const QString& value);

// The settings file of a data folder: folder + "/Tarvenix.ini".
QString iniFileName(const QString& dataFolder);

}  // namespace shell
