#pragma once
// The 账套: the client companies a bookkeeping office prints for, each a data folder of its own
// (its sjk.mdb with its own company row, customers, purposes and history). The list of them, and
// the machine's calibration that they share, live in the machine folder of the user.

#include <QDateTime>

#include "store/server.h"
#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace store {

class DataDir;

// The user's folder for what all his 账套 share on this machine: LANSHI_MACHINE_DIR when set,
// else <XDG config home>/lanshi. Tests set another with setMachineDir().
QString machineDir();
void setMachineDir(const QString &dir); // empty: the default again
// Where the machine's calibration lives (store/appdir.h): <machine folder>/calibration.
QString machineCalibrationDir();

struct Company {
    QString name;   // "上海鑫达建材有限公司"
    QString folder; // its data folder, absolute
    // The printer's calibration is the machine's (true for every 账套 made as one) or kept in
    // the data folder itself (the folder the program used before it knew 账套).
    bool machineCalibration = true;
    QDateTime lastUsed;
    // A 账套 whose database lives on a server: the folder then holds its settings, not sjk.mdb.
    std::optional<ServerAddress> server = std::nullopt;
};

// The list, the last used first; empty when there is none yet. A file that cannot be read reads
// as empty, with the reason in *error.
QList<Company> companies(QString *error = nullptr);
std::optional<Company> findCompany(const QString &name);
// The 账套 whose data folder is folder (compared as clean absolute paths).
std::optional<Company> companyOfFolder(const QString &folder);

// Changes to the list, each read, changed and written under a lock, so that two program windows
// never lose each other's changes. False with the reason in *error.
bool addCompany(const Company &company, QString *error);
bool renameCompany(const QString &name, const QString &newName, QString *error);
bool removeCompany(const QString &name, QString *error); // the data folder stays as it is
bool touchCompany(const QString &name);                  // used now: first in the list
bool setMachineCalibration(const QString &name, bool machine, QString *error);

// Why a name cannot be a new 账套's (empty, or another's already); empty when it can.
QString companyNameProblem(const QString &name, const QString &except = QString());

// Why the 账套 cannot be opened now: its folder or its database is missing. Empty when both are
// there (whether the file is sound is the database check's to say).
QString companyFolderProblem(const Company &company);

// Opens the 账套 for this program: its folder checked and locked (store/datadir.h), the data
// folder and the calibration folder set (store/appdir.h). Null with the message in *error.
// The databases are the caller's to ensure next (ensureCompanyDatabases).
std::unique_ptr<DataDir> openCompany(const Company &company, QString *error);
// Points the calibration at the machine's folder or the data folder's own.
void useCalibrationOf(const Company &company);
// Ensures the data folder's database and, while the calibration is the machine's, the machine's
// calibration database (created with the delivered zeros when it is missing). Empty when both are
// usable, else the message.
QString ensureCompanyDatabases();

// The caption windows carry so the clerk sees whom a voucher is for: the current 账套's name
// while the user has more than one, else empty. Set by whoever opens a 账套.
QString currentCompanyCaption();
void setCurrentCompanyCaption(const QString &caption);
// title with the caption after it ("支票打印 — 上海鑫达建材有限公司"), or title alone.
QString withCompanyCaption(const QString &title);

} // namespace store
