#pragma once

#include <QString>

// The maker's contact lines shown on the start window and in the about box.
namespace shell::maker {

inline QString name() { return QStringLiteral("Tarvenix Software"); }
inline QString telephone() { return QStringLiteral("+91 22 4000 0000"); }
inline QString webAddress() { return QStringLiteral("www.tarvenix.example"); }
inline QString emailAddress() { return QStringLiteral("support@tarvenix.example"); }

}  // namespace shell::maker
