#pragma once
// Backup and restore of the database file sjk.mdb, without windows.

#include "maintenance/filecopy.h"

#include <QString>

namespace maintenance {

// Copies the live database to destination (see copyFileSafely). Refused while a write of any
// program is under way (a journal beside the database) and when destination is the database.
CopyResult backupDatabase(const QString &destination, const CopyProgress &progress = {});

// Empty when path holds a sound database of this program (SQLite header, quick check, every table
// with its columns), otherwise what is wrong, for the user.
QString checkBackupFile(const QString &path);

struct RestoreResult {
    QString error;      // for the user; empty on success
    QString safetyCopy; // the live database as it was before, kept beside it
    bool ok() const { return error.isEmpty(); }
};

// Puts backup in place of the live database: copied beside it first and checked there, the live
// file kept as a timestamped safety copy, every connection closed, the file replaced in one step,
// and the connections reopened on the restored data. On failure the live file is untouched.
RestoreResult restoreDatabase(const QString &backup, const CopyProgress &progress = {});

} // namespace maintenance
