#pragma once
// Where the database and the profile files live: the directory of the program file.

#include <QString>

namespace store {

// The application directory, without a trailing separator.
QString appDir();
// A file in the application directory ("sjk.mdb", "mqtx.ini").
QString appFile(const QString &name);

// Tests point the application at a temporary directory; an empty path restores the default.
void setAppDir(const QString &dir);

} // namespace store
