#pragma once
// The database file: where it lives, creating it on first start, telling our files from others.

#include <QString>
#include <QStringList>
#include <QVector>

namespace store {

// store::appFile("sjk.mdb").
QString databasePath();

struct DatabaseStatus {
    bool ok = false;
    bool created = false; // the file was missing and has been created from the schema
    QString errorText;    // for the user, when !ok
};

// Run once at start, before any Connection: creates sjk.mdb from the built-in schema when it is
// missing, otherwise checks that the file is one of ours. An existing file is never altered,
// except that a file another program left in WAL mode is put back in rollback-journal mode (its
// log taken in), so that the file alone always holds every committed row.
DatabaseStatus ensureDatabase();

// Checks any file (a backup about to be restored, say) without changing it: empty when it is a
// database of this program with every table and column in place, otherwise a message saying what
// is wrong.
QString checkDatabaseFile(const QString &path);

// Creates a new database at path from the built-in schema; path must not exist. The file appears
// complete or not at all. Empty on success, otherwise the message.
QString createDatabase(const QString &path);

// The tables of the schema with their columns in stored order.
struct TableColumns {
    QString table;
    QStringList columns;
};
QVector<TableColumns> schemaTables();

} // namespace store
