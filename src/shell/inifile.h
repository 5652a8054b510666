#pragma once

#include "store/regularfile.h"

#include <QString>
#include <QStringConverter>
#include <QStringList>
#include <optional>

// The settings file: "key=value" lines under "[Section]" headers. Keys and
// sections match without regard to case; other lines are kept as they are
// when a value is written. The file is UTF-8, or UTF-16 when it starts with
// a byte-order mark (as Windows editors save it); its lines end in LF, or in
// CR LF as Windows editors end them.
namespace shell {

// A settings file read whole. Only a regular file is read (a named pipe in
// its place would block the start); a file that is missing, not regular, a
// link to nowhere or unreadable gives no lines.
struct IniText {
    QStringList lines;
    // What kept the file from being read: None when it was read, Missing
    // when there is none.
    store::FileProblem problem = store::FileProblem::None;
    // Why it could not be read, for the user (when unusable()).
    QString error;
    // The encoding of a file that starts with a byte-order mark; a value
    // written keeps it.
    std::optional<QStringConverter::Encoding> markedEncoding;
    // How the file's first line ends; a value written keeps it for every line.
    QString lineEnd = QStringLiteral("\n");

    // There is something at the path, but no settings could be read from it.
    bool unusable() const
    {
        return problem != store::FileProblem::None && problem != store::FileProblem::Missing;
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
// line. Returns false when the file could not be written, and `why`, when
// given, receives the reason for the user; a file that exists but cannot be
// read is left alone, since writing would lose its other settings.
bool writeIni(const QString& iniFile, const QString& section, const QString& key, const QString& value,
              QString* why = nullptr);

// The settings file of a data folder: folder + "/Tarvenix.ini".
QString iniFileName(const QString& dataFolder);

}  // namespace shell
