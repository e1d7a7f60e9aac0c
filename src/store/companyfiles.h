#pragma once
// Making a 账套's files: a new data folder's database with its own company, and the machine's
// calibration started from a data folder's own.

#include <QString>

namespace store {

struct OwnCompany {
    QString name;     // gsmc
    QString bank;     // khh
    QString account;  // zhh
    QString province; // hp
    QString city;     // hc
};

// Creates sjk.mdb in folder (made when missing; it must not hold one already) from the schema,
// with own as its single company row; with copyFrom (another data folder), that folder's customers
// and purposes in place of the delivered examples. All of it or nothing: on failure no sjk.mdb is
// left, and the message says why.
QString createCompanyDatabase(const QString &folder, const OwnCompany &own, const QString &copyFrom = QString());

// The own company's name (bssz) in the database of folder, read only; empty when it has none.
QString ownCompanyNameIn(const QString &folder);

// The calibration files of a folder: the vouchers' profile files, the printers chosen, the scans.
QStringList calibrationFilesIn(const QString &folder);

// Whether the machine's calibration has been started (store/companies.h).
bool machineCalibrationExists();
// Starts the machine's calibration as a copy of the one folder keeps (its files, and the rows of
// dytj and tydysz in its sjk.mdb); an existing machine calibration is left as it is. Empty on
// success, else the message.
QString startMachineCalibration(const QString &folder);

} // namespace store
