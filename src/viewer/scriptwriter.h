#pragma once

#include "store/database.h"

#include <QString>

// The membership of the scrip group "Derivative" as a script of insert
// statements, one quoted line per member, in ascending scrip number.
namespace viewer {

inline const QString kDerivativeScriptFile = QStringLiteral("newscript.txt");
// The folder inside the data folder that the script is written to: the
// master-data refresh downloads a file of the same name into the data
// folder itself, and must never read this one instead.
inline const QString kScriptFolder = QStringLiteral("export");

// The script's path for the data folder `dataFolder`.
QString derivativeScriptPath(const QString& dataFolder);

// One line of the script: " insert into linkdetails values ('<code>',<scrip>)"
// in double quotation marks (quotes inside the code doubled, so the
// statement stays sound).
QString derivativeScriptLine(const QString& groupCode, qint64 scrip);

// Writes the script to `path`, replacing the file (empty when the group has
// no members) and making its folder when missing. Returns an empty text, or
// why the file could not be written.
QString writeDerivativeScript(store::Database& db, const QString& path);

}  // namespace viewer
