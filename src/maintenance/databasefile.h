#pragma once
// Backup and restore of the database file sjk.mdb, without windows.

#include "maintenance/filecopy.h"

#include <QString>

namespace maintenance {

struct BackupResult {
    QString error; // for the user; empty on success
    bool damaged = false; // refused because the database itself is damaged
    bool ok() const { return error.isEmpty(); }
};

// Writes a consistent snapshot of the live database to destination, whatever its journal mode
// and whatever is still in its write-ahead log, through a temporary file beside destination that
// replaces it only once complete and checked. A damaged database is refused and an existing
// destination (a good older backup) stays as it was. Refused when destination is the database.
// Leftovers of an earlier backup to the same name that was cut off are removed first.
BackupResult backupDatabase(const QString &destination, const CopyProgress &progress = {});

// What can be told of a file chosen for a restore from its first bytes and its size, without
// reading it all: empty when it may be a database of this program, otherwise why not.
QString precheckBackupFile(const QString &path);

// Empty when path holds a sound database of this program (SQLite header, quick check, every table
// with its columns), otherwise what is wrong, for the user.
QString checkBackupFile(const QString &path);

struct RestoreResult {
    QString error;      // for the user; empty on success
    QString safetyCopy; // the live database as it was before, kept beside it
    bool ok() const { return error.isEmpty(); }
};

// Puts backup in place of the live database. The chosen file is looked at first (header, our
// application id, a size that agrees with its header, room on the disk) and only then copied
// beside the live file, with a write-ahead log or journal that lies beside it; the copy is
// brought to the program's journal mode and checked there. The live file is kept as a
// timestamped safety copy, every connection is closed, the file is replaced in one step and the
// connections are reopened on the restored data. On failure the live file is untouched.
RestoreResult restoreDatabase(const QString &backup, const CopyProgress &progress = {});

// Removes what backups, restores and exports cut off by a crash left in the data folder.
void removeLeftoversAtStart();

} // namespace maintenance
