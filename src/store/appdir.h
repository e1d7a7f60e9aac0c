#pragma once
// Where the database and the profile files live: the data folder, which store::DataDir chooses
// at start (store/datadir.h); the program file's folder until then.

#include <QString>

namespace store {

// The data folder, without a trailing separator.
QString appDir();
// A file in the data folder ("sjk.mdb", "mqtx.ini").
QString appFile(const QString &name);

// Sets the data folder (the start, and tests with a temporary folder); an empty path restores
// the default.
void setAppDir(const QString &dir);

} // namespace store
