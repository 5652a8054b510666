#pragma once

#include <QString>

// The settings file: "key=value" lines under "[Section]" headers. Keys and
// sections match without regard to case; other lines are kept as they are
// when a value is written.
namespace shell {

// The value of `key` in `section`, cut at 255 characters, or `defaultValue`
// when the file, the section or the key is missing.
QString readIni(const QString& iniFile, const QString& section, const QString& key, const QString& defaultValue);

// Writes `value` under `key` in `section`, adding the section or the key when
// missing. Line breaks in the value become blanks, so the value stays on one
// line. Returns false when the file could not be written.
bool writeIni(const QString& iniFile, const QString& section, const QString& key, const QString& value);

// The settings file of a data folder: folder + "/Tarvenix.ini".
QString iniFileName(const QString& dataFolder);

}  // namespace shell
