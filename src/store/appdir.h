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

// The printer's calibration: the vouchers' profile files (mqtx.ini, ...), the form scans, the
// printers chosen per voucher and the tables dytj and tydysz (calibrationDatabasePath(),
// store/database.h). They belong to the machine and its printers: a 账套 that uses the machine's
// calibration keeps them in the one folder all 账套 share (store/companies.h); one made before
// 账套 existed keeps them in its data folder until the clerk moves it over.
QString calibrationDir();                       // the data folder unless set to another
QString calibrationFile(const QString &name);   // a file there ("mqtx.ini")
void setCalibrationDir(const QString &dir);     // empty: the data folder's own
bool calibrationShared();                       // the calibration lives outside the data folder

} // namespace store
